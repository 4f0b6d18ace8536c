#include "markupconverter.h"

#include "pictures.h"

#include <QBuffer>
#include <QHash>
#include <QTextDocumentFragment>

namespace tarvik::widgets {

namespace {

struct Tag
{
    QString name; // lower case
    bool closing = false;
    QHash<QString, QString> attributes; // names in lower case
};

// Parses the tag that starts at markup[pos] == '<'; on success moves pos
// past the '>'. Anything that is not a well-formed tag is text.
std::optional<Tag> parseTag(const QString& markup, qsizetype& pos)
{
    qsizetype i = pos + 1;
    const qsizetype n = markup.size();
    Tag tag;
    if (i < n && markup.at(i) == QLatin1Char('/')) {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < n && markup.at(i).isLetter())
        ++i;
    if (i == nameStart)
        return std::nullopt;
    tag.name = markup.mid(nameStart, i - nameStart).toLower();
    while (i < n) {
        while (i < n && markup.at(i).isSpace())
            ++i;
        if (i >= n)
            return std::nullopt;
        const QChar c = markup.at(i);
        if (c == QLatin1Char('>')) {
            pos = i + 1;
            return tag;
        }
        if (c == QLatin1Char('/')) {
            ++i;
            continue;
        }
        const qsizetype attrStart = i;
        while (i < n && !markup.at(i).isSpace() && markup.at(i) != QLatin1Char('=') &&
               markup.at(i) != QLatin1Char('>'))
            ++i;
        const QString attr = markup.mid(attrStart, i - attrStart).toLower();
        QString value;
        if (i < n && markup.at(i) == QLatin1Char('=')) {
            ++i;
            if (i < n && (markup.at(i) == QLatin1Char('"') || markup.at(i) == QLatin1Char('\''))) {
                const QChar quote = markup.at(i);
                const qsizetype end = markup.indexOf(quote, i + 1);
                if (end < 0)
                    return std::nullopt;
                value = markup.mid(i + 1, end - i - 1);
                i = end + 1;
            } else {
                const qsizetype valueStart = i;
                while (i < n && !markup.at(i).isSpace() && markup.at(i) != QLatin1Char('>'))
                    ++i;
                value = markup.mid(valueStart, i - valueStart);
            }
        }
        tag.attributes.insert(attr, value);
    }
    return std::nullopt;
}

// "&amp;", "&#39;", "&#x41;" are entities and pass through; any other "&"
// is a character of the text.
qsizetype entityLength(const QString& markup, qsizetype pos)
{
    qsizetype i = pos + 1;
    const qsizetype n = markup.size();
    if (i < n && markup.at(i) == QLatin1Char('#')) {
        ++i;
        const bool hex = i < n && (markup.at(i) == QLatin1Char('x') || markup.at(i) == QLatin1Char('X'));
        if (hex)
            ++i;
        const qsizetype digits = i;
        while (i < n && (hex ? isxdigit(markup.at(i).toLatin1()) : markup.at(i).isDigit()))
            ++i;
        if (i == digits)
            return 0;
    } else {
        const qsizetype letters = i;
        while (i < n && markup.at(i).isLetterOrNumber() && markup.at(i).unicode() < 128)
            ++i;
        if (i == letters)
            return 0;
    }
    return i < n && markup.at(i) == QLatin1Char(';') ? i + 1 - pos : 0;
}

QString fontStyle(const Tag& tag)
{
    QStringList style;
    bool ok = false;
    const int size = tag.attributes.value(QStringLiteral("size")).trimmed().toInt(&ok);
    if (ok && size > 0)
        style << QStringLiteral("font-size:%1pt").arg(size);
    const QString face = tag.attributes.value(QStringLiteral("face")).trimmed();
    if (!face.isEmpty()) {
        QString quoted = face;
        quoted.remove(QLatin1Char('\'')).remove(QLatin1Char('"'));
        style << QStringLiteral("font-family:'%1'").arg(quoted.toHtmlEscaped());
    }
    if (const auto color = MarkupConverter::colorOf(tag.attributes.value(QStringLiteral("color"))))
        style << QStringLiteral("color:%1").arg(color->name());
    return style.join(QLatin1Char(';'));
}

// Builds the rich text while keeping the emitted inline tags balanced: a
// closing tag closes everything opened after its partner and opens those
// again, so badly nested markup still draws as the writer meant.
class RichTextWriter
{
public:
    void open(const QString& name, const QString& openingText)
    {
        m_out += openingText;
        m_open.append({name, openingText});
        m_afterBlank = false;
    }
    void close(const QString& name)
    {
        qsizetype k = m_open.size() - 1;
        while (k >= 0 && m_open.at(k).name != name)
            --k;
        if (k < 0)
            return; // nothing to close: a stray closing tag means nothing
        const QList<OpenTag> inner = m_open.mid(k + 1);
        for (qsizetype j = m_open.size() - 1; j >= k; --j)
            m_out += closingOf(m_open.at(j).name);
        m_open.resize(k);
        for (const OpenTag& t : inner)
            open(t.name, t.openingText);
    }
    void element(const QString& html)
    {
        m_out += html;
        m_afterBlank = html == QLatin1String("<br>") || html == QLatin1String("<hr>");
    }
    void text(QChar c)
    {
        if (c.isSpace()) {
            m_out += m_afterBlank ? QStringLiteral("&nbsp;") : QStringLiteral(" ");
            m_afterBlank = true;
            return;
        }
        m_afterBlank = false;
        if (c == QLatin1Char('<'))
            m_out += QStringLiteral("&lt;");
        else if (c == QLatin1Char('>'))
            m_out += QStringLiteral("&gt;");
        else if (c == QLatin1Char('&'))
            m_out += QStringLiteral("&amp;");
        else
            m_out += c;
    }
    void entity(const QString& e)
    {
        m_out += e;
        m_afterBlank = false;
    }
    QString finish()
    {
        for (qsizetype j = m_open.size() - 1; j >= 0; --j)
            m_out += closingOf(m_open.at(j).name);
        m_open.clear();
        return m_out;
    }

private:
    struct OpenTag
    {
        QString name;
        QString openingText;
    };
    static QString closingOf(const QString& name)
    {
        return name == QLatin1String("font") ? QStringLiteral("</span>") : QStringLiteral("</%1>").arg(name);
    }

    QString m_out;
    QList<OpenTag> m_open;
    // A blank at the start, after a blank or after a line break would be
    // swallowed by the text engine; it is written as a fixed blank instead.
    bool m_afterBlank = true;
};

QString encodePng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}

} // namespace

MarkupConverter::MarkupConverter(const QList<QImage>& images)
{
    m_imageSources.reserve(images.size());
    for (const QImage& image : images)
        m_imageSources << encodePng(image);
}

const MarkupConverter& MarkupConverter::standard()
{
    static const MarkupConverter converter(Pictures::imageList());
    return converter;
}

MarkupConverter MarkupConverter::withImageResources(int count)
{
    MarkupConverter converter;
    converter.m_imageSources.reserve(qMax(0, count));
    for (int i = 0; i < count; ++i)
        converter.m_imageSources << QStringLiteral("idx:%1").arg(i);
    return converter;
}

std::optional<QColor> MarkupConverter::colorOf(const QString& name)
{
    static const QHash<QString, QRgb> named{
        {QStringLiteral("clblack"), 0x000000},      {QStringLiteral("clmaroon"), 0x800000},
        {QStringLiteral("clgreen"), 0x008000},      {QStringLiteral("clolive"), 0x808000},
        {QStringLiteral("clnavy"), 0x000080},       {QStringLiteral("clpurple"), 0x800080},
        {QStringLiteral("clteal"), 0x008080},       {QStringLiteral("clgray"), 0x808080},
        {QStringLiteral("clsilver"), 0xC0C0C0},     {QStringLiteral("clred"), 0xFF0000},
        {QStringLiteral("cllime"), 0x00FF00},       {QStringLiteral("clyellow"), 0xFFFF00},
        {QStringLiteral("clblue"), 0x0000FF},       {QStringLiteral("clfuchsia"), 0xFF00FF},
        {QStringLiteral("claqua"), 0x00FFFF},       {QStringLiteral("clwhite"), 0xFFFFFF},
        {QStringLiteral("clltgray"), 0xC0C0C0},     {QStringLiteral("cldkgray"), 0x808080},
        {QStringLiteral("clmoneygreen"), 0xC0DCC0}, {QStringLiteral("clskyblue"), 0xA6CAF0},
        {QStringLiteral("clcream"), 0xFFFBF0},      {QStringLiteral("clmedgray"), 0xA4A0A0},
    };
    const QString key = name.trimmed().toLower();
    if (const auto it = named.constFind(key); it != named.constEnd())
        return QColor::fromRgb(*it);
    if (key.size() == 7 && key.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint rgb = key.mid(1).toUInt(&ok, 16);
        if (ok)
            return QColor::fromRgb(rgb);
    }
    return std::nullopt;
}

QString MarkupConverter::toRichText(const QString& markup) const
{
    RichTextWriter out;
    qsizetype pos = 0;
    while (pos < markup.size()) {
        const QChar c = markup.at(pos);
        if (c == QLatin1Char('&')) {
            if (const qsizetype len = entityLength(markup, pos)) {
                out.entity(markup.mid(pos, len));
                pos += len;
                continue;
            }
        }
        if (c != QLatin1Char('<')) {
            out.text(c);
            ++pos;
            continue;
        }
        const std::optional<Tag> tag = parseTag(markup, pos);
        if (!tag) {
            out.text(c);
            ++pos;
            continue;
        }
        const QString& name = tag->name;
        const bool inline_ = name == QLatin1String("b") || name == QLatin1String("i") ||
                             name == QLatin1String("u") || name == QLatin1String("font") ||
                             name == QLatin1String("a");
        if (inline_ && tag->closing) {
            out.close(name);
        } else if (name == QLatin1String("font")) {
            out.open(name, QStringLiteral("<span style=\"%1\">").arg(fontStyle(*tag)));
        } else if (name == QLatin1String("a")) {
            const QString href = tag->attributes.value(QStringLiteral("href")).toHtmlEscaped();
            out.open(name, QStringLiteral("<a href=\"%1\">").arg(href));
        } else if (inline_) {
            out.open(name, QStringLiteral("<%1>").arg(name));
        } else if (tag->closing) {
            continue;
        } else if (name == QLatin1String("br") || name == QLatin1String("hr")) {
            out.element(QStringLiteral("<%1>").arg(name));
        } else if (name == QLatin1String("img")) {
            const QString src = tag->attributes.value(QStringLiteral("src")).trimmed();
            bool ok = false;
            const int index =
                src.startsWith(QLatin1String("idx:"), Qt::CaseInsensitive) ? src.mid(4).toInt(&ok) : -1;
            if (ok && index >= 0 && index < m_imageSources.size())
                out.element(QStringLiteral("<img src=\"%1\">").arg(m_imageSources.at(index)));
        }
    }
    return out.finish();
}

QString MarkupConverter::toPlainText(const QString& markup) const
{
    QString text = QTextDocumentFragment::fromHtml(toRichText(markup)).toPlainText();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace tarvik::widgets

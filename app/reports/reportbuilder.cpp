#include "reportbuilder.h"

#include "datetimetext.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

namespace tarvik::reports {

const QString ReportBuilder::kFont = QStringLiteral("Arial");

namespace {

// Texts are measured at a printer's resolution so that what fits in the
// preview also fits on paper.
constexpr double kMeasureDpi = 1200.0;

QFontMetricsF metrics(double pointSize, bool bold, const QString& family)
{
    static const QImage reference = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dpm = qRound(kMeasureDpi / 0.0254);
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        return image;
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return QFontMetricsF(font, &reference);
}

constexpr double toPoints(double devicePixels)
{
    return devicePixels * 72.0 / kMeasureDpi;
}

} // namespace

ReportBuilder::ReportBuilder(const QDateTime& printed, PageNumbers numbers)
    : m_printed(printed), m_numbers(numbers)
{
    m_document.addPage();
}

double ReportBuilder::textWidth(const QString& text, double pointSize, bool bold, const QString& family)
{
    return toPoints(metrics(pointSize, bold, family).horizontalAdvance(text));
}

double ReportBuilder::lineHeight(double pointSize, bool bold, const QString& family)
{
    return toPoints(metrics(pointSize, bold, family).lineSpacing());
}

QStringList ReportBuilder::wrap(const QString& text, double width, double pointSize, bool bold)
{
    const QFontMetricsF fm = metrics(pointSize, bold, kFont);
    const double limit = width * kMeasureDpi / 72.0;
    QStringList lines;
    const QString plain =
        QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& paragraph : plain.split(u'\n')) {
        QString line;
        for (QString word : paragraph.split(u' ')) {
            const QString candidate = line.isEmpty() ? word : line + u' ' + word;
            if (fm.horizontalAdvance(candidate) <= limit) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            // A word wider than the line goes in pieces.
            while (word.size() > 1 && fm.horizontalAdvance(word) > limit) {
                int n = word.size() - 1;
                while (n > 1 && fm.horizontalAdvance(word.left(n)) > limit)
                    --n;
                lines << word.left(n);
                word = word.mid(n);
            }
            line = word;
        }
        lines << line;
    }
    return lines;
}

void ReportBuilder::ensureRoom(double height)
{
    if (m_y + height > kBodyBottom && m_y > kTop)
        newPage();
}

void ReportBuilder::newPage()
{
    m_document.addPage();
    m_y = kTop;
}

void ReportBuilder::text(const QRectF& rect, const QString& text, double pointSize, bool bold, int alignment,
                         const QString& family)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.rect = rect;
    item.text = text;
    item.family = family;
    item.pointSize = pointSize;
    item.bold = bold;
    item.alignment = alignment;
    m_document.lastPage().append(item);
}

double ReportBuilder::textAt(double x, double y, const QString& s, double pointSize, bool bold)
{
    const double w = textWidth(s, pointSize, bold);
    text(QRectF(x, y, w + 1, lineHeight(pointSize, bold)), s, pointSize, bold,
         Qt::AlignLeft | Qt::AlignVCenter);
    return x + w;
}

void ReportBuilder::box(const QRectF& rect, bool framed, const QColor& fill)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Box;
    item.rect = rect;
    item.framed = framed;
    item.fill = fill;
    m_document.lastPage().append(item);
}

void ReportBuilder::rule(double y)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Line;
    item.rect = QRectF(QPointF(kLeft, y), QPointF(kRight, y));
    m_document.lastPage().append(item);
}

void ReportBuilder::paragraph(const QString& s, double pointSize)
{
    const double h = lineHeight(pointSize, false);
    for (const QString& line : wrap(s, kRight - kLeft, pointSize, false)) {
        ensureRoom(h);
        if (!line.isEmpty())
            text(QRectF(kLeft, m_y, kRight - kLeft, h), line, pointSize, false,
                 Qt::AlignLeft | Qt::AlignVCenter);
        m_y += h;
    }
}

ReportDocument ReportBuilder::finish()
{
    constexpr double kFootSize = 7;
    const double h = lineHeight(kFootSize, false);
    const double y = ReportDocument::kPageHeight - 36.0;
    const QString printed = tasks::dateTimeText(m_printed);
    const int pages = m_document.pageCount();
    ReportDocument out;
    for (int p = 0; p < pages; ++p) {
        ReportDocument::Page& page = out.addPage();
        page = m_document.page(p);
        ReportItem foot;
        foot.kind = ReportItem::Kind::Text;
        foot.family = kFont;
        foot.pointSize = kFootSize;
        foot.rect = QRectF(kLeft, y, kRight - kLeft, h);
        foot.text = printed;
        foot.alignment = Qt::AlignLeft | Qt::AlignVCenter;
        page.append(foot);
        if (m_numbers == PageNumbers::Yes) {
            foot.text = QStringLiteral("стр. ") + QString::number(p + 1);
            foot.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
            page.append(foot);
        }
        foot.text = QStringLiteral("Tarvik v1.0");
        foot.alignment = Qt::AlignRight | Qt::AlignVCenter;
        page.append(foot);
    }
    return out;
}

} // namespace tarvik::reports

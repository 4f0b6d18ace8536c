#include "cp1251.h"

#include "dberror.h"

#include <QChar>
#include <QList>

#include <array>

namespace tarvik::db::cp1251 {

namespace {

// Bytes 0x80..0xBF; 0xC0..0xFF are А..я in order. 0x98 is unassigned in the
// code page and kept as the control character of the same number, so that
// every byte survives a round trip.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// Every byte's character.
constexpr std::array<char16_t, 256> kTable = [] {
    std::array<char16_t, 256> t{};
    for (size_t b = 0; b < 0x80; ++b)
        t[b] = char16_t(b);
    for (size_t b = 0x80; b < 0xC0; ++b)
        t[b] = kHigh[b - 0x80];
    for (size_t b = 0xC0; b < 0x100; ++b)
        t[b] = char16_t(0x0410 + (b - 0xC0));
    return t;
}();

int byteOf(char16_t c)
{
    if (c < 0x80)
        return c;
    if (c >= 0x0410 && c <= 0x044F)
        return 0xC0 + (c - 0x0410);
    for (int i = 0; i < int(kHigh.size()); ++i)
        if (kHigh[size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

void decode(const char* data, qsizetype size, char16_t* out)
{
    for (qsizetype i = 0; i < size; ++i)
        out[i] = kTable[static_cast<unsigned char>(data[i])];
}

QString decode(const char* data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    decode(data, size, reinterpret_cast<char16_t*>(out.data()));
    return out;
}

bool sameText(QByteArrayView bytes, QStringView text)
{
    // Every character of the code page is one UTF-16 unit.
    if (bytes.size() != text.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (kTable[static_cast<unsigned char>(bytes[i])] != text[i].unicode())
            return false;
    return true;
}

QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

QByteArray encode(const QString& text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteOf(text.at(i).unicode());
        if (b < 0)
            throw EncodingError(cannotStoreText(unencodable(text)));
        dst[i] = static_cast<char>(b);
    }
    return out;
}

bool canEncode(const QString& text)
{
    for (QChar c : text)
        if (byteOf(c.unicode()) < 0)
            return false;
    return true;
}

QStringList unencodable(const QString& text)
{
    QStringList found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (byteOf(text.at(i).unicode()) >= 0)
            continue;
        const bool pair =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const QString character = text.mid(i, pair ? 2 : 1);
        if (!found.contains(character))
            found << character;
        if (pair)
            ++i;
    }
    return found;
}

namespace {

QString quoted(const QStringList& characters)
{
    // Enough to find them in the text; a pasted page of Chinese needs no
    // message a page long.
    constexpr qsizetype kShown = 10;
    QStringList items;
    for (const QString& c : characters.mid(0, kShown)) {
        const char32_t code = c.toUcs4().value(0);
        const bool visible = QChar::isPrint(code) && !QChar::isSpace(code);
        items << (visible ? QStringLiteral("«%1»").arg(c)
                          : QStringLiteral("U+%1").arg(
                                QString::number(code, 16).toUpper().rightJustified(4, u'0')));
    }
    QString list = items.join(QStringLiteral(", "));
    if (characters.size() > kShown)
        list += QStringLiteral(" и другие");
    return list;
}

} // namespace

QString cannotStoreText(const QStringList& characters)
{
    return (characters.size() == 1
                ? QStringLiteral("Символ %1 нельзя сохранить в базе данных. Измените текст.")
                : QStringLiteral("Символы %1 нельзя сохранить в базе данных. Измените текст."))
        .arg(quoted(characters));
}

QString cannotSearchText(const QStringList& characters)
{
    return (characters.size() == 1
                ? QStringLiteral("Символ %1 не может храниться в базе данных, по нему ничего не найти. "
                                 "Измените текст.")
                : QStringLiteral("Символы %1 не могут храниться в базе данных, по ним ничего не найти. "
                                 "Измените текст."))
        .arg(quoted(characters));
}

} // namespace tarvik::db::cp1251

#pragma once

#include <QByteArray>
#include <QString>

// Code page 1251, the code page of every text in the database. Converted
// here rather than through a system codec so that the mapping is exact and
// the same on every machine.
namespace tarvik::db::cp1251 {

[[nodiscard]] QString decode(const QByteArray& bytes);
[[nodiscard]] QString decode(const char* data, qsizetype size);

// Throws EncodingError naming the first character the code page lacks.
[[nodiscard]] QByteArray encode(const QString& text);

// True when every character of text has a place in the code page.
[[nodiscard]] bool canEncode(const QString& text);

} // namespace tarvik::db::cp1251

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// Code page 1251, the code page of every text in the database. Converted
// here rather than through a system codec so that the mapping is exact and
// the same on every machine.
namespace tarvik::db::cp1251 {

[[nodiscard]] QString decode(const QByteArray& bytes);
[[nodiscard]] QString decode(const char* data, qsizetype size);
// Writes size UTF-16 units to out.
void decode(const char* data, qsizetype size, char16_t* out);

// True when the code page bytes decode to text.
[[nodiscard]] bool sameText(QByteArrayView bytes, QStringView text);

// Throws EncodingError naming every character the code page lacks.
[[nodiscard]] QByteArray encode(const QString& text);

// True when every character of text has a place in the code page.
[[nodiscard]] bool canEncode(const QString& text);

// The characters of text the code page lacks, each once, in the order they
// first appear; a character outside the basic plane (an emoji) is one item.
[[nodiscard]] QStringList unencodable(const QString& text);

// The users' message for characters that cannot be stored: each is quoted,
// an invisible one by its code ("U+200B") since it cannot be seen.
[[nodiscard]] QString cannotStoreText(const QStringList& characters);
// The same for a text searched for: nothing stored can contain them.
[[nodiscard]] QString cannotSearchText(const QStringList& characters);

} // namespace tarvik::db::cp1251

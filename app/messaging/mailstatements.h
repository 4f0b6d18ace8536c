#pragma once

#include <QString>
#include <QStringList>

namespace tarvik::messaging {

// The two kinds of the letter list, in the order of cbTextsType.
enum class LetterList
{
    Incoming = 0, // "Входящие"
    Sent = 1      // "Исходящие"
};

// The letter list statement for a kind, line by line: the three select
// lines, the kind's filter and the order.
[[nodiscard]] QStringList letterListLines(LetterList kind);

// The notice lines for a new letter. The users' texts are escaped: they
// are shown as typed, never read as markup.
[[nodiscard]] QStringList letterNotice(const QString& senderName, const QString& subject);

// Whether a search text finds a letter: the body, trailing blanks removed,
// begins with the text, letter case ignored.
[[nodiscard]] bool letterBodyMatches(const QString& body, const QString& searchText);

} // namespace tarvik::messaging

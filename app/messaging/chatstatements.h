#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tarvik::messaging {

// The seeded lines of the chat's fetch statement (qMesages), without the
// keys still awaited below the mark (see ChatMark).
[[nodiscard]] QStringList chatFetchLines();
// The newest-message mark statement (qLastMesages), line by line.
[[nodiscard]] QStringList chatMarkLines();

// One line of the chat view: "Имя -> Всем (hh:mm:ss) : текст" for a message
// to all (idTo = -1), "Имя -> Кому (hh:mm:ss) : текст" otherwise.
[[nodiscard]] QString chatLine(const QString& nameFrom, int idTo, const QString& nameTo,
                               const QDateTime& servDate, const QString& body);
// The notice lines for the last fetched message. The users' texts are
// escaped: they are shown as typed, never read as markup.
[[nodiscard]] QStringList chatNotice(const QString& nameFrom, int idTo, const QString& nameTo,
                                     const QString& body);

// Colours are stored with red in the low byte.
[[nodiscard]] int storedColor(const QColor& color);
[[nodiscard]] QColor colorFromStored(int value);

} // namespace tarvik::messaging

#include "chatstatements.h"

#include <QColor>

namespace tarvik::messaging {

QStringList chatFetchLines()
{
    return {QStringLiteral("SELECT Id, IdFrom, IdTo, Body, IsRead, FontColor, IsBold, IsItall, ServDate, "),
            QStringLiteral("(SELECT Name FROM Users WHERE Users.Id = Mesages.IdFrom) AS NameFrom,"),
            QStringLiteral("(SELECT Name FROM Users WHERE Users.Id = Mesages.IdTo) AS NameTo"),
            QStringLiteral("FROM Mesages"),
            QStringLiteral("WHERE"),
            QStringLiteral("(Id > :LastId) AND"),
            QStringLiteral("(IdTo =:IdTo OR"),
            QStringLiteral("IdFrom = :IdTo OR IdTo = -1)")};
}

QStringList chatMarkLines()
{
    return {QStringLiteral("SELECT Id"), QStringLiteral("FROM Mesages"), QStringLiteral("WHERE"),
            QStringLiteral("IdTo =:IdTo OR"), QStringLiteral("IdFrom = :IdTo OR IdTo = -1")};
}

QString chatLine(const QString& nameFrom, int idTo, const QString& nameTo, const QDateTime& servDate,
                 const QString& body)
{
    const QString time = servDate.toString(QStringLiteral("hh:mm:ss"));
    if (idTo == -1)
        return nameFrom + QStringLiteral(" -> Всем (") + time + QStringLiteral(") : ") + body;
    return nameFrom + QStringLiteral(" -> ") + nameTo + QStringLiteral(" (") + time + QStringLiteral(") : ") +
           body;
}

QStringList chatNotice(const QString& nameFrom, int idTo, const QString& nameTo, const QString& body)
{
    const QString head =
        QStringLiteral("<font size=\"12\" face=\"Arial\"><b>Новое сообщение в чате</b></font><br><br>");
    const QString to = idTo == -1 ? QStringLiteral("Всем") : nameTo.toHtmlEscaped();
    return {head, QStringLiteral("<b>") + nameFrom.toHtmlEscaped() + QStringLiteral("</b> -> <b>") + to +
                      QStringLiteral("</b> : ") + body.toHtmlEscaped()};
}

int storedColor(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QColor colorFromStored(int value)
{
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

} // namespace tarvik::messaging

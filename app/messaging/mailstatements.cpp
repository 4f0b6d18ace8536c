#include "mailstatements.h"

namespace tarvik::messaging {

QStringList letterListLines(LetterList kind)
{
    QStringList lines = {
        QStringLiteral("SELECT Id, IdUser, IdFrom, IdTo, Subj, Body, WriteDate, IsRead, IsReply,"),
        QStringLiteral("(SELECT Name FROM Users WHERE Users.Id = Texts.IdTo),"),
        QStringLiteral("(SELECT Name FROM Users WHERE Users.Id = Texts.IdFrom) FROM TEXTS")};
    lines << (kind == LetterList::Incoming
                  ? QStringLiteral("WHERE Texts.IdTo = :IdTo AND IdUser = :IdTo")
                  : QStringLiteral("WHERE Texts.IdFrom = :IdFrom AND IdUser = :IdFrom"));
    lines << QStringLiteral("ORDER BY Id");
    return lines;
}

QStringList letterNotice(const QString& senderName, const QString& subject)
{
    return {QStringLiteral("<font size=\"12\" face=\"Arial\"><b>Новое сообщение</b></font><br><br>"),
            QStringLiteral("<b>От:</b> ") + senderName.toHtmlEscaped() + QStringLiteral("<br>"),
            QStringLiteral("<b>Тема:</b> ") + subject.toHtmlEscaped()};
}

bool letterBodyMatches(const QString& body, const QString& searchText)
{
    qsizetype end = body.size();
    while (end > 0 && body.at(end - 1).isSpace())
        --end;
    return QStringView(body).left(end).startsWith(searchText, Qt::CaseInsensitive);
}

} // namespace tarvik::messaging

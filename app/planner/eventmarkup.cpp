#include "eventmarkup.h"

#include "roles.h"

namespace tarvik::planner {

QString EventMarkup::colourDigits(int storedColour)
{
    const auto c = quint32(storedColour);
    return QStringLiteral("%1%2%3")
        .arg(c & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString EventMarkup::colourText(int storedColour)
{
    return QLatin1Char('#') + colourDigits(storedColour);
}

QString EventMarkup::dateEditText(const QVariant& dateEdit)
{
    const QDateTime moment = dateEdit.toDateTime();
    return moment.isValid() ? moment.toString(QStringLiteral("MM.dd.yy hh:mm")) : QString();
}

QString EventMarkup::body(const EventFields& event, const BodyFonts& fonts, const QString& authorName)
{
    const QString done = isFlagSet(event.isFinish) ? QStringLiteral("2") : QStringLiteral("3");
    const QString bell = event.alarm.toInt() >= 1 ? QStringLiteral("<IMG src=\"idx:4\">")
                                                  : QStringLiteral("<IMG src=\"idx:8\">");
    QString out;
    out += QStringLiteral("<a href=\"if") + done + QStringLiteral("\"><IMG src=\"idx:") + done +
           QStringLiteral("\"></a>") + bell + QStringLiteral(" <b><font size=\"") +
           QString::number(fonts.headerFontSize) + QStringLiteral("\" face=\"") + fonts.headerFont +
           QStringLiteral("\" color=\"#") + colourDigits(fonts.headerFontColor) + QStringLiteral("\">") +
           event.header + QStringLiteral("</font></b><br>");
    out += QStringLiteral("<font size=\"") + QString::number(fonts.textFontSize) +
           QStringLiteral("\" face=\"") + fonts.textFont + QStringLiteral("\" color=\"#") +
           colourDigits(fonts.textFontColor) + QStringLiteral("\">") + event.comment;
    out += QStringLiteral("<hr><a href=\"user") + QString::number(event.authorId) + QStringLiteral("\">") +
           authorName + QStringLiteral("</a><br>");
    out += dateEditText(event.dateEdit) + QStringLiteral("</font>");
    return out;
}

} // namespace tarvik::planner

#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace tarvik::planner {

// The columns of an event row that its item's body shows.
struct EventFields
{
    QVariant isFinish;
    QVariant alarm;
    QString header;
    QString comment;
    int authorId = 0;
    QVariant dateEdit;
};

// The fonts of an appearance template the body uses (TEMPLATE columns).
struct BodyFonts
{
    QString headerFont;
    int headerFontSize = 0;
    int headerFontColor = 0;
    QString textFont;
    int textFontSize = 0;
    int textFontColor = 0;
};

// The rich caption markup of a planner item's body: the done or not-done
// picture as a link ("if2"/"if3"), the bell, the header, the description,
// the author as a link ("user" + Id) and the time of the last change.
class EventMarkup
{
public:
    // "#RRGGBB" of a stored colour, whose low byte is red.
    [[nodiscard]] static QString colourText(int storedColour);
    // The six digits alone.
    [[nodiscard]] static QString colourDigits(int storedColour);
    // "MM.dd.yy hh:mm": month first.
    [[nodiscard]] static QString dateEditText(const QVariant& dateEdit);
    // The four lines, concatenated. No value is escaped: markup written in
    // a header or description is drawn as markup.
    [[nodiscard]] static QString body(const EventFields& event, const BodyFonts& fonts,
                                      const QString& authorName);
};

} // namespace tarvik::planner

// The planner's arithmetic and texts that need neither a window nor a
// database: the events statement, the rows of the day view, weeks, month
// periods, titles, the item body markup and the position map.

#include "eventmarkup.h"
#include "eventsstatement.h"
#include "plannerrowmap.h"
#include "plannerviewmath.h"
#include "positionmap.h"
#include "wallclock.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace tarvik::planner;

TEST(EventsStatement, GroupOfThreeWorkPlacesHasSixLines)
{
    const QStringList lines = EventsStatement::lines({5, 7, 9}, false);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(
        lines.at(0),
        QStringLiteral("SELECT ID, USERSID, WORKTYPE, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, "
                       "ISPERCENT, IMPORTANCE, COLOR, IMAGE, WORKPLACE, TEMPLATE, DATEEDIT, ALARM, SOUND, "
                       "(SELECT Name FROM WorkPlace WHERE WorkPlace.Id = Events.WorkPlace) AS "
                       "WorkPlaceName FROM Events WHERE"));
    EXPECT_EQ(lines.at(1), QStringLiteral("(WorkPlace = 5"));
    EXPECT_EQ(lines.at(2), QStringLiteral("OR WorkPlace = 7"));
    EXPECT_EQ(lines.at(3), QStringLiteral("OR WorkPlace = 9"));
    EXPECT_EQ(lines.at(4), QStringLiteral(") AND (STARTTIME >= :STARTTIME AND ENDTIME <= :ENDTIME)"));
    EXPECT_EQ(lines.at(5), QStringLiteral("ORDER BY Id"));
    EXPECT_EQ(EventsStatement::text({5, 7, 9}, false), lines.join(QLatin1Char('\n')));
}

TEST(EventsStatement, WorkPlaceEntryCarriesItsConditionOnTheSelectLine)
{
    const QStringList single = EventsStatement::lines({12}, true);
    ASSERT_EQ(single.size(), 3);
    EXPECT_TRUE(single.at(0).endsWith(QStringLiteral(" FROM Events WHERE (WorkPlace = 12")));
    // A group of one is still written as a group.
    EXPECT_EQ(EventsStatement::lines({12}, false).size(), 4);
    EXPECT_TRUE(EventsStatement::lines({}, false).isEmpty());
}

TEST(PlannerViewMath, DayRowsFollowStepAndHours)
{
    PlannerOptions options;
    options.startTimeGrid = QStringLiteral("08:00");
    options.endTimeGrid = QStringLiteral("20:00");
    options.startWorkTimeGrid = QStringLiteral("09:00");
    options.endWorkTimeGrid = QStringLiteral("18:00");
    struct
    {
        int step;
        DayRows rows;
    } cases[] = {
        {60, {60, 8, 20, 1, 10}},  // band rows 1 to 9
        {15, {15, 32, 80, 4, 40}}, // band rows 4 to 39
        {30, {30, 16, 40, 2, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        options.step = c.step;
        EXPECT_EQ(PlannerViewMath::dayRows(options), c.rows);
    }
    // Minutes of a time text do not count.
    options.step = 60;
    options.startTimeGrid = QStringLiteral("08:30");
    EXPECT_EQ(PlannerViewMath::dayRows(options), (DayRows{60, 8, 20, 1, 10}));
}

TEST(PlannerViewMath, WeekRunsMondayToSundayAcrossMonthBoundaries)
{
    struct
    {
        QDate day, monday, sunday;
    } cases[] = {
        {QDate(2024, 3, 1), QDate(2024, 2, 26), QDate(2024, 3, 3)},   // Friday
        {QDate(2024, 3, 31), QDate(2024, 3, 25), QDate(2024, 3, 31)}, // Sunday
        {QDate(2024, 4, 1), QDate(2024, 4, 1), QDate(2024, 4, 7)},    // Monday
        {QDate(2002, 12, 31), QDate(2002, 12, 30), QDate(2003, 1, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(PlannerViewMath::week(c.day), std::make_pair(c.monday, c.sunday));
    }
}

TEST(PlannerViewMath, MonthPeriodEndsAtTheLastDayTwentyThreeFiftyNine)
{
    const auto [from, to] = PlannerViewMath::monthPeriod(QDate(2024, 2, 17));
    EXPECT_EQ(from, tarvik::wallClock(QDate(2024, 2, 1), QTime(0, 0, 0)));
    EXPECT_EQ(to, tarvik::wallClock(QDate(2024, 2, 29), QTime(23, 59, 0)));
}

// 29.03.2026 is the day the clock is put forward in much of Europe; the
// planner's rows are wall-clock times all the same: 48 half-hour rows, one
// of them at 02:30, and the next day starts 24 hours after midnight.
TEST(PlannerViewMath, RowsOfTheClockChangeDayAreWallClockTimes)
{
    const QDate day(2026, 3, 29);
    tarvik::widgets::PlannerRowMap rows;
    rows.setDay(day, 30);
    rows.setRows(0, 47);
    EXPECT_EQ(rows.rowStart(5), tarvik::wallClock(day, QTime(2, 30)));
    EXPECT_EQ(rows.rowStart(20), tarvik::wallClock(day, QTime(10, 0)));
    EXPECT_EQ(rows.rowEnd(47), tarvik::wallClock(day.addDays(1)));
    EXPECT_EQ(rows.shifted(tarvik::wallClock(day, QTime(1, 30)), 2), tarvik::wallClock(day, QTime(2, 30)));
    const auto span = rows.span(rows.rowStart(3), rows.rowStart(7));
    ASSERT_TRUE(span.has_value());
    EXPECT_EQ(*span, std::make_pair(3.0, 7.0));

    const auto [monday, sunday] = PlannerViewMath::week(day);
    rows.setDays(monday);
    EXPECT_EQ(rows.rowStart(6), tarvik::wallClock(sunday));
    EXPECT_EQ(rows.rowStart(7), tarvik::wallClock(QDate(2026, 3, 30)));

    const auto [from, to] = PlannerViewMath::monthPeriod(day);
    EXPECT_EQ(from, tarvik::wallClock(QDate(2026, 3, 1)));
    EXPECT_EQ(to, tarvik::wallClock(QDate(2026, 3, 31), QTime(23, 59)));
}

TEST(PlannerViewMath, TitlesUseRussianNames)
{
    const QDate day(2002, 7, 12);
    EXPECT_EQ(PlannerViewMath::dayTitle(day), QStringLiteral("12 июля 2002, пятница"));
    EXPECT_EQ(PlannerViewMath::weekTitle(QDate(2002, 7, 8), QDate(2002, 7, 14)),
              QStringLiteral("8 июля 2002 - 14 июля 2002"));
    EXPECT_EQ(PlannerViewMath::monthTitle(day), QStringLiteral("Июль"));
    EXPECT_EQ(PlannerViewMath::monthTitle(QDate(2024, 12, 31)), QStringLiteral("Декабрь"));
}

TEST(EventMarkup, ColourTextIsRedGreenBlueFromTheLowByte)
{
    struct
    {
        int stored;
        const char* text;
    } cases[] = {
        {255, "#FF0000"}, {32768, "#008000"}, {0, "#000000"}, {13613489, "#B1B9CF"}, {0xFF0000, "#0000FF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EventMarkup::colourText(c.stored), QLatin1String(c.text)) << c.stored;
}

TEST(EventMarkup, BodyOfAnUnfinishedEventWithoutReminder)
{
    EventFields event;
    event.header = QStringLiteral("Отчёт");
    event.comment = QStringLiteral("За квартал");
    event.authorId = 12;
    event.alarm = 0;
    event.dateEdit = tarvik::wallClock(QDate(2002, 7, 12), QTime(14, 30));
    BodyFonts fonts{QStringLiteral("Arial"), 10, 255, QStringLiteral("Tahoma"), 8, 0};
    EXPECT_EQ(
        EventMarkup::body(event, fonts, QStringLiteral("Петров")),
        QStringLiteral("<a href=\"if3\"><IMG src=\"idx:3\"></a><IMG src=\"idx:8\"> <b><font size=\"10\" "
                       "face=\"Arial\" color=\"#FF0000\">Отчёт</font></b><br>"
                       "<font size=\"8\" face=\"Tahoma\" color=\"#000000\">За квартал"
                       "<hr><a href=\"user12\">Петров</a><br>"
                       "07.12.02 14:30</font>"));

    event.isFinish = QStringLiteral("T");
    event.alarm = 30;
    const QString done = EventMarkup::body(event, fonts, QString());
    EXPECT_TRUE(
        done.startsWith(QStringLiteral("<a href=\"if2\"><IMG src=\"idx:2\"></a><IMG src=\"idx:4\">")));
    // Only "T" is finished.
    for (const QVariant& v : {QVariant(), QVariant(QString()), QVariant(QStringLiteral("t"))}) {
        event.isFinish = v;
        EXPECT_TRUE(
            EventMarkup::body(event, fonts, QString()).startsWith(QStringLiteral("<a href=\"if3\">")));
    }
}

TEST(PositionMap, LastMatchingPositionWinsAndResetClears)
{
    PositionMap map;
    map.set(0, 5);
    map.set(1, 7);
    map.set(2, 5);
    EXPECT_EQ(map.positionOf(5), 2);
    EXPECT_EQ(map.positionOf(7), 1);
    EXPECT_EQ(map.positionOf(8), -1);
    EXPECT_EQ(map.workPlaceAt(2), 5);
    EXPECT_EQ(map.workPlaceAt(256), 0);
    EXPECT_FALSE(map.set(256, 1));
    EXPECT_TRUE(map.set(255, 9));
    map.reset();
    EXPECT_EQ(map.positionOf(7), -1);
    EXPECT_EQ(map.workPlaceAt(1), 0);
}

// The month calendar: Russian names, marks read from real EVENTS rows and
// switched off and on, and the day-click and month-change notifications.

#include "plannercalendar.h"
#include "query.h"
#include "testdatabase.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::widgets;

TEST(PlannerCalendarNames, MonthsAndWeekdaysAreRussianMondayFirst)
{
    QStringList months;
    for (int m = 1; m <= 12; ++m)
        months << PlannerCalendar::monthName(m);
    EXPECT_EQ(months, QStringList({"Январь", "Февраль", "Март", "Апрель", "Май", "Июнь", "Июль", "Август",
                                   "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"}));
    QStringList days;
    for (int d = Qt::Monday; d <= Qt::Sunday; ++d)
        days << PlannerCalendar::weekdayName(Qt::DayOfWeek(d));
    EXPECT_EQ(days, QStringList({"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"}));
}

namespace {

class PlannerCalendarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        conn = database.connect();
        add(QDateTime(QDate(2024, 3, 4), QTime(9, 0)), QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        add(QDateTime(QDate(2024, 3, 30), QTime(22, 0)), QDateTime(QDate(2024, 3, 31), QTime(1, 0)));
        query = std::make_unique<db::Query>(*conn, QStringLiteral("SELECT * FROM EVENTS"));
        calendar.resize(280, 220);
        calendar.setDate(QDate(2024, 3, 15));
        calendar.setQuery(query.get());
        calendar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&calendar));
    }

    void add(const QDateTime& start, const QDateTime& end)
    {
        conn->execute(
            QStringLiteral("INSERT INTO EVENTS (ID, STARTTIME, ENDTIME) VALUES (GEN_ID(EVENTS_ID, 1), "
                           ":STARTTIME, :ENDTIME)"),
            {{"STARTTIME", start}, {"ENDTIME", end}});
    }

    test::TestDatabase database;
    std::unique_ptr<db::Connection> conn;
    std::unique_ptr<db::Query> query;
    PlannerCalendar calendar;
};

} // namespace

TEST_F(PlannerCalendarTest, DaysWithLoadedEventsAreMarkedWhileMarksAreOn)
{
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 4))); // not opened yet
    query->open();
    for (int d : {4, 30, 31})
        EXPECT_TRUE(calendar.isMarked(QDate(2024, 3, d))) << d;
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 5)));
    const QRect marked = calendar.dayRect(QDate(2024, 3, 4));
    EXPECT_EQ(calendar.grab().toImage().pixelColor(marked.topLeft() + QPoint(2, 2)), QColor(177, 185, 207));

    calendar.setMarksEnabled(false);
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 4)));
    EXPECT_NE(calendar.grab().toImage().pixelColor(marked.topLeft() + QPoint(2, 2)), QColor(177, 185, 207));
    // Rows loaded while the marks are off show once they are back on.
    add(QDateTime(QDate(2024, 3, 12), QTime(8, 0)), QDateTime(QDate(2024, 3, 12), QTime(9, 0)));
    query->reopen();
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 12)));
    calendar.setMarksEnabled(true);
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 3, 12)));
    query->close();
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 4)));
}

TEST_F(PlannerCalendarTest, DayClickAndMonthStepsAreReported)
{
    QSignalSpy days(&calendar, &PlannerCalendar::daySelected);
    QSignalSpy months(&calendar, &PlannerCalendar::monthChanged);
    EXPECT_EQ(calendar.title(), QStringLiteral("Март 2024"));
    // 1 March 2024 is a Friday: the fifth column of the first week.
    const QRect first = calendar.dayRect(QDate(2024, 3, 1));
    EXPECT_EQ(first.left(), calendar.dayRect(QDate(2024, 3, 8)).left());
    EXPECT_GT(first.left(), calendar.dayRect(QDate(2024, 3, 4)).left() + 3 * first.width());
    EXPECT_TRUE(calendar.dayRect(QDate(2024, 4, 1)).isEmpty());

    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.dayRect(QDate(2024, 3, 20)).center());
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days.at(0).at(0).toDate(), QDate(2024, 3, 20));
    EXPECT_EQ(calendar.date(), QDate(2024, 3, 20));
    EXPECT_EQ(months.size(), 0);

    calendar.setDate(QDate(2024, 1, 31));
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.nextMonthRect().center());
    ASSERT_EQ(months.size(), 1);
    EXPECT_EQ(months.at(0).at(0).toDate(), QDate(2024, 2, 29));
    EXPECT_EQ(calendar.title(), QStringLiteral("Февраль 2024"));
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.previousMonthRect().center());
    EXPECT_EQ(months.at(1).at(0).toDate().month(), 1);
    // A disabled calendar, as while no events can be shown, reports nothing.
    calendar.setEnabled(false);
    QTest::mouseClick(&calendar, Qt::LeftButton, {}, calendar.dayRect(QDate(2024, 1, 10)).center());
    EXPECT_EQ(days.size(), 1);
}

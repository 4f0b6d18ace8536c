// The reminder lead times shared by the task dialog and the reminder window.

#include "reminderintervals.h"

#include <gtest/gtest.h>

using namespace tarvik::planner;

TEST(ReminderIntervals, FifteenChoicesInOrderWithTheirMinutes)
{
    const struct
    {
        const char* text;
        int minutes;
    } expected[] = {
        {"нет", 0},       {"1 мин.", 1},    {"5 мин.", 5},    {"10 мин.", 10},  {"20 мин.", 20},
        {"40 мин.", 40},  {"1 час.", 60},   {"2 час.", 120},  {"4 час.", 240},  {"8 час.", 480},
        {"16 час.", 960}, {"1 сут.", 1440}, {"2 сут.", 2880}, {"4 сут.", 5760}, {"1 нед.", 10080},
    };
    ASSERT_EQ(reminderIntervals().size(), std::size(expected));
    ASSERT_EQ(reminderIntervalTexts().size(), qsizetype(std::size(expected)));
    for (int p = 0; p < int(std::size(expected)); ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(reminderIntervals()[std::size_t(p)].text, QString::fromUtf8(expected[p].text));
        EXPECT_EQ(reminderIntervalTexts().at(p), QString::fromUtf8(expected[p].text));
        EXPECT_EQ(reminderMinutesAt(p), expected[p].minutes);
        EXPECT_EQ(reminderPositionOf(expected[p].minutes), p) << "stored minutes find their choice";
    }
}

// A stored lead time the table does not offer falls back to "нет".
TEST(ReminderIntervals, MinutesNotOfferedShowAsNone)
{
    for (const QVariant& stored :
         {QVariant(30), QVariant(-5), QVariant(10081), QVariant(), QVariant(QString())}) {
        SCOPED_TRACE(stored.toString().toStdString());
        EXPECT_EQ(reminderPositionOf(stored), 0);
    }
    EXPECT_EQ(reminderPositionOf(QVariant(qlonglong(1440))), 11) << "any integer type";
}

TEST(ReminderIntervals, PositionsOutsideTheTableMeanNoReminder)
{
    EXPECT_EQ(reminderMinutesAt(-1), 0);
    EXPECT_EQ(reminderMinutesAt(15), 0);
}

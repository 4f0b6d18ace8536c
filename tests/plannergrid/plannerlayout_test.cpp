// Row arithmetic, overlap lanes, day marks and markup conversion: the
// planner's layout logic, without a window.

#include "daymarks.h"
#include "plannermarkup.h"
#include "planneroverlaplayout.h"
#include "plannerrowmap.h"
#include "wallclock.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace tarvik::widgets;

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return tarvik::wallClock(QDate(y, m, d), QTime(h, min));
}

struct DayGridCase
{
    int step;
    QString start, end, workStart, workEnd;
    int firstRow, lastRow, bandFirst, bandEnd;
};

void PrintTo(const DayGridCase& c, std::ostream* os)
{
    *os << c.step << " min from " << c.start.toStdString();
}

// The day layout as the program sets it up from the grid options.
class DayGridRows : public ::testing::TestWithParam<DayGridCase>
{
};

} // namespace

TEST_P(DayGridRows, RowsAndWorkingBandFollowTheHours)
{
    const DayGridCase c = GetParam();
    const int s = PlannerRowMap::rowsPerHour(c.step);
    PlannerRowMap rows;
    rows.setDay(QDate(2024, 3, 4), c.step);
    rows.setRows(s * PlannerRowMap::hourOf(c.start), s * PlannerRowMap::hourOf(c.end));
    EXPECT_EQ(rows.firstRow(), c.firstRow);
    EXPECT_EQ(rows.lastRow(), c.lastRow);
    EXPECT_EQ(s * (PlannerRowMap::hourOf(c.workStart) - PlannerRowMap::hourOf(c.start)), c.bandFirst);
    EXPECT_EQ(s * (PlannerRowMap::hourOf(c.workEnd) - PlannerRowMap::hourOf(c.start)), c.bandEnd);
    EXPECT_EQ(rows.rowStart(rows.firstRow()), at(2024, 3, 4, 8));
    EXPECT_EQ(rows.rowEnd(rows.firstRow()), at(2024, 3, 4, 8).addSecs(c.step * 60));
    EXPECT_EQ(rows.rowStart(rows.lastRow()), at(2024, 3, 4, 20));
}

INSTANTIATE_TEST_SUITE_P(Steps, DayGridRows,
                         ::testing::Values(DayGridCase{60, "08:00", "20:00", "09:00", "18:00", 8, 20, 1, 10},
                                           DayGridCase{30, "08:00", "20:00", "09:00", "18:00", 16, 40, 2, 20},
                                           DayGridCase{15, "08:00", "20:00", "09:00", "18:00", 32, 80, 4, 40},
                                           // Minutes of a time text do not count.
                                           DayGridCase{15, "08:30", "20:45", "09:15", "18:59", 32, 80, 4,
                                                       40}));

TEST(PlannerRowMap, DaySpansAreClippedToTheRowsShown)
{
    PlannerRowMap rows;
    rows.setDay(QDate(2024, 3, 4), 30);
    rows.setRows(16, 40); // 08:00 .. 20:30
    EXPECT_DOUBLE_EQ(rows.rowAt(at(2024, 3, 4, 10, 45)), 21.5);
    EXPECT_EQ(rows.span(at(2024, 3, 4, 9), at(2024, 3, 4, 10, 30)), std::make_pair(2.0, 5.0));
    EXPECT_EQ(rows.span(at(2024, 3, 4, 7), at(2024, 3, 4, 9)), std::make_pair(0.0, 2.0));
    EXPECT_EQ(rows.span(at(2024, 3, 4, 20), at(2024, 3, 5, 2)), std::make_pair(24.0, 25.0));
    EXPECT_FALSE(rows.span(at(2024, 3, 4, 6), at(2024, 3, 4, 8)));
    EXPECT_FALSE(rows.span(at(2024, 3, 5, 9), at(2024, 3, 5, 10)));
    EXPECT_EQ(rows.shifted(at(2024, 3, 4, 9), 3), at(2024, 3, 4, 10, 30));
}

TEST(PlannerRowMap, DayRowsCoverWholeDays)
{
    PlannerRowMap rows;
    rows.setDays(QDate(2024, 2, 26));
    rows.setRows(0, 6);
    EXPECT_EQ(rows.rowStart(4), at(2024, 3, 1));
    // Within one day: the day's row.
    EXPECT_EQ(rows.span(at(2024, 2, 28, 10), at(2024, 2, 28, 12)), std::make_pair(2.0, 3.0));
    // Ending at midnight does not reach into the next day.
    EXPECT_EQ(rows.span(at(2024, 2, 28, 10), at(2024, 2, 29)), std::make_pair(2.0, 3.0));
    EXPECT_EQ(rows.span(at(2024, 2, 28, 10), at(2024, 3, 1, 9)), std::make_pair(2.0, 5.0));
    EXPECT_EQ(rows.span(at(2024, 2, 20), at(2024, 2, 27, 9)), std::make_pair(0.0, 2.0));
    EXPECT_FALSE(rows.span(at(2024, 3, 4, 1), at(2024, 3, 4, 2)));
    EXPECT_EQ(rows.shifted(at(2024, 2, 28, 10), 2), at(2024, 3, 1, 10));
}

TEST(PlannerRowMap, LeapMonthHasOneRowPerDay)
{
    PlannerRowMap rows;
    rows.setDays(QDate(2024, 2, 1));
    rows.setRows(0, QDate(2024, 2, 1).daysInMonth() - 1);
    EXPECT_EQ(rows.rowCount(), 29);
    EXPECT_EQ(rows.rowStart(28), at(2024, 2, 29));
    EXPECT_DOUBLE_EQ(rows.rowAt(at(2024, 2, 15, 23, 59)), 14.0);
}

TEST(PlannerRowMap, WeekOfADayRunsMondayToSundayAcrossMonths)
{
    using Week = std::pair<QDate, QDate>;
    EXPECT_EQ(PlannerRowMap::weekOf(QDate(2024, 3, 1)), Week(QDate(2024, 2, 26), QDate(2024, 3, 3)));
    EXPECT_EQ(PlannerRowMap::weekOf(QDate(2024, 3, 31)), Week(QDate(2024, 3, 25), QDate(2024, 3, 31)));
    EXPECT_EQ(PlannerRowMap::weekOf(QDate(2024, 4, 1)), Week(QDate(2024, 4, 1), QDate(2024, 4, 7)));
    EXPECT_EQ(PlannerRowMap::weekOf(QDate(2024, 12, 31)), Week(QDate(2024, 12, 30), QDate(2025, 1, 5)));
}

TEST(PlannerOverlapLayout, OverlappingItemsShareLanesPerGroupAndColumn)
{
    const std::vector<PlannerSpan> spans{
        {0, 2, 0},                       // A
        {1, 3, 0},                       // B overlaps A
        {2, 4, 0},                       // C touches A, overlaps B: takes A's lane
        {0, 2, 1},                       // D alone in column 1
        {4, 5, 0},                       // E touches C only: a group of its own
        {0, 6, 2}, {0, 6, 2}, {0, 6, 2}, // three equal ones
    };
    const auto lanes = PlannerOverlapLayout::arrange(spans);
    ASSERT_EQ(lanes.size(), spans.size());
    EXPECT_EQ(lanes[0].lane, 0);
    EXPECT_EQ(lanes[1].lane, 1);
    EXPECT_EQ(lanes[2].lane, 0);
    for (int i : {0, 1, 2})
        EXPECT_EQ(lanes[size_t(i)].lanes, 2);
    EXPECT_EQ(lanes[3].lane, 0);
    EXPECT_EQ(lanes[3].lanes, 1);
    EXPECT_EQ(lanes[4].lanes, 1);
    std::set<int> used;
    for (int i : {5, 6, 7}) {
        used.insert(lanes[size_t(i)].lane);
        EXPECT_EQ(lanes[size_t(i)].lanes, 3);
    }
    EXPECT_EQ(used.size(), 3u);
}

TEST(PlannerOverlapLayout, HundredsOfItemsInAMonth)
{
    std::vector<PlannerSpan> spans;
    for (int i = 0; i < 600; ++i)
        spans.push_back({double(i % 31), double(i % 31 + 1), i % 4});
    const auto lanes = PlannerOverlapLayout::arrange(spans);
    for (size_t i = 0; i < spans.size(); ++i) {
        EXPECT_LT(lanes[i].lane, lanes[i].lanes);
        EXPECT_LE(lanes[i].lanes, 5);
    }
}

TEST(DayMarks, EveryDayAnEventTouchesIsMarked)
{
    DayMarks marks;
    marks.addSpan(at(2024, 3, 30, 22), at(2024, 4, 1, 1));
    marks.addSpan(at(2024, 3, 10, 9), at(2024, 3, 11)); // ends at midnight
    EXPECT_TRUE(marks.isMarked(QDate(2024, 3, 30)));
    EXPECT_TRUE(marks.isMarked(QDate(2024, 3, 31)));
    EXPECT_TRUE(marks.isMarked(QDate(2024, 4, 1)));
    EXPECT_TRUE(marks.isMarked(QDate(2024, 3, 10)));
    EXPECT_FALSE(marks.isMarked(QDate(2024, 3, 11)));
    EXPECT_EQ(marks.count(), 4);
    marks.clear();
    EXPECT_FALSE(marks.isMarked(QDate(2024, 3, 30)));
}

// The item body markup as the planner writes it must come out with its
// fonts in points and its named colours.
TEST(PlannerMarkup, FontSizesInPointsAndNamedColours)
{
    const QString markup =
        QStringLiteral(R"(<a href="if3"><IMG src="idx:3"></a><IMG src="idx:8"> )"
                       R"(<b><font size="14" face="Arial" color="#FF0000">Head</font></b><br>)"
                       R"(<font size="9" face="Arial" color="clGreen">Body<hr>x</font>)");
    QTextDocument doc;
    doc.setHtml(plannerMarkupToHtml(markup));
    const QString plain = doc.toPlainText();
    QTextCursor head(&doc);
    head.setPosition(int(plain.indexOf(QLatin1String("Head"))) + 1);
    EXPECT_DOUBLE_EQ(head.charFormat().fontPointSize(), 14);
    EXPECT_EQ(head.charFormat().foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(head.charFormat().fontWeight(), QFont::Bold);
    QTextCursor body(&doc);
    body.setPosition(int(plain.indexOf(QLatin1String("Body"))) + 1);
    EXPECT_DOUBLE_EQ(body.charFormat().fontPointSize(), 9);
    EXPECT_EQ(body.charFormat().foreground().color(), QColor(0, 128, 0));
    EXPECT_TRUE(plannerMarkupToHtml(markup).contains(QLatin1String(R"(src="idx:3")")));
}

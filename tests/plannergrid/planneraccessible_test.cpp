// What a screen reader finds in the planner grid and the month calendar,
// offscreen: tables with their headers, cells and items by index and by
// point, and item interfaces that follow the rows they show.

#include "dbdaysource.h"
#include "dbmonthsource.h"
#include "plannercalendar.h"
#include "plannergrid.h"
#include "query.h"
#include "testdatabase.h"
#include "wallclock.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::widgets;

namespace {

QDateTime at(int d, int h = 0, int m = 0)
{
    return wallClock(QDate(2024, 3, d), QTime(h, m));
}

QString name(QAccessibleInterface* iface)
{
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
}

class PlannerAccessibleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.resize(640, 600);
        grid.setPositions(3);
        grid.setHeaderCaptions(
            {QString(), QStringLiteral("Склад"), QStringLiteral("Цех"), QStringLiteral("Офис")});
        grid.setMinutesPerRow(30);
        grid.setFirstRow(16); // 08:00
        grid.setLastRow(40);
        grid.setRowHeight(20);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    PlannerItem* add(int position, const QDateTime& start, const QDateTime& end, const QString& text)
    {
        PlannerItem item = grid.defaultItem();
        item.position = position;
        item.start = start;
        item.end = end;
        item.text = text;
        PlannerItem* added = grid.addItem(item);
        grid.itemsChanged();
        return added;
    }

    [[nodiscard]] QAccessibleInterface* table() { return QAccessible::queryAccessibleInterface(&grid); }

    // The child under a point of the viewport, as a screen reader's mouse
    // review asks for it.
    [[nodiscard]] QAccessibleInterface* childAt(const QPoint& viewportPos)
    {
        const QPoint global = grid.viewport()->mapToGlobal(viewportPos);
        return table()->childAt(global.x(), global.y());
    }

    [[nodiscard]] QRect widgetRect() const { return QRect(grid.mapToGlobal(QPoint(0, 0)), grid.size()); }

    PlannerGrid grid;
};

} // namespace

TEST_F(PlannerAccessibleTest, DayAndMonthViewsReadAsTablesWithTheirItems)
{
    grid.setItemSource(nullptr);
    PlannerItem* meeting = add(0, wallClock(grid.rowMap().baseDate(), QTime(9, 0)),
                               wallClock(grid.rowMap().baseDate(), QTime(10, 0)),
                               QStringLiteral("<b>Планёрка</b><br>Обсудить <IMG src=\"idx:2\">план"));

    QAccessibleInterface* iface = table();
    ASSERT_NE(iface, nullptr);
    QAccessibleTableInterface* t = iface->tableInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    EXPECT_EQ(t->rowCount(), 25);
    EXPECT_EQ(t->columnCount(), 3);
    EXPECT_EQ(t->columnDescription(1), QStringLiteral("Цех"));
    EXPECT_EQ(t->rowDescription(0), QStringLiteral("08:00"));
    EXPECT_EQ(t->rowDescription(1), QStringLiteral(":30"));
    EXPECT_EQ(iface->childCount(), 26 * 4 + 1);

    // The 09:00 cell of "Склад" lies under the meeting and says so.
    QAccessibleInterface* cell = t->cellAt(2, 0);
    EXPECT_EQ(name(cell), QStringLiteral("09:00, Склад"));
    EXPECT_EQ(cell->text(QAccessible::Description), QStringLiteral("Планёрка"));
    EXPECT_EQ(name(cell->tableCellInterface()->columnHeaderCells().value(0)), QStringLiteral("Склад"));
    EXPECT_EQ(iface->indexOfChild(cell), 3 * 4 + 1);
    EXPECT_EQ(iface->child(3 * 4 + 1), cell);

    QAccessibleInterface* item = iface->child(26 * 4);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_EQ(name(item), QStringLiteral("Планёрка, 09:00 - 10:00"));
    EXPECT_EQ(item->text(QAccessible::Description), QStringLiteral("Обсудить план, Склад"));
    EXPECT_EQ(item->rect().size(), grid.itemRect(meeting).size());
    EXPECT_TRUE(widgetRect().contains(item->rect()));
    EXPECT_TRUE(widgetRect().contains(cell->rect()));

    // By point: the item over its cells, an empty cell, a header, the sidebar.
    EXPECT_EQ(childAt(grid.itemRect(meeting).center()), item);
    EXPECT_EQ(childAt(grid.cellRect(1, 18).center()), t->cellAt(2, 1));
    EXPECT_EQ(name(childAt(QPoint(grid.cellRect(2, 16).center().x(), PlannerGrid::kCaptionHeight + 5))),
              QStringLiteral("Офис"));
    EXPECT_EQ(name(childAt(QPoint(5, grid.cellRect(0, 17).center().y()))), QStringLiteral(":30"));

    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(meeting->selected);
    EXPECT_TRUE(item->state().selected);

    // The month view: days by work places, items named with their dates.
    DbMonthSource month;
    month.setMonth(2024, 3);
    grid.setItemSource(&month);
    month.setActive(true);
    add(2, at(5, 9), at(6, 11), QStringLiteral("Отчёт"));
    EXPECT_EQ(t->rowCount(), 31);
    EXPECT_EQ(t->rowDescription(0), QStringLiteral("Пт 1.03"));
    const QRect fifth = grid.cellRect(2, 4);
    QAccessibleInterface* report = childAt(fifth.center());
    EXPECT_EQ(name(report), QStringLiteral("Отчёт, 05.03.2024 09:00 - 06.03.2024 11:00"));
    EXPECT_EQ(report->text(QAccessible::Description), QStringLiteral("Офис"));
    EXPECT_EQ(name(t->cellAt(4, 2)), QStringLiteral("Вт 5.03, Офис"));
    grid.setItemSource(nullptr);
}

// A screen reader holds items by id; a reload replaces the items, so an id
// of before must lead nowhere instead of to a deleted item, while a merge
// keeps the item and its new text.
TEST_F(PlannerAccessibleTest, ItemInterfacesFollowMergesAndGoWithReloads)
{
    test::TestDatabase database;
    auto conn = database.connect();
    auto insert = [&](int place, const QDateTime& start, const QDateTime& end, const QString& header) {
        const int id = int(conn->generatorValue(QStringLiteral("EVENTS_ID")));
        conn->execute(
            QStringLiteral("INSERT INTO EVENTS (ID, WORKPLACE, STARTTIME, ENDTIME, HEADER) "
                           "VALUES (:ID, :WORKPLACE, :STARTTIME, :ENDTIME, :HEADER)"),
            {{"ID", id}, {"WORKPLACE", place}, {"STARTTIME", start}, {"ENDTIME", end}, {"HEADER", header}});
        return id;
    };
    const int planning = insert(0, at(4, 9), at(4, 10), QStringLiteral("Планёрка"));
    insert(1, at(4, 11), at(4, 12), QStringLiteral("Склад"));
    db::Query events(*conn, QStringLiteral("SELECT * FROM EVENTS ORDER BY ID"));
    events.open();
    DbDaySource day;
    day.setQuery(&events);
    day.setStartField(QStringLiteral("STARTTIME"));
    day.setEndField(QStringLiteral("ENDTIME"));
    day.setKeyField(QStringLiteral("ID"));
    day.setResourceField(QStringLiteral("WORKPLACE"));
    day.setFieldsToItem([](PlannerItem& item, const db::Query& q, int row) {
        item.text = q.valueAt(row, QStringLiteral("HEADER")).toString();
    });
    day.setDay(QDate(2024, 3, 4));
    grid.setItemSource(&day);
    day.setActive(true);

    const QPoint point = grid.cellRect(0, 18).center();
    QAccessibleInterface* before = childAt(point);
    ASSERT_EQ(name(before), QStringLiteral("Планёрка, 09:00 - 10:00"));
    const QAccessible::Id id = QAccessible::uniqueId(before);

    conn->execute(QStringLiteral("UPDATE EVENTS SET HEADER = 'Летучка' WHERE ID = :ID"), {{"ID", planning}});
    db::Query fresh(*conn, QStringLiteral("SELECT EVENTS.*, 1 AS BELONGS FROM EVENTS WHERE ID = :ID"));
    fresh.setParam(QStringLiteral("ID"), planning);
    fresh.open();
    events.mergeRows(QStringLiteral("ID"), fresh, QStringLiteral("BELONGS"), {});
    EXPECT_EQ(QAccessible::accessibleInterface(id), before);
    EXPECT_EQ(name(before), QStringLiteral("Летучка, 09:00 - 10:00"));

    events.close();
    events.open();
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    QAccessibleInterface* after = childAt(point);
    EXPECT_EQ(name(after), QStringLiteral("Летучка, 09:00 - 10:00"));
    EXPECT_TRUE(after->isValid());

    // A merge that takes the row out takes its item's interface with it.
    const QAccessible::Id again = QAccessible::uniqueId(after);
    fresh.close();
    fresh.setParam(QStringLiteral("ID"), -1);
    fresh.open();
    events.mergeRows(QStringLiteral("ID"), fresh, QStringLiteral("BELONGS"), {planning});
    EXPECT_EQ(QAccessible::accessibleInterface(again), nullptr);
    EXPECT_EQ(childAt(point)->role(), QAccessible::Cell);
    grid.setItemSource(nullptr);
}

// Without a mouse: the keys move the current cell, stretch the selection,
// reach the items over a cell and open one; a reader sees the cell focused.
TEST_F(PlannerAccessibleTest, KeysMoveThroughCellsAndItems)
{
    const QDate day = grid.rowMap().baseDate();
    PlannerItem* first =
        add(1, wallClock(day, QTime(9, 0)), wallClock(day, QTime(10, 0)), QStringLiteral("А"));
    PlannerItem* second =
        add(1, wallClock(day, QTime(9, 0)), wallClock(day, QTime(9, 30)), QStringLiteral("Б"));
    grid.setFocus();
    QSignalSpy cells(&grid, &PlannerGrid::cellsSelected);
    QSignalSpy opened(&grid, &PlannerGrid::itemDoubleClicked);
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(cells.count(), 3);
    EXPECT_EQ(grid.selectionPosition(), 1);
    EXPECT_EQ(grid.selectionStart(), wallClock(day, QTime(8, 30)));
    EXPECT_EQ(grid.selectionEnd(), wallClock(day, QTime(9, 30)));
    QAccessibleTableInterface* t = table()->tableInterface();
    EXPECT_TRUE(t->cellAt(1, 1)->state().focused);
    EXPECT_EQ(t->selectedCellCount(), 2);

    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_TRUE(first->selected);
    QTest::keyClick(&grid, Qt::Key_Space);
    EXPECT_TRUE(second->selected);
    EXPECT_EQ(table()->focusChild(), table()->child(26 * 4 + 1));
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).value<PlannerItem*>(), second);
}

TEST_F(PlannerAccessibleTest, CalendarReadsAsWeeksOfDaysAndIsPressable)
{
    PlannerCalendar calendar;
    calendar.resize(280, 220);
    calendar.setDate(QDate(2024, 3, 15));
    calendar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&calendar));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&calendar);
    ASSERT_NE(iface, nullptr);
    QAccessibleTableInterface* t = iface->tableInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(name(iface), QStringLiteral("Март 2024"));
    EXPECT_EQ(t->rowCount(), 6);
    EXPECT_EQ(t->columnCount(), 7);
    EXPECT_EQ(t->columnDescription(0), QStringLiteral("Пн"));
    // March 2024 starts on a Friday: the 15th is the fifth cell of week 3.
    EXPECT_EQ(name(t->cellAt(2, 4)), QStringLiteral("15.03.2024, Пт"));
    EXPECT_TRUE(t->cellAt(2, 4)->state().selected);
    EXPECT_EQ(name(t->cellAt(0, 0)), QString());
    const QRect calendarRect(calendar.mapToGlobal(QPoint(0, 0)), calendar.size());
    EXPECT_TRUE(calendarRect.contains(t->cellAt(2, 4)->rect()));

    const QPoint twentieth = calendar.mapToGlobal(calendar.dayRect(QDate(2024, 3, 20)).center());
    QAccessibleInterface* cell = iface->childAt(twentieth.x(), twentieth.y());
    EXPECT_EQ(name(cell), QStringLiteral("20.03.2024, Ср"));
    QSignalSpy days(&calendar, &PlannerCalendar::daySelected);
    cell->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(days.count(), 1);
    EXPECT_EQ(days.at(0).at(0).toDate(), QDate(2024, 3, 20));

    QSignalSpy months(&calendar, &PlannerCalendar::monthChanged);
    QAccessibleInterface* next = iface->child(1);
    EXPECT_EQ(next->role(), QAccessible::Button);
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(months.count(), 1);
    EXPECT_EQ(name(iface), QStringLiteral("Апрель 2024"));
    EXPECT_EQ(name(t->cellAt(0, 0)), QStringLiteral("01.04.2024, Пн"));

    // By keys: back a week across the month's start, then chosen.
    calendar.setDate(QDate(2024, 4, 3));
    QTest::keyClick(&calendar, Qt::Key_Up);
    EXPECT_EQ(months.count(), 2);
    QTest::keyClick(&calendar, Qt::Key_Return);
    EXPECT_EQ(days.last().at(0).toDate(), QDate(2024, 3, 27));
}

// Item sources reading and writing real EVENTS rows on a throwaway
// database, through the grid driven with the mouse.

#include "dbdaysource.h"
#include "dbmonthsource.h"
#include "dbperiodsource.h"
#include "plannergrid.h"
#include "query.h"
#include "testdatabase.h"
#include "wallclock.h"

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

// Work places 5, 7 and 9 stand in positions 0, 1 and 2; 11 is not shown.
const QList<int> kPositionMap{5, 7, 9};
constexpr int kMover = 42;

class PlannerItemSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        conn = database.connect();
        planning = insert(5, at(4, 9), at(4, 10), "Планёрка");
        storeroom = insert(7, at(4, 11), at(4, 12, 30), "Склад");
        report = insert(9, at(5, 9), at(5, 11), "Отчёт");
        insert(5, at(31, 22), at(31, 23), "Поздно");
        insert(11, at(4, 9), at(4, 10), "Чужое");
        query = std::make_unique<db::Query>(*conn, QStringLiteral("SELECT * FROM EVENTS ORDER BY ID"));
        query->setModifySql(QStringLiteral("UPDATE EVENTS SET STARTTIME = :STARTTIME, ENDTIME = :ENDTIME, "
                                           "WORKPLACE = :WORKPLACE, USERSID = :USERSID, DATEEDIT = :DATEEDIT "
                                           "WHERE ID = :OLD_ID"));
        query->setInsertSql(QStringLiteral("INSERT INTO EVENTS (ID, STARTTIME, ENDTIME, WORKPLACE, USERSID, "
                                           "DATEEDIT, HEADER) VALUES (:ID, :STARTTIME, :ENDTIME, :WORKPLACE, "
                                           ":USERSID, :DATEEDIT, :HEADER)"));
        query->open();
        for (PlannerItemSource* s :
             {static_cast<PlannerItemSource*>(&day), static_cast<PlannerItemSource*>(&week),
              static_cast<PlannerItemSource*>(&month)})
            bind(*s);
        grid.resize(640, 600);
        grid.setPositions(3);
        grid.setMinutesPerRow(30);
        grid.setFirstRow(16);
        grid.setLastRow(40);
        grid.setRowHeight(20);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    // Keys come from the generator, as the program's own inserts take them.
    int insert(int place, const QDateTime& start, const QDateTime& end, const char* header)
    {
        const int id = int(conn->generatorValue(QStringLiteral("EVENTS_ID")));
        conn->execute(QStringLiteral("INSERT INTO EVENTS (ID, WORKPLACE, STARTTIME, ENDTIME, HEADER) "
                                     "VALUES (:ID, :WORKPLACE, :STARTTIME, :ENDTIME, :HEADER)"),
                      {{"ID", id},
                       {"WORKPLACE", place},
                       {"STARTTIME", start},
                       {"ENDTIME", end},
                       {"HEADER", QString::fromUtf8(header)}});
        return id;
    }

    void bind(PlannerItemSource& source)
    {
        source.setQuery(query.get());
        source.setStartField(QStringLiteral("STARTTIME"));
        source.setEndField(QStringLiteral("ENDTIME"));
        source.setKeyField(QStringLiteral("ID"));
        source.setResourceField(QStringLiteral("WORKPLACE"));
        source.setFieldsToItem([](PlannerItem& item, const db::Query& q, int row) {
            item.text = QStringLiteral("<b>%1</b>").arg(q.valueAt(row, QStringLiteral("HEADER")).toString());
            // As for a worker who may only view work place 9.
            const bool viewOnly = q.valueAt(row, QStringLiteral("WORKPLACE")).toInt() == 9;
            item.fixedTime = item.fixedPosition = item.fixedSize = viewOnly;
        });
        source.setItemToFields([](PlannerItem&, db::Query& q) {
            q.setValue(QStringLiteral("USERSID"), kMover);
            q.setValue(QStringLiteral("DATEEDIT"), wallClockNow());
        });
        source.setCreateKey([this] {
            return conn->executeProcedure(QStringLiteral("EXECUTE PROCEDURE GETEVENTS_ID"))
                .value("IDD")
                .toString();
        });
        source.setResourceToPosition(
            [](const QVariant& place) { return int(kPositionMap.lastIndexOf(place.toInt())); });
        source.setPositionToResource([](int position) { return QVariant(kPositionMap.value(position)); });
    }

    void showDay(QDate d)
    {
        day.setDay(d);
        grid.setItemSource(&day);
        day.setActive(true);
    }

    // The row as the database holds it now.
    [[nodiscard]] QVariantMap stored(int id) const
    {
        db::Query q(*conn, QStringLiteral("SELECT STARTTIME, ENDTIME, WORKPLACE, USERSID, DATEEDIT, HEADER "
                                          "FROM EVENTS WHERE ID = :ID"));
        q.setParam(QStringLiteral("ID"), id);
        q.open();
        QVariantMap row;
        for (const QString& c : q.columnNames())
            row.insert(c, q.value(c));
        return row;
    }

    void drag(const QPoint& from, const QPoint& to)
    {
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid.viewport(), to);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    }

    [[nodiscard]] QStringList itemTexts() const
    {
        QStringList texts;
        for (int i = 0; i < grid.itemCount(); ++i)
            texts << grid.item(i)->text;
        texts.sort();
        return texts;
    }

    test::TestDatabase database;
    std::unique_ptr<db::Connection> conn;
    std::unique_ptr<db::Query> query;
    int planning = 0;
    int storeroom = 0;
    int report = 0;
    DbDaySource day;
    DbPeriodSource week;
    DbMonthSource month;
    PlannerGrid grid;
};

} // namespace

TEST_F(PlannerItemSourceTest, EachSourceShowsTheRowsOfItsRangeInTheirColumns)
{
    showDay(QDate(2024, 3, 4));
    EXPECT_EQ(itemTexts(), (QStringList{"<b>Планёрка</b>", "<b>Склад</b>"}));
    const PlannerItem* storeroomItem = grid.itemByKey(storeroom);
    ASSERT_NE(storeroomItem, nullptr);
    EXPECT_EQ(storeroomItem->position, 1);
    EXPECT_EQ(storeroomItem->start, at(4, 11));
    EXPECT_EQ(storeroomItem->end, at(4, 12, 30));
    EXPECT_TRUE(storeroomItem->bound);

    // The week of 31 March reaches back to Monday the 25th.
    const auto [monday, sunday] = PlannerRowMap::weekOf(QDate(2024, 3, 31));
    week.setPeriod(monday, sunday);
    grid.setItemSource(&week);
    week.setActive(true);
    EXPECT_EQ(day.grid(), nullptr);
    EXPECT_EQ(itemTexts(), QStringList{"<b>Поздно</b>"});
    EXPECT_EQ(grid.rowMap().unit(), PlannerRowMap::Unit::Days);
    EXPECT_EQ(grid.rowMap().rowCount(), 7);

    month.setMonth(2024, 3);
    grid.setItemSource(&month);
    month.setActive(true);
    EXPECT_EQ(grid.itemCount(), 4); // work place 11 has no column
    EXPECT_EQ(grid.rowMap().rowCount(), 31);
    EXPECT_EQ(grid.itemByKey(report)->position, 2);

    // Only the first positions take items when the resource count says so.
    month.setResourceCount(1);
    EXPECT_EQ(itemTexts(), (QStringList{"<b>Планёрка</b>", "<b>Поздно</b>"}));
    month.setActive(false);
    EXPECT_EQ(grid.itemCount(), 0);
}

TEST_F(PlannerItemSourceTest, SelectingAnItemMakesItsRowCurrent)
{
    showDay(QDate(2024, 3, 4));
    query->first();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.itemRect(grid.itemByKey(storeroom)).center());
    EXPECT_EQ(query->integer(QStringLiteral("ID")), storeroom);
    EXPECT_EQ(grid.selectedItem(), grid.itemByKey(storeroom));
}

// After a drag the item's row gets the new times and work place, and the
// mover through the item-to-fields handler; it is stored in the database.
TEST_F(PlannerItemSourceTest, DraggedItemIsWrittenBackToItsRow)
{
    showDay(QDate(2024, 3, 4));
    QSignalSpy moved(&grid, &PlannerGrid::itemMoved);
    const QRect r = grid.itemRect(grid.itemByKey(planning));
    const QRect cell = grid.cellRect(0, 18);
    drag(r.center(), r.center() + QPoint(2 * cell.width(), 4 * cell.height()));
    ASSERT_EQ(moved.size(), 1);

    const QVariantMap row = stored(planning);
    EXPECT_EQ(row.value("STARTTIME").toDateTime(), at(4, 11));
    EXPECT_EQ(row.value("ENDTIME").toDateTime(), at(4, 12));
    EXPECT_EQ(row.value("WORKPLACE").toInt(), 9);
    EXPECT_EQ(row.value("USERSID").toInt(), kMover);
    EXPECT_TRUE(row.value("DATEEDIT").toDateTime().isValid());
    ASSERT_TRUE(query->locate(QStringLiteral("ID"), planning));
    EXPECT_EQ(query->integer(QStringLiteral("WORKPLACE")), 9);
    // The item was rebuilt from its stored row and stays selected.
    const PlannerItem* item = grid.itemByKey(planning);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->position, 2);
    EXPECT_TRUE(item->selected);
}

// A refused move puts the item back; the row keeps its place but still
// records the mover.
TEST_F(PlannerItemSourceTest, MovePutBackByTheHandlerKeepsThePlaceButRecordsTheMover)
{
    showDay(QDate(2024, 3, 4));
    QObject::connect(&grid, &PlannerGrid::itemMoved, &grid, [this](PlannerItem* item, const PlannerMove& m) {
        grid.moveItem(item, m.oldStart, m.oldEnd, m.oldPosition);
    });
    const QRect r = grid.itemRect(grid.itemByKey(storeroom));
    drag(r.center(), r.center() + QPoint(-grid.cellRect(0, 18).width(), 0));
    const QVariantMap row = stored(storeroom);
    EXPECT_EQ(row.value("WORKPLACE").toInt(), 7);
    EXPECT_EQ(row.value("STARTTIME").toDateTime(), at(4, 11));
    EXPECT_EQ(row.value("USERSID").toInt(), kMover);
}

TEST_F(PlannerItemSourceTest, FixedItemRefusesDragAndItsRowStaysUntouched)
{
    showDay(QDate(2024, 3, 5));
    const PlannerItem* reportItem = grid.itemByKey(report);
    ASSERT_NE(reportItem, nullptr);
    EXPECT_TRUE(reportItem->fixedTime && reportItem->fixedPosition && reportItem->fixedSize);
    QSignalSpy moved(&grid, &PlannerGrid::itemMoved);
    const QRect r = grid.itemRect(reportItem);
    drag(r.center(), r.center() + QPoint(-grid.cellRect(0, 18).width(), 60));
    drag(QPoint(r.center().x(), r.bottom() - 1), QPoint(r.center().x(), r.bottom() + 60));
    EXPECT_EQ(moved.size(), 0);
    const QVariantMap row = stored(report);
    EXPECT_EQ(row.value("STARTTIME").toDateTime(), at(5, 9));
    EXPECT_EQ(row.value("ENDTIME").toDateTime(), at(5, 11));
    EXPECT_TRUE(row.value("USERSID").isNull());
}

TEST_F(PlannerItemSourceTest, ItemCreatedOverSelectedCellsInsertsARowWithANewKey)
{
    week.setPeriod(QDate(2024, 3, 4), QDate(2024, 3, 10));
    grid.setItemSource(&week);
    week.setActive(true);
    const int before = grid.itemCount();
    grid.selectCells(1, 2, 3); // Wednesday and Thursday
    PlannerItem* item = grid.createItemAtSelection(true);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(grid.itemCount(), before + 1);
    EXPECT_TRUE(item->bound);
    EXPECT_TRUE(item->selected);
    EXPECT_EQ(item->start, at(6));
    EXPECT_EQ(item->end, at(7, 23, 59)) << "whole days end within their last day";
    const int key = item->key.toInt();
    EXPECT_GT(key, 0);
    EXPECT_EQ(query->integer(QStringLiteral("ID")), key);
    const QVariantMap row = stored(key);
    EXPECT_EQ(row.value("WORKPLACE").toInt(), 7);
    EXPECT_EQ(row.value("STARTTIME").toDateTime(), at(6));
    EXPECT_EQ(row.value("USERSID").toInt(), kMover);
}

TEST_F(PlannerItemSourceTest, ItemsFollowTheRowSetWhenItIsReopenedOrClosed)
{
    showDay(QDate(2024, 3, 4));
    const int added = insert(7, at(4, 15), at(4, 16), "Новое");
    query->reopen();
    EXPECT_EQ(grid.itemCount(), 3);
    ASSERT_NE(grid.itemByKey(added), nullptr);
    query->close();
    EXPECT_EQ(grid.itemCount(), 0);
}

TEST_F(PlannerItemSourceTest, FailedStoreIsReportedAndTheItemSpringsBack)
{
    query->setModifySql(QStringLiteral("UPDATE EVENTS SET NOSUCHCOLUMN = :STARTTIME WHERE ID = :OLD_ID"));
    showDay(QDate(2024, 3, 4));
    QSignalSpy failed(&grid, &PlannerGrid::storeFailed);
    const QRect r = grid.itemRect(grid.itemByKey(planning));
    drag(r.center(), r.center() + QPoint(0, 80));
    ASSERT_EQ(failed.size(), 1);
    EXPECT_FALSE(failed.at(0).at(0).toString().isEmpty());
    EXPECT_EQ(grid.itemByKey(planning)->start, at(4, 9));
    EXPECT_EQ(query->state(), db::Query::State::Browse);
}

// Rows merged from what changed must be what a full read gives: several
// workstations change events at random, and after every change the
// watching workstation's rows, planner items, task list and calendar marks
// are compared with those of a fresh full read.

#include "dbmonthsource.h"
#include "eventsstatement.h"
#include "eventstamps.h"
#include "plannercalendar.h"
#include "plannergrid.h"
#include "plannerviewmath.h"
#include "query.h"
#include "tasklistmodel.h"
#include "testdatabase.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

using widgets::PlannerItem;

const QList<int> kShownPlaces = {1, 2, 3};
constexpr int kPlaces = 5; // 4 and 5 lie outside the shown group
const QDate kMonth(2026, 3, 1);

// One view of the shown month: the rows, a grid with its month source, the
// task list and the calendar, all bound to one query.
struct MonthView
{
    explicit MonthView(db::Connection& connection) : events(connection)
    {
        events.setSql(planner::EventsStatement::text(kShownPlaces, false));
        const auto [from, to] = planner::PlannerViewMath::monthPeriod(kMonth);
        events.setParam(QStringLiteral("STARTTIME"), from);
        events.setParam(QStringLiteral("ENDTIME"), to);
        source.setMonth(kMonth.year(), kMonth.month());
        source.setStartField(QStringLiteral("STARTTIME"));
        source.setEndField(QStringLiteral("ENDTIME"));
        source.setKeyField(QStringLiteral("ID"));
        source.setResourceField(QStringLiteral("WORKPLACE"));
        source.setResourceToPosition(
            [](const QVariant& place) { return int(kShownPlaces.indexOf(place.toInt())); });
        source.setFieldsToItem([](PlannerItem& item, const db::Query& q, int row) {
            item.text = q.valueAt(row, QStringLiteral("HEADER")).toString() + QLatin1Char('/') +
                        q.valueAt(row, QStringLiteral("WORKPLACENAME")).toString();
        });
        grid.setPositions(int(kShownPlaces.size()));
        grid.resize(900, 700);
        grid.setItemSource(&source);
        source.setQuery(&events);
        source.setActive(true);
        tasks.setQuery(&events);
        calendar.setQuery(&events);
    }

    db::Query events;
    widgets::PlannerGrid grid;
    widgets::DbMonthSource source;
    widgets::TaskListModel tasks;
    widgets::PlannerCalendar calendar;
};

std::vector<QVariantList> rowsOf(const db::Query& q)
{
    std::vector<QVariantList> rows;
    for (int r = 0; r < q.recordCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < q.columnCount(); ++c)
            row << q.valueAt(r, c);
        rows.push_back(row);
    }
    return rows;
}

QStringList itemsOf(const widgets::PlannerGrid& grid)
{
    QStringList out;
    for (int i = 0; i < grid.itemCount(); ++i) {
        const PlannerItem* item = grid.item(i);
        out << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(item->key.toString(), item->start.toString(Qt::ISODate),
                        item->end.toString(Qt::ISODate))
                   .arg(item->position)
                   .arg(item->text);
    }
    return out;
}

QStringList taskLinesOf(const widgets::TaskListModel& model)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model.columnCount(); ++c)
            cells << model.data(model.index(r, c)).toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QList<QDate> marksOf(const widgets::PlannerCalendar& calendar)
{
    QList<QDate> out;
    for (QDate d = kMonth.addMonths(-1); d < kMonth.addMonths(2); d = d.addDays(1))
        if (calendar.isMarked(d))
            out << d;
    return out;
}

class EventsRefreshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        watcher = database.connect();
        for (int i = 0; i < 3; ++i)
            writers.push_back(database.connect());
        for (int p = 1; p <= kPlaces; ++p)
            writers[0]->execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME) VALUES (:ID, :NAME)"),
                                {{"ID", p}, {"NAME", QStringLiteral("Место %1").arg(p)}});
        writers[0]->commitRetaining();
        for (int i = 0; i < 40; ++i)
            insert(*writers[0]);
        writers[0]->commitRetaining();
    }

    QDateTime randomTime()
    {
        // Mostly inside the month, some just outside it on either side.
        const QDate day = kMonth.addDays(random.bounded(-4, 35));
        return QDateTime(day, QTime(random.bounded(0, 23), random.bounded(0, 4) * 15));
    }

    void insert(db::Connection& c)
    {
        const QDateTime start = randomTime();
        c.execute(QStringLiteral("INSERT INTO EVENTS (ID, HEADER, STARTTIME, ENDTIME, WORKPLACE, ISFINISH) "
                                 "VALUES (GEN_ID(EVENTS_ID, 1), :H, :S, :E, :P, 'F')"),
                  {{"H", QStringLiteral("Задача %1").arg(random.generate() % 1000)},
                   {"S", start},
                   {"E", start.addSecs(60 * 15 * random.bounded(1, 12))},
                   {"P", random.bounded(1, kPlaces + 1)}});
    }

    // An event picked at random among the stored ones; 0 when there is none.
    int anyEvent(db::Connection& c)
    {
        db::Query q(c, QStringLiteral("SELECT ID FROM EVENTS ORDER BY ID"));
        q.open();
        return q.isEmpty() ? 0 : q.valueAt(random.bounded(q.recordCount()), 0).toInt();
    }

    void change(db::Connection& c)
    {
        const int id = anyEvent(c);
        if (id == 0)
            return insert(c);
        switch (random.bounded(4)) {
        case 0: {
            const QDateTime start = randomTime();
            c.execute(QStringLiteral("UPDATE EVENTS SET STARTTIME = :S, ENDTIME = :E WHERE ID = :ID"),
                      {{"S", start}, {"E", start.addSecs(3600)}, {"ID", id}});
            break;
        }
        case 1:
            c.execute(QStringLiteral("UPDATE EVENTS SET WORKPLACE = :P WHERE ID = :ID"),
                      {{"P", random.bounded(1, kPlaces + 1)}, {"ID", id}});
            break;
        case 2:
            c.execute(QStringLiteral("UPDATE EVENTS SET HEADER = :H, ISFINISH = 'T' WHERE ID = :ID"),
                      {{"H", QStringLiteral("Изменено %1").arg(random.generate() % 1000)}, {"ID", id}});
            break;
        default:
            c.execute(QStringLiteral("DELETE FROM EVENTS WHERE ID = :ID"), {{"ID", id}});
            break;
        }
    }

    // One workstation's step: mostly one change committed; sometimes two in
    // one transaction, one change rolled back, or a work place renamed.
    void randomStep(db::Connection& c)
    {
        const int kind = random.bounded(20);
        if (kind < 5)
            insert(c);
        else
            change(c);
        if (kind == 6)
            change(c);
        if (kind == 7) {
            c.rollbackRetaining();
            return;
        }
        if (kind == 8)
            c.execute(QStringLiteral("UPDATE WORKPLACE SET NAME = :N WHERE ID = :ID"),
                      {{"N", QStringLiteral("Место %1").arg(random.generate() % 100)},
                       {"ID", random.bounded(1, kPlaces + 1)}});
        c.commitRetaining();
    }

    // What the change notifier does on an alert: merge, or read whole.
    void look(MonthView& view, db::EventsRefresh& refresh)
    {
        if (refresh.refresh())
            ++merged;
        else
            view.events.reopen();
        ++looks;
    }

    void expectSameAsFullRead(const MonthView& view, int step)
    {
        MonthView full(*watcher);
        full.events.open();
        ASSERT_EQ(rowsOf(view.events), rowsOf(full.events)) << "step " << step;
        ASSERT_EQ(itemsOf(view.grid), itemsOf(full.grid)) << "step " << step;
        ASSERT_EQ(taskLinesOf(view.tasks), taskLinesOf(full.tasks)) << "step " << step;
        ASSERT_EQ(marksOf(view.calendar), marksOf(full.calendar)) << "step " << step;
    }

    test::TestDatabase database;
    std::unique_ptr<db::Connection> watcher;
    std::vector<std::unique_ptr<db::Connection>> writers;
    QRandomGenerator random{20261211};
    int merged = 0;
    int looks = 0;
};

TEST_F(EventsRefreshTest, MergedChangesEqualAFullReadAfterEveryChange)
{
    MonthView view(*watcher);
    db::EventsRefresh refresh(view.events);
    refresh.setChangesSql(planner::EventsStatement::changesText(kShownPlaces, false));
    view.events.open();
    ASSERT_GT(view.events.recordCount(), 0);

    constexpr int kSteps = 400;
    for (int step = 0; step < kSteps; ++step) {
        if (step % 25 == 24) {
            // Two workstations at once: the change that drew its stamp first
            // commits last.
            change(*writers[1]);
            change(*writers[2]);
            writers[2]->commitRetaining();
            look(view, refresh);
            expectSameAsFullRead(view, step);
            writers[1]->commitRetaining();
        } else {
            randomStep(*writers[size_t(random.bounded(int(writers.size())))]);
        }
        look(view, refresh);
        expectSameAsFullRead(view, step);
        if (HasFatalFailure())
            return;
    }
    // Nearly every look merged; the few full reads are those a rename of a
    // work place with many events makes worthwhile.
    EXPECT_GT(merged, looks * 9 / 10) << merged << " merged of " << looks;
    std::printf("random changes: %d, looks: %d, merged: %d\n", kSteps, looks, merged);
}

// A reader whose mark lies below what maintenance cleared away, or who has
// not read whole yet, cannot merge.
TEST_F(EventsRefreshTest, ReadsWholeWhenItCannotBeSure)
{
    MonthView view(*watcher);
    db::EventsRefresh refresh(view.events);
    refresh.setChangesSql(planner::EventsStatement::changesText(kShownPlaces, false));
    EXPECT_FALSE(refresh.refresh()); // nothing read yet
    view.events.open();
    EXPECT_TRUE(refresh.refresh());
    change(*writers[0]);
    writers[0]->commitRetaining();
    const qint64 top = writers[0]->generatorValue(QStringLiteral("EVENTS_STAMP"), 0);
    writers[0]->execute(QStringLiteral("SET GENERATOR EVENTS_GONE_PURGED TO %1").arg(top));
    writers[0]->commitRetaining();
    EXPECT_FALSE(refresh.refresh());

    // Another statement set without its changes statement is never merged into.
    view.events.reopen();
    view.events.setSql(planner::EventsStatement::text({4}, true));
    view.events.open();
    EXPECT_FALSE(refresh.refresh());
}

} // namespace
} // namespace tarvik

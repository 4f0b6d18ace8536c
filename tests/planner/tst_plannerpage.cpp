// The planner page on a real database, offscreen: loading a group for a
// month, the three views, the items' markup and links, writing dragged and
// pasted items back, the work place tree of each role and the reload on an
// outside change.

#include "changenotifier.h"
#include "dbdaysource.h"
#include "dbperiodsource.h"
#include "markupitemdelegate.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "plannercalendar.h"
#include "plannerfixture.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "plannerviewmath.h"
#include "query.h"
#include "tfmnew.h"
#include "wallclock.h"
#include "workplacetree.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

using namespace tarvik;
using namespace tarvik::planner;
using tarvik::widgets::PlannerItem;

namespace {

class PlannerPageTest : public test::PlannerPageFixture
{
protected:
    widgets::MarkupTreeModel& tree() const { return *m_page->workPlaceTree().view()->markupModel(); }
    QString treeMarkup(const QModelIndex& index) const { return index.data(widgets::MarkupRole).toString(); }
    void choose(const QModelIndex& index) { m_page->workPlaceTree().view()->setCurrentIndex(index); }
};

} // namespace

// Only events lying wholly inside the calendar month, up to its last day at
// 23:59:00, are loaded.
TEST_F(PlannerPageTest, LoadsTheWholeCalendarMonthAndNothingCrossingItsBounds)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    addEvent(eventAt(place, at(3, 1, 0), at(3, 1, 1), QStringLiteral("первый день")));
    addEvent(eventAt(place, at(3, 31, 23), at(3, 31, 23, 59), QStringLiteral("до 23:59")));
    addEvent(eventAt(place, at(3, 31, 22), at(4, 1, 2), QStringLiteral("в апрель")));
    addEvent(eventAt(place, at(2, 29, 23), at(3, 1, 1), QStringLiteral("из февраля")));
    test::EventRow late = eventAt(place, at(3, 31, 23), wallClock(QDate(2024, 3, 31), QTime(23, 59, 30)),
                                  QStringLiteral("после"));
    addEvent(late);

    PlannerPage& page = open(boss, UserRole::Boss);
    EXPECT_EQ(loadedHeaders(), (QStringList{QStringLiteral("первый день"), QStringLiteral("до 23:59")}));
    EXPECT_EQ(page.events().param(QStringLiteral("STARTTIME")).toDateTime(), at(3, 1, 0));
    EXPECT_EQ(page.events().param(QStringLiteral("ENDTIME")).toDateTime(), at(3, 31, 23, 59));
    EXPECT_EQ(page.events().sql().split(QLatin1Char('\n')).at(1),
              QStringLiteral("(WorkPlace = %1").arg(place));
    EXPECT_TRUE(page.canShowEvents());
    EXPECT_TRUE(page.calendar()->marksEnabled());
    EXPECT_TRUE(page.calendar()->isMarked(QDate(2024, 3, 31)));
}

TEST_F(PlannerPageTest, DayViewRowsFollowTheOptions)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    addWorkPlace(QStringLiteral("Цех"), boss);
    struct
    {
        int step;
        int first, last, workFirst, workEnd;
    } cases[] = {{60, 8, 20, 1, 10}, {15, 32, 80, 4, 40}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        m_c->execute(QStringLiteral("UPDATE OPTIONS SET STEP = :S"), {{QStringLiteral("S"), c.step}});
        m_c->commitRetaining();
        PlannerPage& page = open(boss, UserRole::Boss);
        page.sb1Click();
        EXPECT_EQ(grid().minutesPerRow(), c.step);
        EXPECT_EQ(grid().rowMap().firstRow(), c.first);
        EXPECT_EQ(grid().rowMap().lastRow(), c.last);
        EXPECT_EQ(grid().workingFirst(), c.workFirst);
        EXPECT_EQ(grid().workingEnd(), c.workEnd);
        EXPECT_EQ(grid().sidebarWidth(), 40);
        EXPECT_EQ(grid().rowHeight(), 30); // 600 / 20
        EXPECT_EQ(grid().captionTitle(), PlannerViewMath::dayTitle(QDate(2024, 3, 15)));
        EXPECT_TRUE(grid().isInactiveDay(Qt::Saturday));
        EXPECT_FALSE(grid().isInactiveDay(Qt::Monday));
    }
}

// A day near the month's start shows a week reaching back into February;
// the month view keeps today's month name whatever the calendar shows, and
// moving the calendar retitles it.
TEST_F(PlannerPageTest, WeekAndMonthViewsFollowTheCalendar)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    addEvent(eventAt(place, at(3, 1, 9), at(3, 1, 10), QStringLiteral("пятница")));
    PlannerPage& page = open(boss, UserRole::Boss);
    page.calendar()->setDate(QDate(2024, 3, 1));
    page.sb7Click();
    auto* period = page.findChild<widgets::DbPeriodSource*>(QStringLiteral("DBPeriodSource"));
    EXPECT_EQ(period->startDate(), QDate(2024, 2, 26));
    EXPECT_EQ(period->endDate(), QDate(2024, 3, 3));
    EXPECT_EQ(grid().captionTitle(), PlannerViewMath::weekTitle(QDate(2024, 2, 26), QDate(2024, 3, 3)));
    EXPECT_EQ(grid().sidebarWidth(), 70);
    EXPECT_EQ(grid().rowHeight(), 100); // 600 / 6
    EXPECT_EQ(grid().itemCount(), 1);
    page.DBPlannerCalendarDaySelect(QDate(2024, 3, 13));
    EXPECT_EQ(period->startDate(), QDate(2024, 3, 11));
    EXPECT_EQ(grid().itemCount(), 0);

    page.calendar()->setDate(QDate(2024, 3, 20));
    page.sb31Click();
    EXPECT_EQ(grid().captionTitle(), PlannerViewMath::monthTitle(QDate(2024, 3, 15)));
    EXPECT_EQ(grid().rowMap().lastRow(), 30);
    EXPECT_EQ(grid().rowHeight(), 60);
    m_platform.setNow(at(5, 2, 9)); // the month view names today's month, not the calendar's
    page.sb31Click();
    EXPECT_EQ(grid().captionTitle(), PlannerViewMath::monthTitle(QDate(2024, 5, 2)));

    QSignalSpy shown(&page, &PlannerPage::monthShown);
    page.calendar()->setDate(QDate(2024, 4, 10));
    page.DBPlannerCalendarMonthChange(QDate(2024, 4, 10));
    EXPECT_EQ(grid().captionTitle(), PlannerViewMath::monthTitle(QDate(2024, 4, 10)));
    EXPECT_EQ(grid().rowHeight(), 50);
    EXPECT_EQ(grid().rowMap().lastRow(), 29);
    EXPECT_EQ(shown.size(), 1);
    page.windowResized(1000);
    EXPECT_EQ(grid().rowHeight(), 100);
}

// The example event: changed 12 July 2002 14:30, header colour red, no
// reminder, not finished.
TEST_F(PlannerPageTest, ItemShowsTheTemplateLookAndTheExampleMarkup)
{
    m_c->execute(QStringLiteral(
        "INSERT INTO TEMPLATE (ID, NAME, TRACKCOLOR, CAPTIONBG, CAPTIONFONT, CAPTIONFONTCOLOR, "
        "CAPTIONFONTSIZE, "
        "HEADERFONT, HEADERFONTCOLOR, HEADERFONTSIZE, BGCOLOR, TEXTFONT, TEXTFONTCOLOR, TEXTFONTSIZE) VALUES "
        "(77, 'Красный', 32768, 255, 'Arial', 16777215, 11, 'Arial', 255, 10, 16711680, 'Tahoma', 0, 8)"));
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    test::EventRow row = eventAt(place, at(3, 15, 9), at(3, 15, 11), QStringLiteral("Отчёт"));
    row.comment = QStringLiteral("За квартал");
    row.templateId = 77;
    row.authorId = boss;
    row.dateEdit = wallClock(QDate(2002, 7, 12), QTime(14, 30));
    const int id = addEvent(row);

    PlannerPage& page = open(boss, UserRole::Boss);
    page.sb1Click();
    PlannerItem* item = itemOf(id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(
        item->text,
        QStringLiteral("<a href=\"if3\"><IMG src=\"idx:3\"></a><IMG src=\"idx:8\"> <b><font size=\"10\" "
                       "face=\"Arial\" color=\"#FF0000\">Отчёт</font></b><br>"
                       "<font size=\"8\" face=\"Tahoma\" color=\"#000000\">За квартал"
                       "<hr><a href=\"user%1\">Шеф</a><br>07.12.02 14:30</font>")
            .arg(boss));
    EXPECT_EQ(item->captionBackground, QColor(255, 0, 0));
    EXPECT_EQ(item->captionFontColor, QColor(255, 255, 255));
    EXPECT_TRUE(item->captionFont.bold());
    EXPECT_EQ(item->captionFont.pointSize(), 11);
    EXPECT_EQ(item->color, QColor(0, 0, 255));
    EXPECT_EQ(item->trackColor, QColor(0, 128, 0));
    EXPECT_EQ(item->captionType, widgets::PlannerCaptionType::TimeText);
    EXPECT_FALSE(item->uniformBackground);
    EXPECT_TRUE(item->readOnly);
    EXPECT_FALSE(item->fixedTime || item->fixedPosition || item->fixedSize);

    // A screen reader reads the header and times, then the rest and the place.
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    page.grid()->ensureVisible(item);
    const QPoint centre = page.grid()->viewport()->mapToGlobal(page.grid()->itemRect(item).center());
    QAccessibleInterface* read =
        QAccessible::queryAccessibleInterface(page.grid())->childAt(centre.x(), centre.y());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->text(QAccessible::Name), QStringLiteral("Отчёт, 09:00 - 11:00"));
    EXPECT_EQ(read->text(QAccessible::Description), QStringLiteral("За квартал, Шеф, 07.12.02 14:30, Цех"));
}

// A worker sees events of a work place he may only view as fixed items, and
// may still tick them finished and untick them.
TEST_F(PlannerPageTest, WorkersViewOnlyItemIsFixedAndStillTicksFinished)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int viewOnly = addWorkPlace(QStringLiteral("Склад"), boss);
    const int editable = addWorkPlace(QStringLiteral("Цех"), boss);
    const int worker = addUser(QStringLiteral("Рабочий"), UserRole::Worker, boss);
    addRight(worker, viewOnly, true, false);
    addRight(worker, editable, true, true);
    const int seen = addEvent(eventAt(viewOnly, at(3, 15, 9), at(3, 15, 10), QStringLiteral("смотреть")));
    const int mine = addEvent(eventAt(editable, at(3, 15, 9), at(3, 15, 10), QStringLiteral("делать")));

    PlannerPage& page = open(worker, UserRole::Worker);
    page.sb1Click();
    ASSERT_NE(itemOf(seen), nullptr);
    ASSERT_NE(itemOf(mine), nullptr);
    EXPECT_TRUE(itemOf(seen)->fixedTime && itemOf(seen)->fixedPosition && itemOf(seen)->fixedSize);
    EXPECT_FALSE(itemOf(mine)->fixedTime || itemOf(mine)->fixedPosition || itemOf(mine)->fixedSize);

    grid().selectItem(itemOf(seen));
    EXPECT_EQ(page.events().value(QStringLiteral("ID")).toInt(), seen);
    page.PlannerItemAnchorClick(itemOf(seen), QStringLiteral("if3"));
    EXPECT_EQ(eventColumn(seen, QStringLiteral("ISFINISH")).toString(), QStringLiteral("T"));
    EXPECT_TRUE(itemOf(seen)->text.startsWith(QStringLiteral("<a href=\"if2\">")));
    // The grid's link report reaches the same handler.
    emit grid().anchorClicked(itemOf(seen), QStringLiteral("if2"));
    EXPECT_EQ(eventColumn(seen, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

// The author link stores the row unchanged, switches the marks off and asks
// for a new letter to the author.
TEST_F(PlannerPageTest, AuthorLinkAsksForANewLetterToTheAuthor)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    test::EventRow row = eventAt(place, at(3, 15, 9), at(3, 15, 10));
    row.authorId = boss;
    const int id = addEvent(row);
    PlannerPage& page = open(boss, UserRole::Boss);
    page.sb1Click();
    QSignalSpy letters(&page, &PlannerPage::newLetterRequested);
    grid().selectItem(itemOf(id));
    page.PlannerItemAnchorClick(itemOf(id), QStringLiteral("user12"));
    ASSERT_EQ(letters.size(), 1);
    EXPECT_EQ(letters.at(0).at(0).toInt(), 12);
    EXPECT_FALSE(page.calendar()->marksEnabled());
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")), QVariant());
}

// Dragging an item to another column records the new place and times, the
// mover as author and the time of the move.
TEST_F(PlannerPageTest, DraggedItemWritesWorkPlaceTimesAuthorAndDateEdit)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int first = addWorkPlace(QStringLiteral("Цех 1"), boss);
    const int second = addWorkPlace(QStringLiteral("Цех 2"), boss);
    const int id = addEvent(eventAt(first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("переезд")));
    PlannerPage& page = open(boss, UserRole::Boss);
    page.sb1Click();
    m_platform.setNow(at(3, 15, 12, 34));
    PlannerItem* item = itemOf(id);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->position, 0);
    grid().moveItem(item, at(3, 15, 11), at(3, 15, 12, 30), 1);
    grid().itemSource()->writeItem(*item);

    EXPECT_EQ(eventColumn(id, QStringLiteral("WORKPLACE")).toInt(), second);
    EXPECT_EQ(eventColumn(id, QStringLiteral("STARTTIME")).toDateTime(), at(3, 15, 11));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ENDTIME")).toDateTime(), at(3, 15, 12, 30));
    EXPECT_EQ(eventColumn(id, QStringLiteral("USERSID")).toInt(), boss);
    EXPECT_EQ(eventColumn(id, QStringLiteral("DATEEDIT")).toDateTime(), at(3, 15, 12, 34));
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("переезд"));
    ASSERT_NE(itemOf(id), nullptr);
    EXPECT_TRUE(itemOf(id)->text.endsWith(QStringLiteral("03.15.24 12:34</font>")));
    EXPECT_EQ(itemOf(id)->position, 1);
}

// An item the grid creates over selected cells gets its key from
// GETEVENTS_ID, remembered as the last created key.
TEST_F(PlannerPageTest, GridInsertTakesAKeyFromTheProcedure)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    addWorkPlace(QStringLiteral("Цех 1"), boss);
    const int second = addWorkPlace(QStringLiteral("Цех 2"), boss);
    PlannerPage& page = open(boss, UserRole::Boss);
    page.sb1Click();
    const int before = int(m_c->generatorValue(QStringLiteral("EVENTS_ID"), 0));
    grid().selectCells(1, 20, 21); // 10:00 to 11:00 in half hours
    ASSERT_NE(grid().createItemAtSelection(true), nullptr);
    const QVariant key = page.itemMapper().lastCreatedKey();
    ASSERT_TRUE(key.isValid());
    EXPECT_GT(key.toInt(), before);
    EXPECT_EQ(eventColumn(key.toInt(), QStringLiteral("WORKPLACE")).toInt(), second);
    EXPECT_EQ(eventColumn(key.toInt(), QStringLiteral("STARTTIME")).toDateTime(), at(3, 15, 10));
    EXPECT_EQ(eventColumn(key.toInt(), QStringLiteral("ENDTIME")).toDateTime(), at(3, 15, 11));
    EXPECT_EQ(eventColumn(key.toInt(), QStringLiteral("USERSID")).toInt(), boss);
    EXPECT_TRUE(page.events().locate(QStringLiteral("ID"), key));
}

TEST_F(PlannerPageTest, WorkersTreeShowsViewOnlyPlacesInSilver)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int a = addWorkPlace(QStringLiteral("Склад"), boss);
    const int b = addWorkPlace(QStringLiteral("Цех"), boss);
    const int c = addWorkPlace(QStringLiteral("Гараж"), boss);
    const int hidden = addWorkPlace(QStringLiteral("Офис"), boss);
    const int worker = addUser(QStringLiteral("Рабочий"), UserRole::Worker, boss);
    const int rightA = addRight(worker, a, true, false);
    addRight(worker, b, true, true);
    addRight(worker, c, true, false);
    addRight(worker, hidden, false, false);

    PlannerPage& page = open(worker, UserRole::Worker);
    ASSERT_EQ(tree().rowCount(), 1);
    const QModelIndex root = tree().index(0, 0);
    EXPECT_EQ(treeMarkup(root), QStringLiteral("<b>Рабочие места</b>"));
    ASSERT_EQ(tree().rowCount(root), 3);
    EXPECT_EQ(treeMarkup(tree().index(0, 0, root)), QStringLiteral("<font color=\"clSilver\">Склад</font>"));
    EXPECT_EQ(treeMarkup(tree().index(1, 0, root)), QStringLiteral("Цех"));
    EXPECT_EQ(treeMarkup(tree().index(2, 0, root)), QStringLiteral("<font color=\"clSilver\">Гараж</font>"));
    EXPECT_EQ(tree().index(0, 0, root).data(Qt::UserRole).value<WorkPlaceEntry>(),
              (WorkPlaceEntry{EntryKind::WorkPlace, rightA}));
    EXPECT_EQ(grid().headerCaptions(), (QStringList{QString(), QStringLiteral("Склад"), QStringLiteral("Цех"),
                                                    QStringLiteral("Гараж")}));
    EXPECT_EQ(grid().positions(), 3);

    // A work place entry shows its single column.
    choose(tree().index(0, 0, root));
    EXPECT_EQ(grid().headerCaptions(), (QStringList{QString(), QStringLiteral("Склад")}));
    EXPECT_EQ(page.positionMap().workPlaceAt(0), a);
    EXPECT_EQ(page.positionMap().workPlaceAt(1), 0);
}

TEST_F(PlannerPageTest, BossWithoutWorkPlacesCannotSeeThePlanner)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    PlannerPage& page = open(boss, UserRole::Boss);
    ASSERT_EQ(tree().rowCount(), 1);
    EXPECT_EQ(tree().rowCount(tree().index(0, 0)), 0);
    EXPECT_FALSE(page.canShowEvents());
    EXPECT_FALSE(page.events().isOpen());
    EXPECT_TRUE(grid().isHidden());
    EXPECT_TRUE(page.controlPlanner()->isHidden());
    auto* caption = page.findChild<QLabel*>(QStringLiteral("pnPlannerCaption"));
    EXPECT_FALSE(caption->isHidden());
    EXPECT_EQ(caption->text(), QStringLiteral("Просмотр невозможен"));
    EXPECT_FALSE(page.calendar()->isEnabled());
}

TEST_F(PlannerPageTest, AdministratorsTreeHasOneEntryPerBossAndChoosesTheFirst)
{
    const int boris = addUser(QStringLiteral("Борисов"), UserRole::Boss);
    const int anna = addUser(QStringLiteral("Аннина"), UserRole::Boss);
    addUser(QStringLiteral("Работник"), UserRole::Worker, anna);
    const int store = addWorkPlace(QStringLiteral("Склад"), anna);
    const int shop = addWorkPlace(QStringLiteral("Цех"), anna);
    const int garage = addWorkPlace(QStringLiteral("Гараж"), boris);

    PlannerPage& page = open(1, UserRole::Administrator);
    ASSERT_EQ(tree().rowCount(), 2);
    const QModelIndex first = tree().index(0, 0);
    const QModelIndex second = tree().index(1, 0);
    EXPECT_EQ(treeMarkup(first), QStringLiteral("<IMG src=\"idx:1\">  <b>Аннина</b>"));
    EXPECT_EQ(treeMarkup(second), QStringLiteral("<IMG src=\"idx:1\">  <b>Борисов</b>"));
    EXPECT_EQ(first.data(Qt::UserRole).value<WorkPlaceEntry>(), (WorkPlaceEntry{EntryKind::Boss, anna}));
    ASSERT_EQ(tree().rowCount(first), 2);
    EXPECT_EQ(tree().index(1, 0, first).data(Qt::UserRole).value<WorkPlaceEntry>(),
              (WorkPlaceEntry{EntryKind::WorkPlace, shop}));
    EXPECT_EQ(page.workPlaceTree().view()->currentIndex(), first);
    EXPECT_TRUE(page.workPlaceTree().view()->isExpanded(first));
    EXPECT_EQ(page.workPlaceTree().currentEntry(), (WorkPlaceEntry{EntryKind::Boss, anna}));
    EXPECT_EQ(grid().headerCaptions(),
              (QStringList{QString(), QStringLiteral("Склад"), QStringLiteral("Цех")}));
    EXPECT_EQ(page.positionMap().workPlaceAt(0), store);

    choose(tree().index(0, 0, second));
    EXPECT_EQ(grid().headerCaptions(), (QStringList{QString(), QStringLiteral("Гараж")}));
    EXPECT_EQ(page.positionMap().workPlaceAt(0), garage);
}

// The calendar's month change reloads the entry the user chose, not the
// tree's first one.
TEST_F(PlannerPageTest, MonthChangeReloadsTheChosenEntry)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int first = addWorkPlace(QStringLiteral("Цех 1"), boss);
    const int second = addWorkPlace(QStringLiteral("Цех 2"), boss);
    addEvent(eventAt(first, at(4, 3, 9), at(4, 3, 10), QStringLiteral("апрель 1")));
    addEvent(eventAt(second, at(4, 4, 9), at(4, 4, 10), QStringLiteral("апрель 2")));
    addEvent(eventAt(second, at(3, 4, 9), at(3, 4, 10), QStringLiteral("март 2")));
    PlannerPage& page = open(boss, UserRole::Boss);
    page.sb7Click();
    EXPECT_EQ(loadedHeaders(), QStringList{QStringLiteral("март 2")});
    choose(tree().index(1, 0, tree().index(0, 0)));
    EXPECT_EQ(page.workPlaceTree().currentEntry(), (WorkPlaceEntry{EntryKind::WorkPlace, second}));

    page.calendar()->setDate(QDate(2024, 4, 8));
    page.DBPlannerCalendarMonthChange(QDate(2024, 4, 8));
    EXPECT_EQ(loadedHeaders(), QStringList{QStringLiteral("апрель 2")});
    EXPECT_EQ(grid().headerCaptions(), (QStringList{QString(), QStringLiteral("Цех 2")}));
    EXPECT_EQ(page.view(), PlannerPage::View::Week);
    // The week view keeps its week until a day is clicked.
    EXPECT_EQ(page.findChild<widgets::DbPeriodSource*>(QStringLiteral("DBPeriodSource"))->startDate(),
              QDate(2024, 3, 11));
}

// Another workstation adds an event and commits; the reload the alert
// handler runs brings it in and keeps the row that was current.
TEST_F(PlannerPageTest, ReloadOnOutsideChangeKeepsTheCurrentRow)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    addEvent(eventAt(place, at(3, 15, 9), at(3, 15, 10), QStringLiteral("первое")));
    const int second = addEvent(eventAt(place, at(3, 15, 11), at(3, 15, 12), QStringLiteral("второе")));
    PlannerPage& page = open(boss, UserRole::Boss);
    page.sb1Click();
    grid().selectItem(itemOf(second));
    ASSERT_EQ(page.events().recNo(), 1);

    auto other = database().connect();
    // A key below the others: the current row moves down by one.
    other->execute(
        QStringLiteral("INSERT INTO EVENTS (ID, HEADER, STARTTIME, ENDTIME, WORKPLACE) VALUES (-1, "
                       "'чужое', :S, :E, :W)"),
        {{QStringLiteral("S"), at(3, 15, 8)},
         {QStringLiteral("E"), at(3, 15, 9)},
         {QStringLiteral("W"), place}});
    other->commitRetaining();

    // The main window hands the alert to its change notifier, which turns
    // the page's calendar marks off around the reload.
    tasks::TfmNew notice;
    tasks::ChangeNotifier notifier(notice);
    notifier.setLoggedIn(true);
    notifier.setEventsQuery(&page.events());
    QObject::connect(&notifier, &tasks::ChangeNotifier::eventsAboutToReload,
                     [&page] { page.calendar()->setMarksEnabled(false); });
    QObject::connect(&notifier, &tasks::ChangeNotifier::eventsReloaded,
                     [&page] { page.calendar()->setMarksEnabled(true); });
    notifier.handleAlert(QStringLiteral("INS_EVENTS"));
    EXPECT_EQ(page.events().recordCount(), 3);
    EXPECT_EQ(page.events().value(QStringLiteral("ID")).toInt(), second);
    EXPECT_EQ(page.events().recNo(), 2);
    EXPECT_TRUE(page.calendar()->marksEnabled());
    EXPECT_EQ(grid().itemCount(), 3);
    EXPECT_EQ(grid().headerCaptions(), (QStringList{QString(), QStringLiteral("Цех")}));
}

// The due reminders of the logged-in user on a real database: when they
// become due, for whom, the reminder window's commands and what closing it
// records, driven offscreen with the scripted platform's clock and sounds.

#include "duereminders.h"
#include "optionlists.h"
#include "platformscope.h"
#include "query.h"
#include "reminderintervals.h"
#include "reminders.h"
#include "scriptedplatform.h"
#include "tasksdata.h"
#include "testdatabase.h"
#include "tfmalarmtask.h"
#include "tfmmp.h"
#include "wallclock.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <random>

using namespace tarvik;
using namespace tarvik::tasks;
using test::EventRow;
using test::TasksOffice;

namespace {

const QDate kDay(2026, 3, 9);
QDateTime at(int h, int m, int s = 0, int dayOffset = 0)
{
    return wallClock(kDay.addDays(dayOffset), QTime(h, m, s));
}

class RemindersTest : public test::SharedDatabaseTest
{
protected:
    void SetUp() override
    {
        m_c = database().connect();
        m_office.build(*m_c);
        m_platform.setNow(at(9, 0));
    }
    // The reminders of a user as the main window sets them up after login.
    std::unique_ptr<Reminders> remindersOf(int userId, UserRole role)
    {
        m_player.setUp();
        // The sounds list as the options window holds it after login.
        m_lists = std::make_unique<admin::OptionLists>(*m_c);
        m_lists->open();
        auto r = std::make_unique<Reminders>(*m_c, m_player, *m_lists);
        r->setUser(userId, role);
        r->buildQuery();
        return r;
    }
    // What another workstation sees, committed.
    int committedCount(const QString& sql)
    {
        const auto other = database().connect();
        return test::countOf(*other, sql);
    }
    static void activate(TfmAlarmTask& w)
    {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    template <typename T> T* child(QWidget& w, const char* name)
    {
        return w.findChild<T*>(QLatin1String(name));
    }

    std::unique_ptr<db::Connection> m_c;
    std::unique_ptr<admin::OptionLists> m_lists;
    TasksOffice m_office;
    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    TfmMP m_player;
};

TEST(DueReminderSql, AdministratorSeesEveryEventAndOthersTheirWorkPlacesLineByLine)
{
    const QString head =
        QStringLiteral("SELECT ") + kEventColumns +
        QStringLiteral(
            " FROM Events WHERE\n:ThisDate >= StartTime - ((Alarm / 24) / 60) AND\nAlarm > 0 AND\n"
            "(SELECT Count(Id) FROM ShowAlarm WHERE IdEvents = Events.Id AND IdUser = :IdUser) = 0");
    const QString order = QStringLiteral("\nORDER BY Id");
    EXPECT_EQ(dueReminderSql(true, {4, 5}), head + order);
    EXPECT_EQ(dueReminderSql(false, {7}), head + QStringLiteral("\nAND (WorkPlace=7\n)") + order);
    EXPECT_EQ(dueReminderSql(false, {7, 3, 12}),
              head + QStringLiteral("\nAND (WorkPlace=7\nOR WorkPlace=3\nOR WorkPlace=12\n)") + order);
}

// The reminder is due ALARM minutes before the start, with no lower bound.
TEST_F(RemindersTest, ReminderBecomesDueItsIntervalBeforeTheStart)
{
    struct Case
    {
        const char* name;
        QVariant alarm;
        QDateTime start;
        QDateTime now;
        bool due;
    };
    const Case cases[] = {
        {"90 minutes before 10:00, at 08:30", 90, at(10, 0), at(8, 30), true},
        {"90 minutes before 10:00, at 08:29:59", 90, at(10, 0), at(8, 29, 59), false},
        {"10 minutes before 10:00, at 09:55", 10, at(10, 0), at(9, 55), true},
        {"no reminder, after the start", 0, at(10, 0), at(10, 30), false},
        {"null reminder, after the start", QVariant(), at(10, 0), at(10, 30), false},
        {"started yesterday, never dealt with", 5, at(10, 0, 0, -1), at(9, 0), true},
        {"a week ahead, exactly then", 10080, at(10, 0, 0, 7), at(10, 0), true},
        {"a week ahead, a minute early", 10080, at(10, 0, 0, 7), at(9, 59), false},
        // 29.03.2026: where the clock jumps from 02:00 to 03:00, 02:30 is still a wall-clock time.
        {"an hour before 03:30 of the clock change, at 02:30", 60, at(3, 30, 0, 20), at(2, 30, 0, 20), true},
        {"an hour before 03:40 of the clock change, at 02:30", 60, at(3, 40, 0, 20), at(2, 30, 0, 20), false},
    };
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
        test::addEvent(*m_c, EventRow(m_office.p1, c.start, c.alarm));
        reminders->due().refresh(c.now);
        EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), c.due ? 1 : 0);
    }
}

TEST_F(RemindersTest, FinishedEventsAreRemindedLikeAnyOther)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 30), 60).withFinished(QStringLiteral("T")));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->due().refresh(at(9, 0));
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
}

TEST_F(RemindersTest, WhoIsRemindedFollowsTheVisibleWorkPlaces)
{
    const int onP1 = test::addEvent(*m_c, EventRow(m_office.p1, at(9, 0), 5));
    const int onP2 = test::addEvent(*m_c, EventRow(m_office.p2, at(9, 0), 5));
    const int onP3 = test::addEvent(*m_c, EventRow(m_office.p3, at(9, 0), 5));
    struct Case
    {
        const char* name;
        int user;
        UserRole role;
        QList<int> events;
    };
    const Case cases[] = {
        {"administrator: all", TasksOffice::kAdmin, UserRole::Administrator, {onP1, onP2, onP3}},
        {"boss: his own places", m_office.boss, UserRole::Boss, {onP1, onP2}},
        {"worker: viewed places only", m_office.worker, UserRole::Worker, {onP1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto reminders = remindersOf(c.user, c.role);
        EXPECT_TRUE(reminders->tmEvents().isActive());
        EXPECT_EQ(reminders->tmEvents().interval(), 10000);
        reminders->due().refresh(at(9, 0));
        QList<int> listed;
        const db::Query& q = reminders->due().qAlarmEvents();
        for (int r = 0; r < q.recordCount(); ++r)
            listed << q.valueAt(r, QStringLiteral("ID")).toInt();
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, c.events);
    }
}

TEST_F(RemindersTest, UserWithoutWorkPlacesGetsNoReminderTimer)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 0), 5));
    const int idle = TasksOffice::addUser(*m_c, QStringLiteral("Без мест"), false, m_office.boss);
    TasksOffice::addRight(*m_c, idle, m_office.p1, false, true);
    const int emptyBoss = TasksOffice::addUser(*m_c, QStringLiteral("Новый"), true, QVariant());
    for (const auto& [user, role] :
         {std::pair{idle, UserRole::Worker}, std::pair{emptyBoss, UserRole::Boss}}) {
        auto reminders = remindersOf(user, role);
        EXPECT_FALSE(reminders->tmEvents().isActive());
        reminders->tick();
        EXPECT_FALSE(reminders->window().isVisible());
    }
}

// A rights change takes effect at the next build (RefreshWorkPlaces).
TEST_F(RemindersTest, RebuildingPicksUpANewViewRight)
{
    test::addEvent(*m_c, EventRow(m_office.p2, at(9, 0), 5));
    auto reminders = remindersOf(m_office.worker, UserRole::Worker);
    reminders->due().refresh(at(9, 0));
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 0);
    m_c->execute(
        QStringLiteral("UPDATE USERWORKPLACE SET WVIEW = 'T' WHERE USERID = :U AND WORKPLACEID = :W"),
        {{QStringLiteral("U"), m_office.worker}, {QStringLiteral("W"), m_office.p2}});
    m_c->commitRetaining();
    reminders->buildQuery();
    reminders->due().refresh(at(9, 0));
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
}

TEST_F(RemindersTest, ShownReminderIsNotOfferedAgainToThatUserButStillToAnother)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 30), 60));
    auto worker = remindersOf(m_office.worker, UserRole::Worker);
    auto editor = remindersOf(m_office.editor, UserRole::Worker);
    worker->tick();
    ASSERT_TRUE(worker->window().isVisible());
    child<QToolButton>(worker->window(), "sbOK")->click();
    EXPECT_FALSE(worker->window().isVisible());
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM SHOWALARM")), 1);

    m_platform.advanceClock(10);
    worker->tick();
    EXPECT_EQ(worker->due().qAlarmEvents().recordCount(), 0);
    EXPECT_FALSE(worker->window().isVisible());
    editor->tick();
    EXPECT_EQ(editor->due().qAlarmEvents().recordCount(), 1);
    EXPECT_TRUE(editor->window().isVisible());
}

TEST_F(RemindersTest, TickTitlesTheWindowAndPlaysTheFirstListedSound)
{
    const int bell = test::addSound(*m_c, QStringLiteral("Колокол"), QStringLiteral("/snd/bell.wav"));
    m_platform.addFile(QStringLiteral("/snd/bell.wav"));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 6), 10));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 7), 10).withSound(bell));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    TfmAlarmTask& window = reminders->window();
    reminders->tick();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("3 задач"));
    EXPECT_EQ(m_platform.playedSounds(), QStringList{QStringLiteral("/snd/bell.wav")});
    const auto* grid = child<QTableView>(window, "dbgTasks");
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Рабочее место"));
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("Склад"));

    // Once the user has had the window, further ticks only re-read the list.
    activate(window);
    EXPECT_EQ(window.shownMark(), 1);
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 8), 10).withSound(bell));
    m_platform.advanceClock(10);
    reminders->tick();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("4 задач"));
    EXPECT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(m_platform.playedSounds().size(), 1);
}

TEST_F(RemindersTest, FirstOfTwoDifferentSoundsIsPlayed)
{
    const int a = test::addSound(*m_c, QStringLiteral("А"), QStringLiteral("/snd/a.wav"));
    const int b = test::addSound(*m_c, QStringLiteral("Б"), QStringLiteral("/snd/b.wav"));
    m_platform.addFile(QStringLiteral("/snd/a.wav"));
    m_platform.addFile(QStringLiteral("/snd/b.wav"));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10).withSound(a));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 6), 10).withSound(b));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->tick();
    const db::Query& q = reminders->due().qAlarmEvents();
    const int first = q.valueAt(0, QStringLiteral("SOUND")).toInt();
    EXPECT_EQ(m_platform.playedSounds(),
              QStringList{first == a ? QStringLiteral("/snd/a.wav") : QStringLiteral("/snd/b.wav")});
}

// The window comes up in every case; only the sound is left out.
TEST_F(RemindersTest, SoundIsSkippedWhenItCannotBePlayed)
{
    struct Case
    {
        const char* name;
        bool soundRow;
        bool file;
        bool availableAtSetUp;
    };
    const Case cases[] = {
        {"playable", true, true, true},
        {"sound deleted since", false, true, true},
        {"file missing on this workstation", true, false, true},
        {"player could not be set up", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
        m_c->execute(QStringLiteral("DELETE FROM SOUNDS"));
        int sound = test::addSound(*m_c, QStringLiteral("Гонг"), QStringLiteral("/snd/gong.wav"));
        if (!c.soundRow) {
            m_c->execute(QStringLiteral("DELETE FROM SOUNDS"));
            m_c->commitRetaining();
        }
        ScriptedPlatform machine;
        PlatformScope scope(machine);
        machine.setNow(at(9, 0));
        if (c.file)
            machine.addFile(QStringLiteral("/snd/gong.wav"));
        machine.setSoundAvailable(c.availableAtSetUp);
        TfmMP player;
        player.setUp();
        machine.setSoundAvailable(true);
        test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10).withSound(sound));
        admin::OptionLists lists(*m_c);
        lists.open();
        Reminders reminders(*m_c, player, lists);
        reminders.setUser(TasksOffice::kAdmin, UserRole::Administrator);
        reminders.buildQuery();
        reminders.tick();
        EXPECT_TRUE(reminders.window().isVisible());
        EXPECT_EQ(machine.playedSounds().size(), c.soundRow && c.file && c.availableAtSetUp ? 1 : 0);
        EXPECT_TRUE(machine.messages().isEmpty());
    }
}

TEST_F(RemindersTest, PostponeMovesTheEventForEverybodyAndRemindsAgainLater)
{
    const int id = test::addEvent(*m_c, EventRow(m_office.p1, at(10, 0), 10).withEnd(at(11, 0)));
    m_platform.setNow(at(9, 55));
    auto reminders = remindersOf(m_office.editor, UserRole::Worker);
    reminders->tick();
    TfmAlarmTask& window = reminders->window();
    auto* cbFw = child<QComboBox>(window, "cbFw");
    auto* sbFw = child<QToolButton>(window, "sbFw");
    EXPECT_FALSE(sbFw->isEnabled());
    cbFw->setCurrentIndex(planner::reminderPositionOf(60));
    emit cbFw->activated(cbFw->currentIndex());
    ASSERT_TRUE(sbFw->isEnabled());
    sbFw->click();

    const auto other = database().connect();
    db::Query moved(*other,
                    QStringLiteral("SELECT STARTTIME, ENDTIME, ALARM, HEADER FROM EVENTS WHERE ID = :Id"));
    moved.setParam(QStringLiteral("Id"), id);
    moved.open();
    EXPECT_EQ(moved.value(QStringLiteral("STARTTIME")).toDateTime(), at(11, 0));
    EXPECT_EQ(moved.value(QStringLiteral("ENDTIME")).toDateTime(), at(12, 0));
    EXPECT_EQ(moved.integer(QStringLiteral("ALARM")), 10);
    EXPECT_EQ(moved.text(QStringLiteral("HEADER")), QStringLiteral("Совещание"));
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 0);
    EXPECT_TRUE(m_platform.messages().isEmpty());

    m_platform.setNow(at(10, 49, 50));
    reminders->tick();
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 0);
    m_platform.setNow(at(10, 50));
    reminders->tick();
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
}

// "1 сут." moves an event to the same wall-clock time of the next day, also
// over the night when the clock is put forward (28.03.2026 to 29.03.2026).
TEST_F(RemindersTest, PostponeByADayKeepsTheTimeOfDayOverTheClockChange)
{
    const int id =
        test::addEvent(*m_c, EventRow(m_office.p1, at(10, 0, 0, 19), 10).withEnd(at(11, 0, 0, 19)));
    m_platform.setNow(at(9, 55, 0, 19));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->tick();
    auto* cbFw = child<QComboBox>(reminders->window(), "cbFw");
    cbFw->setCurrentIndex(planner::reminderPositionOf(1440));
    ASSERT_EQ(cbFw->currentText(), QStringLiteral("1 сут."));
    emit cbFw->activated(cbFw->currentIndex());
    child<QToolButton>(reminders->window(), "sbFw")->click();
    EXPECT_TRUE(m_platform.messages().isEmpty());

    const auto other = database().connect();
    db::Query moved(*other, QStringLiteral("SELECT COUNT(*) FROM EVENTS WHERE ID = :Id AND "
                                           "STARTTIME = '29.3.2026 10:00' AND ENDTIME = '29.3.2026 11:00'"));
    moved.setParam(QStringLiteral("Id"), id);
    moved.open();
    EXPECT_EQ(moved.value(0).toInt(), 1);

    m_platform.setNow(at(9, 50, 0, 20));
    reminders->tick();
    ASSERT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
    EXPECT_EQ(reminders->due().qAlarmEvents().value(QStringLiteral("STARTTIME")).toDateTime(),
              at(10, 0, 0, 20));
}

TEST_F(RemindersTest, PostponeByNoneWritesTheEventBackUnchanged)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10).withEnd(at(9, 50)));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->tick();
    auto* cbFw = child<QComboBox>(reminders->window(), "cbFw");
    emit cbFw->activated(0);
    child<QToolButton>(reminders->window(), "sbFw")->click();
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM EVENTS WHERE STARTTIME = '9.3.2026 9:05' AND "
                                            "ENDTIME = '9.3.2026 9:50' AND SHOWALARM IS NULL")),
              1);
}

TEST_F(RemindersTest, DeleteRemovesTheEventAtOnceForEverybody)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10).withHeader(QStringLiteral("Первое")));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 6), 10).withHeader(QStringLiteral("Второе")));
    auto reminders = remindersOf(m_office.editor, UserRole::Worker);
    reminders->tick();
    const QString gone = reminders->due().qAlarmEvents().text(QStringLiteral("HEADER"));
    child<QToolButton>(reminders->window(), "sbDel")->click();
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
    EXPECT_EQ(reminders->window().findChild<QTableView*>(QStringLiteral("dbgTasks"))->model()->rowCount(), 1);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM EVENTS")), 1);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM EVENTS WHERE HEADER = '%1'").arg(gone)), 0);
}

TEST_F(RemindersTest, WorkerWithoutEditRightIsRefusedDeleteAndPostpone)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10));
    auto reminders = remindersOf(m_office.worker, UserRole::Worker);
    reminders->tick();
    TfmAlarmTask& window = reminders->window();
    child<QToolButton>(window, "sbDel")->click();
    emit child<QComboBox>(window, "cbFw")->activated(6);
    child<QToolButton>(window, "sbFw")->click();
    EXPECT_EQ(
        m_platform.messageTexts(),
        (QStringList{
            QStringLiteral(
                "Невозможно удалить задание! У вас нет прав для редактирования этого рабочего места."),
            QStringLiteral("Невозможно отложить это задание!\nУ вас нет прав для его редактирования.")}));
    EXPECT_EQ(m_platform.messages().first().kind, MessageKind::Notice);
    EXPECT_EQ(reminders->due().qAlarmEvents().recordCount(), 1);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM EVENTS WHERE STARTTIME = '9.3.2026 9:05'")), 1);
}

TEST_F(RemindersTest, CommandsOnAnEmptyListDoNothing)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->tick();
    TfmAlarmTask& window = reminders->window();
    child<QToolButton>(window, "sbDel")->click();
    ASSERT_EQ(reminders->due().qAlarmEvents().recordCount(), 0);
    QSignalSpy opened(reminders.get(), &Reminders::openEventRequested);
    child<QToolButton>(window, "sbDel")->click();
    emit child<QComboBox>(window, "cbFw")->activated(3);
    child<QToolButton>(window, "sbFw")->click();
    child<QToolButton>(window, "sbOpen")->click();
    EXPECT_EQ(opened.count(), 0);
    EXPECT_TRUE(m_platform.messages().isEmpty());
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM EVENTS")), 0);
}

TEST_F(RemindersTest, ClosingRecordsEveryListedReminderForThisUser)
{
    for (int i = 0; i < 3; ++i)
        test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5 + i), 10));
    auto reminders = remindersOf(m_office.editor, UserRole::Worker);
    reminders->tick();
    TfmAlarmTask& window = reminders->window();
    activate(window);
    child<QToolButton>(window, "sbDel")->click();
    QList<int> left;
    for (int r = 0; r < reminders->due().qAlarmEvents().recordCount(); ++r)
        left << reminders->due().qAlarmEvents().valueAt(r, QStringLiteral("ID")).toInt();
    child<QToolButton>(window, "sbOK")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.shownMark(), 0);
    const auto other = database().connect();
    db::Query shown(*other, QStringLiteral("SELECT * FROM SHOWALARM ORDER BY IDEVENTS"));
    shown.open();
    ASSERT_EQ(shown.recordCount(), 2);
    std::sort(left.begin(), left.end());
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(shown.valueAt(r, QStringLiteral("IDUSER")).toInt(), m_office.editor);
        EXPECT_EQ(shown.valueAt(r, QStringLiteral("IDEVENTS")).toInt(), left.at(r));
    }
    EXPECT_NE(shown.valueAt(0, QStringLiteral("ID")), shown.valueAt(1, QStringLiteral("ID")));
}

TEST_F(RemindersTest, OpenAsksForTheCurrentRowsEvent)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10));
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 6), 10));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->tick();
    QSignalSpy opened(reminders.get(), &Reminders::openEventRequested);
    auto* grid = child<QTableView>(reminders->window(), "dbgTasks");
    grid->selectRow(1);
    EXPECT_EQ(reminders->due().qAlarmEvents().recNo(), 1);
    child<QToolButton>(reminders->window(), "sbOpen")->click();
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.first().first().toInt(),
              reminders->due().qAlarmEvents().valueAt(1, QStringLiteral("ID")).toInt());
}

// The choice is reset once each time the window comes on screen, and that
// reset does not count as the user's change.
TEST_F(RemindersTest, ComingOnScreenResetsThePostponeChoiceWithoutEnablingIt)
{
    test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    TfmAlarmTask& window = reminders->window();
    auto* cbFw = child<QComboBox>(window, "cbFw");
    cbFw->setCurrentIndex(4);
    reminders->tick();
    activate(window);
    EXPECT_EQ(cbFw->currentText(), QStringLiteral("нет"));
    EXPECT_FALSE(child<QToolButton>(window, "sbFw")->isEnabled());
}

TEST_F(RemindersTest, ListModelPassesTheModelTester)
{
    for (int i = 0; i < 3; ++i)
        test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5 + i), 10));
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    QAbstractItemModel* model = child<QTableView>(reminders->window(), "dbgTasks")->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    reminders->tick();
    reminders->due().deleteCurrent(m_platform.now());
    reminders->tick();
    EXPECT_EQ(model->rowCount(), 2);
}

} // namespace

// The list was read at the last tick; another workstation deleted one event
// and moved another since, and the user's choice of row outlives the ticks. Delete and postpone leave both
// alone and say so. A postponed event is written back as it is stored now, column by column, with only its
// times moved.
TEST_F(RemindersTest, DeleteAndPostponeActOnlyOnTheEventAsListed)
{
    const int deleted = test::addEvent(*m_c, EventRow(m_office.p1, at(9, 5), 10));
    const int moved = test::addEvent(*m_c, EventRow(m_office.p1, at(9, 6), 10));
    const int full = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
    const QString columns = QStringLiteral(
        "USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, ISPERCENT, IMPORTANCE, COLOR, IMAGE, "
        "WORKPLACE, TEMPLATE, WORKTYPE, DATEEDIT, ALARM, SOUND, SHOWALARM");
    m_c->execute(QStringLiteral("INSERT INTO EVENTS (ID, %1) VALUES (:I, %2, 'Полное', 'старое', "
                                "'9.3.2026 9:07', '9.3.2026 9:37', 'T', 40, 2, 255, 3, %3, 1, 5, "
                                "'1.3.2026 8:00', 10, 0, 7)")
                     .arg(columns)
                     .arg(TasksOffice::kAdmin)
                     .arg(m_office.p1),
                 {{QStringLiteral("I"), full}});
    m_c->commitRetaining();
    auto reminders = remindersOf(TasksOffice::kAdmin, UserRole::Administrator);
    reminders->tick();
    ASSERT_EQ(reminders->due().qAlarmEvents().recordCount(), 3);

    const auto other = database().connect();
    const auto stored = [&](int id) {
        db::Query q(*other, QStringLiteral("SELECT %1 FROM EVENTS WHERE ID = :I").arg(columns));
        q.setParam(QStringLiteral("I"), id);
        q.open();
        QStringList row;
        for (int c = 0; c < q.columnCount(); ++c)
            row << q.columnNames().at(c) + QLatin1Char('=') + q.value(c).toString();
        return row;
    };
    TfmAlarmTask& window = reminders->window();
    db::Query& list = reminders->due().qAlarmEvents();
    // The next tick leaves the user's choice where it was.
    ASSERT_TRUE(list.locate(QStringLiteral("ID"), full));
    reminders->tick();
    EXPECT_EQ(list.integer(QStringLiteral("ID")), full);
    auto* cbFw = child<QComboBox>(window, "cbFw");
    cbFw->setCurrentIndex(planner::reminderPositionOf(60));
    emit cbFw->activated(cbFw->currentIndex());

    other->execute(QStringLiteral("DELETE FROM EVENTS WHERE ID = :I"), {{QStringLiteral("I"), deleted}});
    other->execute(QStringLiteral("UPDATE EVENTS SET COMMENT = 'чужая правка' WHERE ID = :I"),
                   {{QStringLiteral("I"), full}});
    other->commitRetaining();
    ASSERT_TRUE(list.locate(QStringLiteral("ID"), deleted));
    child<QToolButton>(window, "sbFw")->click();

    other->execute(QStringLiteral("UPDATE EVENTS SET STARTTIME = '9.3.2026 8:00' WHERE ID = :I"),
                   {{QStringLiteral("I"), moved}});
    other->commitRetaining();
    const QStringList movedBefore = stored(moved);
    QStringList fullAfter = stored(full);
    ASSERT_TRUE(list.locate(QStringLiteral("ID"), moved));
    child<QToolButton>(window, "sbDel")->click();
    EXPECT_EQ(m_platform.messageTexts(),
              QStringList(2, QStringLiteral("Задание удалено или перемещено другим "
                                            "пользователем. Изменения не сохранены.")));
    EXPECT_EQ(stored(moved), movedBefore);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT * FROM EVENTS")), 2);

    ASSERT_TRUE(list.locate(QStringLiteral("ID"), full));
    child<QToolButton>(window, "sbFw")->click();
    fullAfter[3] = QStringLiteral("STARTTIME=") + QVariant(at(10, 7)).toString();
    fullAfter[4] = QStringLiteral("ENDTIME=") + QVariant(at(10, 37)).toString();
    EXPECT_EQ(stored(full), fullAfter);
    EXPECT_EQ(m_platform.messageTexts().size(), 2);
}

// A tick merges only what changed into the list it holds; whatever happens
// between ticks (here and at another workstation), the list must be the one
// a full read gives at that moment, row for row, and the chosen row must
// stay current while it is listed.
TEST_F(RemindersTest, TicksKeepTheListAFullReadGivesThroughRandomChanges)
{
    const auto other = database().connect();
    struct Reader
    {
        int user;
        UserRole role;
        std::unique_ptr<DueReminders> due;
    } readers[] = {{TasksOffice::kAdmin, UserRole::Administrator, nullptr},
                   {m_office.editor, UserRole::Worker, nullptr}};
    for (Reader& r : readers) {
        r.due = std::make_unique<DueReminders>(*m_c);
        // Every change is committed before the tick: no stamp is late.
        r.due->setStampGrace(std::chrono::milliseconds(0));
        ASSERT_TRUE(r.due->build(r.user, r.role));
    }
    const int places[] = {m_office.p1, m_office.p2, m_office.p3};
    const QVariant alarms[] = {QVariant(), 0, 1, 5, 15, 60, 1440};
    std::mt19937 rng(4711);
    auto pick = [&rng](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
    QDateTime now = at(9, 0);
    auto anEvent = [&]() -> QVariant {
        db::Query ids(*other, QStringLiteral("SELECT ID FROM EVENTS ORDER BY ID"));
        ids.open();
        return ids.isEmpty() ? QVariant() : ids.valueAt(pick(ids.recordCount()), 0);
    };
    constexpr int kSteps = 600;
    int merged = 0;
    for (int step = 0; step < kSteps; ++step) {
        SCOPED_TRACE(step);
        // Half the writes come from this workstation, half from another.
        db::Connection& w = pick(2) ? *m_c : *other;
        const QVariant id = anEvent();
        const QVariant alarm = alarms[pick(int(std::size(alarms)))];
        switch (pick(9)) {
        case 0:
        case 1: {
            // Anywhere from yesterday to tomorrow; now and then due exactly a
            // minute from now.
            QDateTime start = now.addSecs(60 * (pick(2881) - 1440));
            if (pick(4) == 0 && alarm.toInt() > 0)
                start = now.addSecs(60 + 60 * alarm.toInt());
            test::addEvent(w, EventRow(places[pick(3)], start, alarm));
            break;
        }
        case 2:
        case 3:
        case 4: {
            // A move in time or to another work place, or another reminder.
            const QString set[] = {QStringLiteral("STARTTIME = STARTTIME + (%1 / 1440)").arg(pick(241) - 120),
                                   QStringLiteral("WORKPLACE = %1").arg(places[pick(3)]),
                                   QStringLiteral("ALARM = :A")};
            const int which = pick(3);
            w.execute(QStringLiteral("UPDATE EVENTS SET %1 WHERE ID = :Id").arg(set[which]),
                      which == 2 ? db::Params{{QStringLiteral("A"), alarm}, {QStringLiteral("Id"), id}}
                                 : db::Params{{QStringLiteral("Id"), id}});
            break;
        }
        case 5:
            w.execute(QStringLiteral("DELETE FROM EVENTS WHERE ID = :Id"), {{QStringLiteral("Id"), id}});
            break;
        case 6:
            readers[pick(2)].due->recordShown();
            break;
        case 7:
            if (pick(2))
                w.execute(QStringLiteral("INSERT INTO SHOWALARM VALUES (GEN_ID(SHOWALARM_ID, 1), :U, :Id)"),
                          {{QStringLiteral("U"), readers[pick(2)].user}, {QStringLiteral("Id"), id}});
            else
                w.execute(QStringLiteral("DELETE FROM SHOWALARM WHERE IDEVENTS = :Id"),
                          {{QStringLiteral("Id"), id}});
            break;
        default:
            break;
        }
        w.commitRetaining();
        // Mostly half-minute steps; sometimes none, a day ahead, or back.
        const int clock = pick(20);
        now = now.addSecs(clock == 0 ? -3600 : clock == 1 ? 86400 : clock == 2 ? 0 : 30 * (1 + pick(4)));

        for (Reader& r : readers) {
            db::Query& list = r.due->qAlarmEvents();
            if (list.isOpen() && !list.isEmpty())
                list.setRecNo(pick(list.recordCount()));
            const QVariant chosen =
                list.isOpen() && list.recNo() >= 0 ? list.value(QStringLiteral("ID")) : QVariant();
            r.due->refresh(now);
            merged += r.due->lastReadWhole() ? 0 : 1;
            db::Query whole(*m_c, list.sql());
            whole.setParam(QStringLiteral("ThisDate"), now);
            whole.setParam(QStringLiteral("IdUser"), r.user);
            whole.open();
            ASSERT_EQ(list.recordCount(), whole.recordCount()) << "user " << r.user;
            for (int row = 0; row < whole.recordCount(); ++row)
                for (int col = 0; col < whole.columnCount(); ++col)
                    ASSERT_EQ(list.valueAt(row, col), whole.valueAt(row, col))
                        << "row " << row << " col " << col;
            const bool listed = chosen.isValid() && whole.locate(QStringLiteral("ID"), chosen);
            if (listed)
                EXPECT_EQ(list.value(QStringLiteral("ID")), chosen);
            else
                EXPECT_EQ(list.recNo(), list.isEmpty() ? -1 : 0);
        }
    }
    // Most ticks merged rather than read whole.
    EXPECT_GT(merged, kSteps);
}

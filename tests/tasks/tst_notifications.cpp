// The reaction to the database's alerts and the notice window: reloading the
// planner's events, announcing new tasks by the login profile's switch,
// passing letters, chat and rights changes on, with alerts that really come
// from another connection.

#include "accessrights.h"
#include "changenotifier.h"
#include "connection.h"
#include "datetimetext.h"
#include "duereminders.h"
#include "eventsubscription.h"
#include "markuplabel.h"
#include "platformscope.h"
#include "query.h"
#include "reminders.h"
#include "scriptedplatform.h"
#include "tasksdata.h"
#include "testdatabase.h"
#include "tfmmain.h"
#include "tfmmp.h"
#include "tfmnew.h"
#include "tfmsystementer.h"
#include "wallclock.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::tasks;
using test::EventRow;
using test::TasksOffice;

namespace {

QDateTime at(int day, int h, int m)
{
    return wallClock(QDate(2026, 3, day), QTime(h, m));
}

TEST(NewTaskNotice, FourLinesWithHeaderAndTimes)
{
    const QDateTime start = at(9, 10, 30);
    const QDateTime midnight = at(10, 0, 0);
    EXPECT_EQ(
        newTaskNotice(QStringLiteral("Отчёт"), start, midnight),
        (QStringList{QStringLiteral("<font size=\"12\" face=\"Arial\"><b>Новое задание</b></font><br><br>"),
                     QStringLiteral("<b>Отчёт</b><br>"),
                     QStringLiteral("<b>Время начала:</b> ") + dateTimeText(start) + QStringLiteral("<br>"),
                     QStringLiteral("<b>Время окончания:</b> ") + dateTimeText(midnight)}));
}

TEST(DateTimeText, MidnightShowsTheDateOnlyAndNoTimeZone)
{
    const QLocale locale;
    EXPECT_EQ(dateTimeText(at(10, 0, 0)), locale.toString(QDate(2026, 3, 10), QLocale::ShortFormat));
    const QString text = dateTimeText(at(9, 10, 30));
    EXPECT_TRUE(text.startsWith(locale.toString(QDate(2026, 3, 9), QLocale::ShortFormat) + QLatin1Char(' ')));
    EXPECT_TRUE(text.contains(QStringLiteral("10:30"))) << qPrintable(text);
    EXPECT_FALSE(text.contains(QStringLiteral("UTC"))) << qPrintable(text);
    EXPECT_TRUE(dateTimeText(QDateTime()).isEmpty());
}

TEST(TfmNewTest, NoticeSitsInTheCornerForFiveSeconds)
{
    TfmNew notice;
    EXPECT_FALSE(notice.isVisible());
    EXPECT_EQ(notice.size(), QSize(278, 200));
    EXPECT_TRUE(notice.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(notice.windowFlags() & Qt::FramelessWindowHint);
    notice.showNotice({QStringLiteral("<b>Раз</b><br>"), QStringLiteral("два")});
    ASSERT_TRUE(notice.isVisible());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(notice.pos(), QPoint(area.right() + 1 - 278, area.bottom() + 1 - 200));
    const auto* label = notice.findChild<widgets::MarkupLabel*>(QStringLiteral("lbText"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->markup(), QStringLiteral("<b>Раз</b><br>два"));
    EXPECT_TRUE(notice.timer().isActive());
    EXPECT_EQ(notice.timer().interval(), 5000);

    // A second notice replaces the lines and keeps the running time.
    const int remaining = notice.timer().remainingTime();
    QTest::qWait(20);
    notice.showNotice({QStringLiteral("три")});
    EXPECT_EQ(label->markup(), QStringLiteral("три"));
    EXPECT_LT(notice.timer().remainingTime(), remaining);

    notice.TimerTimer();
    EXPECT_FALSE(notice.isVisible());
    EXPECT_FALSE(notice.timer().isActive());
}

class NotifierTest : public test::SharedDatabaseTest
{
protected:
    void SetUp() override
    {
        m_c = database().connect();
        m_office.build(*m_c);
        // The planner's query: one month of one work place, ordered by ID.
        m_events = std::make_unique<db::Query>(
            *m_c, QStringLiteral("SELECT ") + kEventColumns +
                      QStringLiteral(" FROM Events WHERE WorkPlace = :Wp AND StartTime >= '1.3.2026' AND "
                                     "StartTime < '1.4.2026' ORDER BY ID"));
        m_events->setParam(QStringLiteral("Wp"), m_office.p1);
        m_first =
            test::addEvent(*m_c, EventRow(m_office.p1, at(9, 9, 0)).withHeader(QStringLiteral("Старое")));
        test::addEvent(*m_c, EventRow(m_office.p1, at(9, 11, 0)));
        m_events->open();
        m_events->first();
        m_notifier.setEventsQuery(m_events.get());
        m_notifier.setMainWindow(&m_main);
        m_notifier.setPlannerPageShown([this] { return m_plannerShown; });
        m_notifier.setLoggedIn(true);
        m_notifier.setNewEventNotices(true);
    }
    // Another workstation adds an event.
    int addElsewhere(const EventRow& row)
    {
        const auto other = database().connect();
        return test::addEvent(*other, row);
    }

    std::unique_ptr<db::Connection> m_c;
    TasksOffice m_office;
    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    std::unique_ptr<db::Query> m_events;
    int m_first = 0;
    QWidget m_main;
    bool m_plannerShown = false;
    TfmNew m_notice;
    ChangeNotifier m_notifier{m_notice};
};

TEST_F(NotifierTest, NewEventIsAnnouncedByTheProfileSwitchWhenThePlannerIsNotInView)
{
    struct Case
    {
        const char* name;
        bool switchOn;
        bool plannerShown;
        bool mainVisible;
        bool notice;
    };
    const Case cases[] = {
        {"task list on show", true, false, true, true},
        {"day page on show", true, true, true, false},
        {"main window in the tray", true, true, false, true},
        {"switch off", false, false, true, false},
    };
    int minute = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_notice.hide();
        m_notifier.setNewEventNotices(c.switchOn);
        m_plannerShown = c.plannerShown;
        m_main.setVisible(c.mainVisible);
        QSignalSpy detached(&m_notifier, &ChangeNotifier::eventsAboutToReload);
        QSignalSpy attached(&m_notifier, &ChangeNotifier::eventsReloaded);
        const QDateTime start = at(12, 14, minute++);
        const int added = addElsewhere(EventRow(m_office.p1, start).withHeader(QStringLiteral("Новое дело")));
        m_notifier.handleAlert(QStringLiteral("INS_EVENTS"));
        EXPECT_EQ(detached.count(), 1);
        EXPECT_EQ(attached.count(), 1);
        EXPECT_EQ(m_events->valueAt(m_events->recordCount() - 1, QStringLiteral("ID")).toInt(), added);
        EXPECT_EQ(m_notice.isVisible(), c.notice);
        if (c.notice) {
            EXPECT_EQ(m_notice.lines(),
                      newTaskNotice(QStringLiteral("Новое дело"), start, start.addSecs(3600)));
        }
    }
}

TEST_F(NotifierTest, EventOutsideThePlannersChoiceReloadsWithoutNotice)
{
    addElsewhere(EventRow(m_office.p1, wallClock(QDate(2026, 4, 2), QTime(9, 0))));
    addElsewhere(EventRow(m_office.p2, at(12, 9, 0)));
    QSignalSpy reloaded(&m_notifier, &ChangeNotifier::eventsReloaded);
    m_notifier.handleAlert(QStringLiteral("INS_EVENTS"));
    EXPECT_EQ(reloaded.count(), 1);
    EXPECT_FALSE(m_notice.isVisible());
}

TEST_F(NotifierTest, ReloadKeepsTheCurrentEventAndSeesOtherWorkstationsChanges)
{
    ASSERT_TRUE(m_events->locate(QStringLiteral("ID"), m_first));
    m_events->next();
    const int second = m_events->integer(QStringLiteral("ID"));
    const auto other = database().connect();
    other->execute(QStringLiteral("UPDATE EVENTS SET HEADER = 'Исправлено' WHERE ID = :Id"),
                   {{QStringLiteral("Id"), m_first}});
    other->commitRetaining();
    m_notifier.handleAlert(QStringLiteral("UPD_EVENTS"));
    EXPECT_EQ(m_events->integer(QStringLiteral("ID")), second);
    EXPECT_EQ(m_events->valueAt(0, QStringLiteral("HEADER")).toString(), QStringLiteral("Исправлено"));
    EXPECT_FALSE(m_notice.isVisible());
}

TEST_F(NotifierTest, EachAlertReachesItsPart)
{
    struct Case
    {
        const char* alert;
        int letters, users, chat, workPlaces;
    };
    const Case cases[] = {
        {"INS_TEXTS", 1, 0, 0, 0},   {"UPD_USERS", 0, 1, 0, 0}, {"INS_MESAGES", 0, 0, 1, 0},
        {"INS_UWP", 0, 0, 0, 1},     {"UPD_UWP", 0, 0, 0, 1},   {"DEL_UWP", 0, 0, 0, 1},
        {"DEL_MESAGES", 0, 0, 0, 0}, {"UPD_TEXTS", 0, 0, 0, 0}, {"DEL_USERS", 0, 0, 0, 0},
        {"INS_USERS", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alert);
        QSignalSpy letters(&m_notifier, &ChangeNotifier::lettersChanged);
        QSignalSpy users(&m_notifier, &ChangeNotifier::usersChanged);
        QSignalSpy chat(&m_notifier, &ChangeNotifier::chatChanged);
        QSignalSpy places(&m_notifier, &ChangeNotifier::workPlacesChanged);
        QSignalSpy reloaded(&m_notifier, &ChangeNotifier::eventsReloaded);
        m_notifier.handleAlert(QLatin1String(c.alert));
        EXPECT_EQ(letters.count(), c.letters);
        EXPECT_EQ(users.count(), c.users);
        EXPECT_EQ(chat.count(), c.chat);
        EXPECT_EQ(places.count(), c.workPlaces);
        // The planner's open events query is reloaded whatever the alert.
        EXPECT_EQ(reloaded.count(), 1);
    }
}

TEST_F(NotifierTest, ClosedEventsQueryIsLeftAloneByOtherAlerts)
{
    m_events->close();
    QSignalSpy reloaded(&m_notifier, &ChangeNotifier::eventsReloaded);
    QSignalSpy letters(&m_notifier, &ChangeNotifier::lettersChanged);
    m_notifier.handleAlert(QStringLiteral("DEL_TEXTS"));
    EXPECT_EQ(reloaded.count(), 0);
    EXPECT_EQ(letters.count(), 0);
    EXPECT_FALSE(m_events->isOpen());
}

TEST_F(NotifierTest, AlertsBeforeLoginAreIgnored)
{
    m_notifier.setLoggedIn(false);
    QSignalSpy reloaded(&m_notifier, &ChangeNotifier::eventsReloaded);
    QSignalSpy letters(&m_notifier, &ChangeNotifier::lettersChanged);
    addElsewhere(EventRow(m_office.p1, at(12, 9, 0)));
    m_notifier.handleAlert(QStringLiteral("INS_EVENTS"));
    m_notifier.handleAlert(QStringLiteral("INS_TEXTS"));
    EXPECT_EQ(reloaded.count(), 0);
    EXPECT_EQ(letters.count(), 0);
    EXPECT_FALSE(m_notice.isVisible());
}

// A worker's view right is read afresh before the work places are rebuilt.
TEST_F(NotifierTest, RightsAlertRereadsTheRightsBeforeRebuilding)
{
    AccessRights rights(*m_c);
    rights.setUser(m_office.worker, UserRole::Worker);
    rights.reload();
    m_notifier.setRights(&rights);
    ASSERT_EQ(rights.visibleWorkPlaces().size(), 1);
    const auto other = database().connect();
    TasksOffice::addRight(*other, m_office.worker, m_office.p3, true, false);
    int seen = -1;
    QObject::connect(&m_notifier, &ChangeNotifier::workPlacesChanged,
                     [&] { seen = int(rights.visibleWorkPlaces().size()); });
    m_notifier.handleAlert(QStringLiteral("INS_UWP"));
    EXPECT_EQ(seen, 2);
}

TEST_F(NotifierTest, FailedReloadIsShownAndStopsTheAlert)
{
    // The reopened statement cannot convert its parameter.
    m_events->setParam(QStringLiteral("Wp"), QStringLiteral("Склад"));
    QSignalSpy letters(&m_notifier, &ChangeNotifier::lettersChanged);
    QSignalSpy attached(&m_notifier, &ChangeNotifier::eventsReloaded);
    m_notifier.handleAlert(QStringLiteral("INS_TEXTS"));
    EXPECT_EQ(letters.count(), 0);
    EXPECT_EQ(attached.count(), 1);
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().first().kind, MessageKind::Error);
}

// The alert comes from another connection's commit through the real
// subscription, as it does between workstations.
TEST_F(NotifierTest, AnotherWorkstationsNewEventReachesTheNotice)
{
    db::EventSubscription alerts(*m_c, startup::databaseAlerts(),
                                 [this](const QString& name) { m_notifier.handleAlert(name); });
    QSignalSpy chat(&m_notifier, &ChangeNotifier::chatChanged);
    const QDateTime start = at(20, 15, 0);
    addElsewhere(EventRow(m_office.p1, start).withHeader(QStringLiteral("Из филиала")));
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_notice.isVisible(); }, 5000));
    EXPECT_EQ(m_notice.lines().at(1), QStringLiteral("<b>Из филиала</b><br>"));

    const auto other = database().connect();
    other->execute(
        QStringLiteral("INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY) VALUES (GEN_ID(MESAGES_ID, 1), "
                       ":F, -1, 'Привет')"),
        {{QStringLiteral("F"), m_office.boss}});
    other->commitRetaining();
    EXPECT_TRUE(QTest::qWaitFor([&] { return chat.count() == 1; }, 5000));
}

// The main window hands every alert to the dispatcher and sets up the
// reminders for the user who logged in.
TEST_F(NotifierTest, MainWindowWiresRemindersAndAlertsAtLogin)
{
    QTemporaryDir programDir;
    QFile init(QDir(programDir.path()).filePath(QStringLiteral("init.txt")));
    ASSERT_TRUE(init.open(QIODevice::WriteOnly));
    init.write(database().name().toLocal8Bit() + "\n");
    init.close();
    startup::TfmMain window(programDir.path());
    ASSERT_TRUE(window.connectDatabase());
    ASSERT_TRUE(window.loginDialog()->openList());
    EXPECT_EQ(window.reminders(), nullptr);
    startup::LoginProfile profile;
    profile.userId = m_office.worker;
    profile.role = UserRole::Worker;
    profile.newEventNotices = true;
    window.applyLogin(profile);
    ASSERT_NE(window.reminders(), nullptr);
    EXPECT_TRUE(window.reminders()->tmEvents().isActive());
    EXPECT_TRUE(window.soundPlayer()->soundAvailable());

    QSignalSpy letters(window.changeNotifier(), &ChangeNotifier::lettersChanged);
    emit window.databaseAlert(QStringLiteral("INS_TEXTS"));
    EXPECT_EQ(letters.count(), 1);

    // Losing the last view right stops the worker's reminders.
    const auto other = database().connect();
    other->execute(QStringLiteral("UPDATE USERWORKPLACE SET WVIEW = 'F' WHERE USERID = :U"),
                   {{QStringLiteral("U"), m_office.worker}});
    other->commitRetaining();
    emit window.databaseAlert(QStringLiteral("UPD_UWP"));
    EXPECT_FALSE(window.reminders()->tmEvents().isActive());
}

} // namespace

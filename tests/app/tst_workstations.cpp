// Several workstations on one database, each with its own main window and
// connection: changes made at one reach the others through the database's
// alerts.

#include "changenotifier.h"
#include "duereminders.h"
#include "eventcommands.h"
#include "mainwindowfixture.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "query.h"
#include "reminders.h"
#include "tfmnew.h"
#include "tfmtask.h"
#include "wallclock.h"
#include "workplacetree.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

using namespace tarvik;
using namespace tarvik::startup;

namespace {

class WorkstationsTest : public test::MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        m_platform.setNow(wallClock(QDate::currentDate(), QTime(10, 0)));
        m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
        m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID <> 1"));
        m_c->commitRetaining();
        m_boss = addUser(QStringLiteral("Шеф"), QStringLiteral("T"), QVariant());
        m_place = addWorkPlace(QStringLiteral("Цех"), m_boss);
        m_other = addWorkPlace(QStringLiteral("Склад"), m_boss);
        m_worker = addUser(QStringLiteral("Рабочий"), QStringLiteral("F"), m_boss);
        addRight(m_worker, m_place, true, true);
    }
    // A workstation shown and activated, on the day view.
    std::unique_ptr<TfmMain> station(const QString& name)
    {
        auto w = loggedIn(name, QStringLiteral("Pw"), false);
        w->show();
        w->FormActivate();
        w->findChild<QToolButton*>(QStringLiteral("sb1"))->click();
        return w;
    }
    // Adds an event at a workstation through its planner's add command.
    void addAt(TfmMain& w, const QString& header)
    {
        planner::EventCommands& commands = w.planner()->commands();
        commands.setDialogRunner([header](planner::TfmTask& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(header);
            dialog.sbOKClick();
        });
        w.planner()->grid()->selectCells(0, 22, 23); // 11:00 to 12:00
        commands.sbAddClick();
    }
    // Whether a station's reminder query covers a work place.
    static bool remindsOf(TfmMain& w, int workPlace)
    {
        const QRegularExpression place(QStringLiteral("WorkPlace\\s*=\\s*%1\\b").arg(workPlace),
                                       QRegularExpression::CaseInsensitiveOption);
        return place.match(w.reminders()->due().qAlarmEvents().sql()).hasMatch();
    }
    static bool holds(TfmMain& w, const QString& header)
    {
        return w.planner()->events().isOpen() &&
               w.planner()->events().locate(QStringLiteral("HEADER"), header);
    }

    int m_boss = 0, m_worker = 0, m_place = 0, m_other = 0;
};

} // namespace

// An event added at A is reloaded at B; B's notice shows only when B's
// planner is not in view.
TEST_F(WorkstationsTest, EventAddedAtOneStationReachesTheOtherWithTheNoticeRules)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    ASSERT_TRUE(a->planner()->canShowEvents());

    addAt(*a, QStringLiteral("Первое"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return holds(*b, QStringLiteral("Первое")); }, 5000));
    EXPECT_NE(b->planner()->grid()->itemCount(), 0) << "the grid shows it";
    EXPECT_FALSE(b->noticeWindow()->isVisible()) << "B has its planner in view";

    b->findChild<QToolButton*>(QStringLiteral("sbTexts"))->click();
    addAt(*a, QStringLiteral("Второе"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return b->noticeWindow()->isVisible(); }, 5000));
    EXPECT_TRUE(b->noticeWindow()->lines().join(QLatin1Char(' ')).contains(QStringLiteral("Второе")));
    a->close();
    b->close();
}

// Rights granted at the administrator's workstation rebuild the worker's
// tree, reminder query and planner at his.
TEST_F(WorkstationsTest, RightsChangedElsewhereRebuildTheWorkersStation)
{
    auto worker = station(QStringLiteral("Рабочий"));
    widgets::MarkupTreeModel& tree = *worker->planner()->workPlaceTree().view()->markupModel();
    const QModelIndex root = tree.index(0, 0);
    EXPECT_EQ(tree.rowCount(root), 1);
    EXPECT_EQ(worker->planner()->grid()->positions(), 1);
    EXPECT_TRUE(remindsOf(*worker, m_place));
    EXPECT_FALSE(remindsOf(*worker, m_other));

    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    admin->connection().execute(
        QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) "
                       "VALUES (GEN_ID(USERWORKPLACE_ID, 1), :U, :W, 'T', 'F')"),
        {{QStringLiteral("U"), m_worker}, {QStringLiteral("W"), m_other}});
    admin->connection().commitRetaining();

    EXPECT_TRUE(QTest::qWaitFor([&] { return tree.rowCount(tree.index(0, 0)) == 2; }, 5000));
    EXPECT_EQ(worker->planner()->grid()->positions(), 2) << "the planner shows both places";
    EXPECT_TRUE(remindsOf(*worker, m_other));
    admin->close();
    worker->close();
}

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
#include "storedevent.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "tfmnew.h"
#include "tfmtask.h"
#include "todopage.h"
#include "wallclock.h"
#include "workplacetree.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
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
    // Edits the event with this header at a station through its task
    // dialog; `fill` plays the user at each showing of the dialog.
    static void editAt(TfmMain& w, const QString& header, std::function<void(planner::TfmTask&)> fill)
    {
        ASSERT_TRUE(holds(w, header));
        widgets::PlannerGrid& grid = *w.planner()->grid();
        grid.selectItem(grid.itemByKey(w.planner()->events().value(QStringLiteral("ID"))));
        w.planner()->commands().setDialogRunner(std::move(fill));
        w.planner()->commands().sbEditClick();
    }
    static void type(planner::TfmTask& dialog, const QString& header, const QString& text = {})
    {
        dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(header);
        if (!text.isEmpty())
            dialog.findChild<QPlainTextEdit*>(QStringLiteral("meTask"))->setPlainText(text);
    }
    // An edit through the dialog, typed and confirmed at once.
    static void retype(TfmMain& w, const QString& header, const QString& newHeader, const QString& text = {})
    {
        editAt(w, header, [&](planner::TfmTask& dialog) {
            type(dialog, newHeader, text);
            dialog.sbOKClick();
        });
    }
    // The stored event added at the test's start.
    QVariant stored(const QString& column) const
    {
        auto other = database().connect();
        db::Query q(*other, QStringLiteral("SELECT * FROM EVENTS"));
        q.open();
        return q.isEmpty() ? QVariant() : q.value(column);
    }
    bool asked() const
    {
        return m_platform.messageTexts().join(QLatin1Char(' ')).contains(
            QStringLiteral("Событие изменено пользователем Шеф в"));
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

// B changes an event in its dialog while A changes and commits the same
// event: a field only one of them changed is merged without a question;
// the same field changed by both asks B, who keeps A's change (and gets his
// own text back in the dialog) or writes over it.
TEST_F(WorkstationsTest, DialogEditAgainstACommittedChangeMergesOrAsks)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    addAt(*a, QStringLiteral("Исходное"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds(*b, QStringLiteral("Исходное")); }, 5000));

    // Different fields: A's text and done mark and B's header are all kept,
    // though B's dialog stores its unticked box as "F".
    editAt(*b, QStringLiteral("Исходное"), [&](planner::TfmTask& dialog) {
        editAt(*a, QStringLiteral("Исходное"), [](planner::TfmTask& other) {
            type(other, QStringLiteral("Исходное"), QStringLiteral("текст А"));
            other.findChild<QCheckBox*>(QStringLiteral("cbIsFinish"))->setChecked(true);
            other.sbOKClick();
        });
        type(dialog, QStringLiteral("Заголовок Б"));
        dialog.sbOKClick();
    });
    EXPECT_FALSE(asked());
    EXPECT_EQ(stored(QStringLiteral("HEADER")).toString(), QStringLiteral("Заголовок Б"));
    EXPECT_EQ(stored(QStringLiteral("COMMENT")).toString(), QStringLiteral("текст А"));
    EXPECT_EQ(stored(QStringLiteral("ISFINISH")).toString(), QStringLiteral("T"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds(*a, QStringLiteral("Заголовок Б")); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds(*b, QStringLiteral("Заголовок Б")); }, 5000));

    // The same field, and A's change reaches B while the dialog is open: the
    // dialog still weighs B's change against what it showed. B keeps A's.
    QStringList shown;
    m_platform.queueAnswer(false);
    editAt(*b, QStringLiteral("Заголовок Б"), [&](planner::TfmTask& dialog) {
        shown << dialog.header();
        if (shown.size() > 1)
            return; // the user closes the dialog after copying his text
        retype(*a, QStringLiteral("Заголовок Б"), QStringLiteral("От А"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return holds(*b, QStringLiteral("От А")); }, 5000));
        type(dialog, QStringLiteral("От Б"));
        dialog.sbOKClick();
    });
    EXPECT_TRUE(asked()) << m_platform.messageTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Заголовок Б"), QStringLiteral("От Б")}));
    EXPECT_EQ(stored(QStringLiteral("HEADER")).toString(), QStringLiteral("От А"));
    EXPECT_TRUE(holds(*b, QStringLiteral("От А")));

    // The same again, before the alert: B writes over A's change.
    m_platform.clearMessages();
    m_platform.queueAnswer(true);
    editAt(*b, QStringLiteral("От А"), [&](planner::TfmTask& dialog) {
        retype(*a, QStringLiteral("От А"), QStringLiteral("Снова А"));
        type(dialog, QStringLiteral("Снова Б"));
        dialog.sbOKClick();
    });
    EXPECT_TRUE(asked());
    EXPECT_EQ(stored(QStringLiteral("HEADER")).toString(), QStringLiteral("Снова Б"));
    EXPECT_EQ(stored(QStringLiteral("USERSID")).toInt(), m_worker);
    EXPECT_EQ(stored(QStringLiteral("COMMENT")).toString(), QStringLiteral("текст А"));
    a->close();
    b->close();
}

// B drags an event whose change by A has not reached it yet: A's header is
// merged with B's move; a move against A's committed move asks, and B's
// "no" leaves A's times with B's grid showing them.
TEST_F(WorkstationsTest, MoveAgainstACommittedChangeMergesOrAsks)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    addAt(*a, QStringLiteral("Груз"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds(*b, QStringLiteral("Груз")); }, 5000));
    const QDateTime start = stored(QStringLiteral("STARTTIME")).toDateTime();
    const QDateTime end = stored(QStringLiteral("ENDTIME")).toDateTime();
    widgets::PlannerGrid& grid = *b->planner()->grid();
    const auto dragAtB = [&](int hours) {
        widgets::PlannerItem* item = grid.itemByKey(b->planner()->events().value(QStringLiteral("ID")));
        ASSERT_NE(item, nullptr);
        grid.ensureVisible(item);
        const QPoint from = grid.itemRect(item).center();
        const QPoint to = from + QPoint(0, 2 * hours * grid.rowHeight());
        QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid.viewport(), to);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    };

    retype(*a, QStringLiteral("Груз"), QStringLiteral("Груз А"));
    ASSERT_TRUE(holds(*b, QStringLiteral("Груз"))) << "B has not seen A's change yet";
    dragAtB(1);
    EXPECT_FALSE(asked());
    EXPECT_EQ(stored(QStringLiteral("HEADER")).toString(), QStringLiteral("Груз А"));
    EXPECT_EQ(stored(QStringLiteral("STARTTIME")).toDateTime(), start.addSecs(3600));
    EXPECT_EQ(stored(QStringLiteral("ENDTIME")).toDateTime(), end.addSecs(3600));
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds(*a, QStringLiteral("Груз А")) &&
                                             holds(*b, QStringLiteral("Груз А")); }, 5000));
    QTest::qWait(200);

    // A moves it back by SQL of its own connection, committed; B moves it
    // further before hearing of it and keeps A's move.
    a->connection().execute(QStringLiteral("UPDATE EVENTS SET STARTTIME = :S, ENDTIME = :E, USERSID = :U"),
                            {{QStringLiteral("S"), start}, {QStringLiteral("E"), end},
                             {QStringLiteral("U"), m_boss}});
    a->connection().commitRetaining();
    m_platform.queueAnswer(false);
    dragAtB(1);
    EXPECT_TRUE(asked());
    EXPECT_EQ(stored(QStringLiteral("STARTTIME")).toDateTime(), start);
    ASSERT_TRUE(holds(*b, QStringLiteral("Груз А")));
    EXPECT_EQ(b->planner()->events().value(QStringLiteral("STARTTIME")).toDateTime(), start)
        << "B's rows show what is stored";
    widgets::PlannerItem* item = grid.itemByKey(b->planner()->events().value(QStringLiteral("ID")));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->start, start) << "and so does its grid";

    // A moves it again; its alert reaches B while B is being asked (the
    // real message box serves the event loop), and B writes over: his move
    // is stored, not lost to the rows read meanwhile.
    const QVariant key = b->planner()->events().value(QStringLiteral("ID"));
    const QDateTime later = start.addSecs(4 * 3600);
    a->connection().execute(QStringLiteral("UPDATE EVENTS SET STARTTIME = :S, ENDTIME = :E"),
                            {{QStringLiteral("S"), later}, {QStringLiteral("E"), end.addSecs(4 * 3600)}});
    a->connection().commitRetaining();
    const auto bShows = [&](const QDateTime& t) {
        db::Query& rows = b->planner()->events();
        return rows.locate(QStringLiteral("ID"), key) && rows.value(QStringLiteral("STARTTIME")).toDateTime() == t;
    };
    bool reloadedWhileAsked = false;
    m_platform.setWhileShown([&] { reloadedWhileAsked = QTest::qWaitFor([&] { return bShows(later); }, 5000); });
    m_platform.clearMessages();
    m_platform.queueAnswer(true);
    dragAtB(1);
    m_platform.setWhileShown(nullptr);
    EXPECT_TRUE(asked());
    EXPECT_TRUE(reloadedWhileAsked);
    EXPECT_EQ(stored(QStringLiteral("STARTTIME")).toDateTime(), start.addSecs(3600));
    EXPECT_TRUE(bShows(start.addSecs(3600)));
    a->close();
    b->close();
}

// B ticks the done box in its task list for an event A has just deleted:
// B is told and the event is not written back; a progress set by A is
// kept beside B's done mark.
TEST_F(WorkstationsTest, DoneMarkAgainstADeleteOrAProgressChange)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    addAt(*a, QStringLiteral("Отчёт"));
    b->findChild<QToolButton*>(QStringLiteral("sbTodoList"))->click();
    widgets::TaskListModel& list = *b->todoPage()->list()->taskModel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.rowCount() == 1; }, 5000));
    const QModelIndex box = list.index(0, widgets::TaskListModel::Done);

    a->connection().execute(QStringLiteral("UPDATE EVENTS SET ISPERCENT = 50"));
    a->connection().commitRetaining();
    EXPECT_TRUE(list.setData(box, Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(asked());
    EXPECT_EQ(stored(QStringLiteral("ISFINISH")).toString(), QStringLiteral("T"));
    EXPECT_EQ(stored(QStringLiteral("ISPERCENT")).toInt(), 50);
    QTest::qWait(200);

    a->connection().execute(QStringLiteral("DELETE FROM EVENTS"));
    a->connection().commitRetaining();
    m_platform.clearMessages();
    EXPECT_FALSE(list.setData(list.index(0, widgets::TaskListModel::Done), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_TRUE(m_platform.messageTexts().contains(planner::TfmTask::kEventGoneMessage))
        << m_platform.messageTexts().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(stored(QStringLiteral("ID")).isValid()) << "nothing written back";
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.rowCount() == 0; }, 5000));
    a->close();
    b->close();
}

// The task list page over a workstation's planner: the columns by the
// list's width, done marks and progress stored at once whatever the edit
// right, edit and delete by the edit right and by the event's key, and the
// search by heading.

#include "accessrights.h"
#include "eventcommands.h"
#include "plannerfixture.h"
#include "query.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "tfmtask.h"
#include "todopage.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QTest>

using namespace tarvik;
using tarvik::tasks::TodoPage;
using tarvik::widgets::TaskListModel;

namespace {

class TaskListTest : public test::PlannerPageFixture
{
protected:
    void SetUp() override
    {
        PlannerPageFixture::SetUp();
        m_boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
        m_place = addWorkPlace(QStringLiteral("Цех"), m_boss);
        m_worker = addUser(QStringLiteral("Рабочий"), UserRole::Worker, m_boss);
    }
    void TearDown() override
    {
        m_todo.reset();
        PlannerPageFixture::TearDown();
    }
    TodoPage& todo(int userId, UserRole role)
    {
        planner::PlannerPage& page = open(userId, role);
        m_todo = std::make_unique<TodoPage>(page);
        m_todo->resize(644, 300);
        m_todo->show();
        m_todo->pageShown();
        return *m_todo;
    }
    int add(const QString& header, int day, const QVariant& finished = {})
    {
        test::EventRow row = eventAt(m_place, at(3, day, 9), at(3, day, 10), header);
        row.isFinish = finished;
        return addEvent(row);
    }
    TaskListModel& model() const { return *m_todo->list()->taskModel(); }
    // The list's line of an event.
    int lineOf(int id) const
    {
        for (int r = 0; r < model().rowCount(); ++r)
            if (model().index(r, 0).data(TaskListModel::KeyRole).toInt() == id)
                return r;
        return -1;
    }
    QList<int> widths() const
    {
        QList<int> out;
        for (int c = 0; c < TaskListModel::ColumnCount; ++c)
            out << m_todo->list()->columnWidth(c);
        return out;
    }

    int m_boss = 0, m_place = 0, m_worker = 0;
    std::unique_ptr<TodoPage> m_todo;
};

} // namespace

// The list shows the planner's rows sorted by "Заголовок", finished lines
// green, bold and struck through, follows the query's current row both
// ways, and lays its columns out by its width.
TEST_F(TaskListTest, ShowsThePlannersRowsSortedAndLaidOutByWidth)
{
    const int cement = add(QStringLiteral("Цемент"), 16);
    const int alpha = add(QStringLiteral("Альфа"), 15, QStringLiteral("T"));
    const int beton = add(QStringLiteral("Бетон"), 14);
    TodoPage& page = todo(m_boss, UserRole::Boss);
    QAbstractItemModelTester tester(&model(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    EXPECT_EQ(page.caption(), QStringLiteral("Март"));
    EXPECT_EQ(widths(), (QList<int>{16, 204, 102, 102, 102, 102}));
    page.resize(600, 300);
    EXPECT_EQ(widths(), (QList<int>{16, 190, 95, 95, 95, 95}));

    ASSERT_EQ(model().rowCount(), 3);
    EXPECT_EQ(lineOf(alpha), 0);
    EXPECT_EQ(lineOf(beton), 1);
    EXPECT_EQ(lineOf(cement), 2);
    const int a = lineOf(alpha);
    EXPECT_EQ(model().index(a, TaskListModel::Start).data().toString(), QStringLiteral("15.03.2024 09:00"));
    EXPECT_EQ(model().index(a, TaskListModel::End).data().toString(), QStringLiteral("15.03.2024 10:00"));
    EXPECT_EQ(model().index(a, TaskListModel::WorkPlace).data().toString(), QStringLiteral("Цех"));
    EXPECT_EQ(model().index(a, TaskListModel::Done).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    const QFont done = model().index(a, TaskListModel::Start).data(Qt::FontRole).value<QFont>();
    EXPECT_TRUE(done.strikeOut() && done.bold());
    EXPECT_EQ(model().index(a, TaskListModel::Start).data(Qt::ForegroundRole).value<QBrush>().color(),
              QColor(0, 128, 0));
    const QFont open = model().index(lineOf(beton), TaskListModel::Start).data(Qt::FontRole).value<QFont>();
    EXPECT_FALSE(open.strikeOut() || open.bold());
    EXPECT_EQ(open.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(model().index(lineOf(beton), TaskListModel::Header).data(Qt::FontRole).value<QFont>().bold());

    widgets::TaskListGrid& list = *page.list();
    list.setCurrentIndex(model().index(lineOf(cement), TaskListModel::Header));
    EXPECT_EQ(m_page->events().value(QStringLiteral("ID")).toInt(), cement);
    ASSERT_TRUE(m_page->events().locate(QStringLiteral("ID"), beton));
    EXPECT_EQ(list.currentIndex().row(), lineOf(beton));

    // A reload keeps the sort and the current row follows the query.
    m_page->events().reopen();
    EXPECT_EQ(lineOf(alpha), 0);
    EXPECT_EQ(list.currentIndex().row(), lineOf(m_page->events().value(QStringLiteral("ID")).toInt()));
}

// A worker with only the view right ticks the box and sets the progress,
// each committed at once; he may neither edit nor delete the event.
TEST_F(TaskListTest, ViewOnlyWorkerMarksDoneAndProgressButCannotEditOrDelete)
{
    addRight(m_worker, m_place, true, false);
    const int id = add(QStringLiteral("Смена"), 15);
    TodoPage& page = todo(m_worker, UserRole::Worker);
    widgets::TaskListGrid& list = *page.list();
    const QModelIndex box = model().index(lineOf(id), TaskListModel::Done);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(box).center());
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("T"));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(box).center());
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
    EXPECT_TRUE(model().setData(model().index(lineOf(id), TaskListModel::Progress), 40));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISPERCENT")).toInt(), 40);
    EXPECT_FALSE(model().flags(model().index(0, TaskListModel::Header)) & Qt::ItemIsEditable);

    bool dialogShown = false;
    page.setDialogRunner([&](planner::TfmTask&) { dialogShown = true; });
    m_platform.setDefaultAnswer(true);
    page.sbEdTdEventClick();
    page.sbDelTdEventClick();
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(m_platform.messageTexts(), QStringList(2, kNoEditRightMessage));
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("Смена"));

    // A row another workstation holds changed: the server's refusal is
    // shown and the box shows what the database holds.
    m_platform.clearMessages();
    auto other = database().connect();
    other->execute(QStringLiteral("UPDATE EVENTS SET ALARM = 5 WHERE ID = :I"), {{QStringLiteral("I"), id}});
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(box).center());
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().at(0).kind, MessageKind::Error);
    EXPECT_EQ(model().index(lineOf(id), TaskListModel::Done).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    other->rollback();
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
}

// Edit stores through the task dialog; a store the server refuses brings
// the dialog back with what was typed; delete asks first.
TEST_F(TaskListTest, EditorWorkerEditsAndDeletesWithConfirmation)
{
    addRight(m_worker, m_place, true, true);
    const int id = add(QStringLiteral("Смена"), 15, QStringLiteral("T"));
    TodoPage& page = todo(m_worker, UserRole::Worker);

    // Another workstation holds the row changed but uncommitted: the store fails.
    auto other = database().connect();
    other->execute(QStringLiteral("UPDATE EVENTS SET ALARM = 5 WHERE ID = :I"), {{QStringLiteral("I"), id}});
    QStringList typedOnRuns;
    page.setDialogRunner([&](planner::TfmTask& dialog) {
        auto* header = dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"));
        typedOnRuns << header->text();
        if (typedOnRuns.size() == 1) {
            header->setText(QStringLiteral("Новая смена"));
            dialog.findChild<QCheckBox*>(QStringLiteral("cbIsFinish"))->setChecked(false);
            dialog.sbOKClick();
        } else if (typedOnRuns.size() == 2) {
            other->rollback();
            dialog.sbOKClick();
        }
    });
    page.sbEdTdEventClick();
    EXPECT_EQ(typedOnRuns, (QStringList{QStringLiteral("Смена"), QStringLiteral("Новая смена")}));
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().at(0).kind, MessageKind::Error);
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("Новая смена"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("SOUND")).toInt(), 0);
    EXPECT_EQ(eventColumn(id, QStringLiteral("USERSID")).toInt(), m_worker);

    m_platform.clearMessages();
    m_platform.queueAnswer(false);
    page.sbDelTdEventClick();
    EXPECT_TRUE(eventColumn(id, QStringLiteral("ID")).isValid());
    m_platform.queueAnswer(true);
    page.sbDelTdEventClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList(2, planner::EventCommands::kDeleteQuestion));
    EXPECT_FALSE(eventColumn(id, QStringLiteral("ID")).isValid());
    EXPECT_EQ(model().rowCount(), 0);
}

// The dialog stays open while another workstation deletes its event and
// the alert reloads the rows: OK then writes nothing to the event that
// became current instead.
TEST_F(TaskListTest, EditOfAnEventDeletedMeanwhileWritesNothing)
{
    const int gone = add(QStringLiteral("Уйдёт"), 15);
    const int stays = add(QStringLiteral("Останется"), 16);
    TodoPage& page = todo(m_boss, UserRole::Boss);
    ASSERT_TRUE(m_page->events().locate(QStringLiteral("ID"), gone));
    page.setDialogRunner([&](planner::TfmTask& dialog) {
        m_c->execute(QStringLiteral("DELETE FROM EVENTS WHERE ID = :I"), {{QStringLiteral("I"), gone}});
        m_c->commitRetaining();
        m_page->events().reopen();
        dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(QStringLiteral("Чужой текст"));
        dialog.sbOKClick();
    });
    page.sbEdTdEventClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{TodoPage::kEventGoneMessage});
    EXPECT_EQ(eventColumn(stays, QStringLiteral("HEADER")).toString(), QStringLiteral("Останется"));
}

// The search makes current the first event whose heading begins with the
// text in any letter case; a heading that only contains it does not count.
TEST_F(TaskListTest, SearchFindsHeadingPrefixIgnoringCase)
{
    const int inside = add(QStringLiteral("Альфа проверка"), 14);
    const int prefix = add(QStringLiteral("Проверка котла"), 15);
    TodoPage& page = todo(m_boss, UserRole::Boss);
    auto* box = page.findChild<QComboBox*>(QStringLiteral("cbTodoSearch"));
    EXPECT_EQ(box->currentText(), TodoPage::kSearchPrompt);
    ASSERT_TRUE(m_page->events().locate(QStringLiteral("ID"), inside));

    box->setEditText(QStringLiteral("пРОВ"));
    page.sbTodoSearchClick();
    EXPECT_EQ(m_page->events().value(QStringLiteral("ID")).toInt(), prefix);
    EXPECT_EQ(page.list()->currentIndex().row(), lineOf(prefix));
    box->setEditText(QStringLiteral("ерка"));
    page.sbTodoSearchClick();
    EXPECT_EQ(m_page->events().value(QStringLiteral("ID")).toInt(), prefix) << "no match: the line stays";
    box->setEditText(QStringLiteral("ерка"));
    page.sbTodoSearchClick();
    EXPECT_EQ(box->count(), 3) << "every search is added, repeated ones too";
}

// The rows shown were loaded before another workstation committed changes
// to the event (its alert not yet handled here). A done mark from the list
// and a drag on the planner write the row back whole: each must keep what
// was committed elsewhere and change only its own columns.
TEST_F(TaskListTest, DoneMarkAndDragOfALoadedRowKeepChangesCommittedElsewhere)
{
    addRight(m_worker, m_place, true, true);
    const int id = add(QStringLiteral("Смена"), 15);
    TodoPage& page = todo(m_worker, UserRole::Worker);
    auto other = database().connect();
    other->execute(QStringLiteral("UPDATE EVENTS SET HEADER = 'чужая правка', ISPERCENT = 50 WHERE ID = :I"),
                   {{QStringLiteral("I"), id}});
    other->commit();

    ASSERT_TRUE(
        model().setData(model().index(lineOf(id), TaskListModel::Done), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("T"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("чужая правка"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISPERCENT")).toInt(), 50);

    other->startTransaction();
    other->execute(QStringLiteral("UPDATE EVENTS SET COMMENT = 'ещё правка', ISFINISH = 'F' WHERE ID = :I"),
                   {{QStringLiteral("I"), id}});
    other->commit();
    page.hide();
    m_page->sb1Click();
    m_page->show();
    widgets::PlannerItem* item = grid().itemByKey(id);
    ASSERT_NE(item, nullptr);
    const QPoint from = grid().itemRect(item).center();
    const QPoint to = from + QPoint(0, 2 * grid().rowHeight());
    QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(grid().viewport(), to);
    QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, to);
    EXPECT_NE(eventColumn(id, QStringLiteral("STARTTIME")).toDateTime(), at(3, 15, 9))
        << "the drag was stored";
    EXPECT_EQ(eventColumn(id, QStringLiteral("COMMENT")).toString(), QStringLiteral("ещё правка"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("чужая правка"));
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

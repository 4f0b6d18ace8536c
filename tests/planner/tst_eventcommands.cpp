// The planner's editing commands on a real database, offscreen: add,
// change, delete, cut, copy, paste, the move check and the page search,
// each under the edit right and committed at once.

#include "eventcommands.h"
#include "plannerfixture.h"
#include "tfmtask.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using namespace tarvik;
using namespace tarvik::planner;
using tarvik::widgets::PlannerItem;
using tarvik::widgets::PlannerMove;

namespace {

class EventCommandsTest : public test::PlannerPageFixture
{
protected:
    void SetUp() override
    {
        PlannerPageFixture::SetUp();
        m_boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
        m_first = addWorkPlace(QStringLiteral("Цех 1"), m_boss);
        m_second = addWorkPlace(QStringLiteral("Цех 2"), m_boss);
        m_worker = addUser(QStringLiteral("Рабочий"), UserRole::Worker, m_boss);
        addRight(m_worker, m_first, true, true);
        addRight(m_worker, m_second, true, false);
    }
    EventCommands& commands() { return m_page->commands(); }
    // The next task dialog is answered: header, description, finished mark;
    // or cancelled when header is empty.
    void answerDialog(const QString& header, const QString& description = {}, bool finished = false)
    {
        commands().setDialogRunner([=, this](TfmTask& dialog) {
            m_dialogs++;
            if (header.isEmpty()) {
                dialog.reject();
                return;
            }
            dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(header);
            dialog.findChild<QPlainTextEdit*>(QStringLiteral("meTask"))->setPlainText(description);
            dialog.findChild<QCheckBox*>(QStringLiteral("cbIsFinish"))->setChecked(finished);
            dialog.sbOKClick();
        });
    }
    int eventCount()
    {
        db::Query q(*m_c, QStringLiteral("SELECT COUNT(*) FROM EVENTS"));
        q.open();
        return q.value(0).toInt();
    }
    QStringList headersIn(int workPlace)
    {
        db::Query q(*m_c, QStringLiteral("SELECT HEADER FROM EVENTS WHERE WORKPLACE = :W ORDER BY ID"));
        q.setParam(QStringLiteral("W"), workPlace);
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.text(QStringLiteral("HEADER"));
        return out;
    }
    void select(int eventId) { grid().selectItem(itemOf(eventId)); }

    int m_boss = 0, m_worker = 0, m_first = 0, m_second = 0;
    int m_dialogs = 0;
};

} // namespace

TEST_F(EventCommandsTest, AddStoresTheDialogOverTheSelectedCells)
{
    open(m_boss, UserRole::Boss).sb1Click();
    m_platform.setNow(at(3, 15, 10, 5));
    grid().selectCells(1, 20, 21); // 10:00 to 11:00 in half hours
    answerDialog(QStringLiteral("Новое"), QStringLiteral("Описание\nв две строки"));
    commands().sbAddClick();

    ASSERT_EQ(headersIn(m_second), QStringList{QStringLiteral("Новое")});
    ASSERT_TRUE(m_page->events().locate(QStringLiteral("HEADER"), QStringLiteral("Новое")));
    const int id = m_page->events().integer(QStringLiteral("ID"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("COMMENT")).toString(),
              QStringLiteral("Описание\nв две строки"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("STARTTIME")).toDateTime(), at(3, 15, 10));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ENDTIME")).toDateTime(), at(3, 15, 11));
    EXPECT_EQ(eventColumn(id, QStringLiteral("USERSID")).toInt(), m_boss);
    EXPECT_EQ(eventColumn(id, QStringLiteral("DATEEDIT")).toDateTime(), at(3, 15, 10, 5));
    EXPECT_EQ(eventColumn(id, QStringLiteral("TEMPLATE")).toInt(), 1);
    EXPECT_FALSE(eventColumn(id, QStringLiteral("ISFINISH")).isValid()) << "add stores nothing unless ticked";
    EXPECT_EQ(grid().itemCount(), 1) << "the temporary item is gone";
}

TEST_F(EventCommandsTest, CancelledDialogAndRefusedColumnStoreNothing)
{
    open(m_worker, UserRole::Worker).sb1Click();
    grid().selectCells(1, 20, 21); // the view-only place
    answerDialog(QStringLiteral("Запрещено"));
    commands().sbAddClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{kNoEditRightMessage});
    EXPECT_EQ(m_dialogs, 0) << "refused before the dialog opens";

    grid().selectCells(0, 20, 21);
    answerDialog(QString());
    commands().sbAddClick();
    EXPECT_EQ(m_dialogs, 1);
    EXPECT_EQ(eventCount(), 0);
}

TEST_F(EventCommandsTest, ChangeStoresFWhenNotTickedAndKeepsTimes)
{
    const int id = addEvent(eventAt(m_first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("старое")));
    open(m_boss, UserRole::Boss).sb1Click();
    select(id);
    m_platform.setNow(at(3, 15, 11));
    answerDialog(QStringLiteral("новое"), QStringLiteral("текст"));
    commands().sbEditClick();
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("новое"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("STARTTIME")).toDateTime(), at(3, 15, 9));
    EXPECT_EQ(eventColumn(id, QStringLiteral("DATEEDIT")).toDateTime(), at(3, 15, 11));

    grid().unselectAll();
    commands().sbEditClick();
    EXPECT_EQ(m_dialogs, 1) << "nothing happens without a selected item";
}

// Deleting asks; cutting does not; neither is allowed on a fixed item.
TEST_F(EventCommandsTest, DeleteAsksCutDoesNotAndFixedItemsAreRefused)
{
    const int kept = addEvent(eventAt(m_second, at(3, 15, 9), at(3, 15, 10), QStringLiteral("чужое")));
    const int mine = addEvent(eventAt(m_first, at(3, 15, 12), at(3, 15, 13), QStringLiteral("своё")));
    open(m_worker, UserRole::Worker).sb1Click();
    for (auto command :
         {&EventCommands::sbEditClick, &EventCommands::sbDelClick, &EventCommands::sbCutClick}) {
        select(kept);
        (commands().*command)();
    }
    EXPECT_EQ(m_platform.messageTexts(), QStringList(3, kNoEditRightMessage));
    EXPECT_EQ(eventCount(), 2);

    m_platform.clearMessages();
    select(mine);
    m_platform.queueAnswer(false);
    commands().sbDelClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{EventCommands::kDeleteQuestion});
    EXPECT_EQ(eventCount(), 2);
    m_platform.queueAnswer(true);
    commands().sbDelClick();
    EXPECT_EQ(eventCount(), 1);

    select(kept);
    commands().sbCopyClick(); // no right is needed to copy
    EXPECT_TRUE(commands().clipboard().filled);
    EXPECT_EQ(commands().clipboard().header, QStringLiteral("чужое"));
}

TEST_F(EventCommandsTest, PasteBeforeCopyShowsEmptyClipboardMessage)
{
    open(m_boss, UserRole::Boss).sb1Click();
    grid().selectCells(0, 20, 21);
    commands().sbPasteClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{EventCommands::kEmptyClipboardMessage});
    EXPECT_EQ(eventCount(), 0);
}

// Cut, paste into another column, paste again: two new events with the cut
// event's header, description and template, fresh keys, the paster as author.
TEST_F(EventCommandsTest, CutThenPasteTwiceMakesTwoNewEvents)
{
    test::EventRow row = eventAt(m_first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("перенос"));
    row.comment = QStringLiteral("описание");
    row.alarm = 20;
    const int cut = addEvent(row);
    open(m_boss, UserRole::Boss).sb1Click();
    select(cut);
    commands().sbCutClick();
    EXPECT_TRUE(m_platform.messages().isEmpty()) << "cutting does not ask";
    EXPECT_EQ(eventCount(), 0);

    m_platform.setNow(at(3, 15, 14));
    grid().selectCells(1, 28, 29); // 14:00 to 15:00
    commands().sbPasteClick();
    grid().selectCells(1, 30, 31); // 15:00 to 16:00
    commands().sbPasteClick();
    db::Query q(*m_c, QStringLiteral("SELECT * FROM EVENTS ORDER BY ID"));
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    for (q.first(); !q.eof(); q.next()) {
        EXPECT_NE(q.integer(QStringLiteral("ID")), cut);
        EXPECT_EQ(q.text(QStringLiteral("HEADER")), QStringLiteral("перенос"));
        EXPECT_EQ(q.text(QStringLiteral("COMMENT")), QStringLiteral("описание"));
        EXPECT_EQ(q.integer(QStringLiteral("WORKPLACE")), m_second);
        EXPECT_EQ(q.integer(QStringLiteral("USERSID")), m_boss);
        EXPECT_EQ(q.integer(QStringLiteral("ALARM")), 0) << "the reminder is not carried over";
    }
    EXPECT_EQ(q.valueAt(1, QStringLiteral("STARTTIME")).toDateTime(), at(3, 15, 15));
}

// A worker dragging into a column he may only view: two-line refusal, the
// item springs back.
TEST_F(EventCommandsTest, MoveIntoViewOnlyColumnIsRefusedAndPutBack)
{
    const int id = addEvent(eventAt(m_first, at(3, 15, 9), at(3, 15, 10)));
    open(m_worker, UserRole::Worker).sb1Click();
    PlannerItem* item = itemOf(id);
    ASSERT_NE(item, nullptr);
    PlannerMove move{at(3, 15, 9), at(3, 15, 10), 0, at(3, 15, 11), at(3, 15, 12), 1};
    grid().moveItem(item, move.newStart, move.newEnd, move.newPosition);
    commands().PlannerItemMove(item, move);
    EXPECT_EQ(m_platform.messageTexts(), QStringList{kNoMoveRightMessage});
    EXPECT_EQ(item->position, 0);
    EXPECT_EQ(item->start, at(3, 15, 9));

    m_platform.clearMessages();
    PlannerMove allowed{at(3, 15, 9), at(3, 15, 10), 0, at(3, 15, 11), at(3, 15, 12), 0};
    commands().PlannerItemMove(item, allowed);
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

TEST_F(EventCommandsTest, PageSearchIgnoresCaseAndMarkupAndStartsFromTheFirstItem)
{
    test::EventRow first = eventAt(m_first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("Сверка Счетов"));
    first.authorId = m_boss;
    const int a = addEvent(first);
    test::EventRow row = eventAt(m_second, at(3, 15, 11), at(3, 15, 12), QStringLiteral("другое"));
    row.comment = QStringLiteral("надо сверить остатки");
    const int b = addEvent(row);
    open(m_boss, UserRole::Boss).sb1Click();
    EXPECT_TRUE(commands().sbSearchClick(QStringLiteral("СЧЕТОВ")));
    EXPECT_EQ(grid().selectedItem(), itemOf(a));
    EXPECT_TRUE(commands().sbSearchClick(QStringLiteral("остатки")));
    EXPECT_EQ(grid().selectedItem(), itemOf(b));
    EXPECT_TRUE(commands().sbSearchClick(QStringLiteral("шеф"))) << "the author line is searched too";
    EXPECT_EQ(grid().selectedItem(), itemOf(a));
    EXPECT_FALSE(commands().sbSearchClick(QStringLiteral("font"))) << "markup tags are never matched";
    EXPECT_EQ(grid().selectedItem(), nullptr);
}

// Another workstation holds an uncommitted change of the event: change,
// delete and move fail at once with the server's text and lose nothing.
TEST_F(EventCommandsTest, LockConflictShowsServerTextAndLosesNothing)
{
    const int id = addEvent(eventAt(m_first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("занято")));
    open(m_boss, UserRole::Boss).sb1Click();
    auto other = database().connect();
    other->execute(QStringLiteral("UPDATE EVENTS SET COMMENT = 'чужая правка' WHERE ID = :I"),
                   {{QStringLiteral("I"), id}});

    select(id);
    answerDialog(QStringLiteral("моя правка"));
    commands().sbEditClick();
    m_platform.queueAnswer(true);
    select(id);
    commands().sbDelClick();
    // A real drag into the next column, two hours later.
    m_page->show();
    PlannerItem* item = itemOf(id);
    ASSERT_NE(item, nullptr);
    const QPoint from = grid().itemRect(item).center();
    const QPoint to =
        grid().cellRect(1, 22).center() + QPoint(0, from.y() - grid().cellRect(0, 18).center().y());
    QTest::mousePress(grid().viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(grid().viewport(), to);
    QTest::mouseRelease(grid().viewport(), Qt::LeftButton, {}, to);

    QStringList errors;
    for (const auto& m : m_platform.messages())
        if (m.kind == MessageKind::Error)
            errors << m.text;
    ASSERT_EQ(errors.size(), 3);
    for (const QString& e : errors)
        EXPECT_TRUE(e.contains(QStringLiteral("concurrent"))) << e.toStdString();
    EXPECT_EQ(m_page->events().state(), db::Query::State::Browse);
    ASSERT_TRUE(m_page->events().locate(QStringLiteral("ID"), id)) << "the row is still loaded";
    EXPECT_EQ(m_page->events().text(QStringLiteral("HEADER")), QStringLiteral("занято"));
    ASSERT_NE(itemOf(id), nullptr);
    EXPECT_EQ(itemOf(id)->position, 0) << "the item is back where the database has it";

    other->commit();
    EXPECT_EQ(eventColumn(id, QStringLiteral("HEADER")).toString(), QStringLiteral("занято"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("COMMENT")).toString(), QStringLiteral("чужая правка"));
    EXPECT_EQ(eventColumn(id, QStringLiteral("WORKPLACE")).toInt(), m_first);
}

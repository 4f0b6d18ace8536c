// The planner's editing commands on a real database, offscreen: add,
// change, delete, cut, copy, paste, the move check and the page search,
// each under the edit right and committed at once.

#include "changenotifier.h"
#include "eventcommands.h"
#include "plannerfixture.h"
#include "tfmnew.h"
#include "tfmtask.h"
#include "workplacetree.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
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
    // The failed store shows the dialog again with what was typed; the
    // user then gives up.
    QStringList shown;
    commands().setDialogRunner([&shown](TfmTask& dialog) {
        auto* header = dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"));
        auto* text = dialog.findChild<QPlainTextEdit*>(QStringLiteral("meTask"));
        shown << header->text() + QLatin1Char('|') + text->toPlainText();
        if (shown.size() > 1) {
            dialog.reject();
            return;
        }
        header->setText(QStringLiteral("моя правка"));
        text->setPlainText(QStringLiteral("длинный текст"));
        dialog.sbOKClick();
    });
    commands().sbEditClick();
    EXPECT_EQ(shown, QStringList({QStringLiteral("занято|"), QStringLiteral("моя правка|длинный текст")}));
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

// The task dialog is open on X; another workstation deletes X and the
// alert reloads the rows, so that another event is current when OK is
// pressed. Nothing is written; what was typed waits in the clipboard.
// Events moved by others are found by their key and keep their new place.
TEST_F(EventCommandsTest, ChangeGoesToItsOwnEventOrLeavesEverythingAlone)
{
    const int x = addEvent(eventAt(m_first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("икс")));
    const int y = addEvent(eventAt(m_first, at(3, 15, 11), at(3, 15, 12), QStringLiteral("игрек")));
    const int moved = addEvent(eventAt(m_first, at(3, 15, 13), at(3, 15, 14), QStringLiteral("сдвинут")));
    const int away = addEvent(eventAt(m_first, at(3, 15, 15), at(3, 15, 16), QStringLiteral("уехал")));
    open(m_boss, UserRole::Boss).sb1Click();
    auto other = database().connect();
    tasks::TfmNew notice;
    tasks::ChangeNotifier notifier(notice);
    notifier.setLoggedIn(true);
    notifier.setEventsQuery(&m_page->events());

    select(x);
    commands().setDialogRunner([&](TfmTask& dialog) {
        other->execute(QStringLiteral("DELETE FROM EVENTS WHERE ID = :I"), {{QStringLiteral("I"), x}});
        other->commitRetaining();
        notifier.handleAlert(QStringLiteral("DEL_EVENTS"));
        dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(QStringLiteral("моя правка"));
        dialog.sbOKClick();
    });
    commands().sbEditClick();
    EXPECT_EQ(m_platform.messageTexts(),
              QStringList{QStringLiteral("Задание удалено или перемещено другим пользователем. Изменения не "
                                         "сохранены.\nВведённый текст помещён в буфер обмена: его можно "
                                         "вставить командой «Вставить».")});
    EXPECT_EQ(eventColumn(y, QStringLiteral("HEADER")).toString(), QStringLiteral("игрек"));
    EXPECT_EQ(headersIn(m_first),
              QStringList({QStringLiteral("игрек"), QStringLiteral("сдвинут"), QStringLiteral("уехал")}));
    EXPECT_EQ(commands().clipboard().header, QStringLiteral("моя правка"));

    // Moved to the other column and to another month; this workstation has
    // not had the alert yet.
    other->execute(QStringLiteral("UPDATE EVENTS SET WORKPLACE = :W, COMMENT = 'чужое' WHERE ID = :I"),
                   {{QStringLiteral("W"), m_second}, {QStringLiteral("I"), moved}});
    other->execute(QStringLiteral("UPDATE EVENTS SET STARTTIME = :S, ENDTIME = :E WHERE ID = :I"),
                   {{QStringLiteral("S"), at(4, 2, 9)},
                    {QStringLiteral("E"), at(4, 2, 10)},
                    {QStringLiteral("I"), away}});
    other->commitRetaining();
    m_platform.clearMessages();
    select(moved);
    answerDialog(QStringLiteral("правка на новом месте"));
    commands().sbEditClick();
    EXPECT_TRUE(m_platform.messages().isEmpty());
    EXPECT_EQ(eventColumn(moved, QStringLiteral("HEADER")).toString(),
              QStringLiteral("правка на новом месте"));
    EXPECT_EQ(eventColumn(moved, QStringLiteral("WORKPLACE")).toInt(), m_second);

    select(away);
    answerDialog(QStringLiteral("не туда"));
    commands().sbEditClick();
    m_platform.queueAnswer(true);
    select(away);
    commands().sbDelClick();
    EXPECT_EQ(m_platform.messageTexts().size(), 3);
    EXPECT_EQ(m_platform.messageTexts().last(), TfmTask::kEventGoneMessage);
    EXPECT_EQ(eventColumn(away, QStringLiteral("HEADER")).toString(), QStringLiteral("уехал"));
    EXPECT_EQ(eventColumn(away, QStringLiteral("STARTTIME")).toDateTime(), at(4, 2, 9));
}

// Cells chosen before a group change or in another view are forgotten;
// without selected cells the current cell is used, and a right click makes
// the cell under the pointer current for the grid menu's commands.
TEST_F(EventCommandsTest, AddAndPasteUseTheCellsShownAfterGroupAndViewChanges)
{
    const int source = addEvent(eventAt(m_first, at(3, 15, 9), at(3, 15, 10), QStringLiteral("образец")));
    open(m_boss, UserRole::Boss).sb1Click();
    select(source);
    commands().sbCopyClick();
    grid().selectCells(1, 20, 21);
    m_page->workPlaceTree().tvWorkTypeChange({planner::EntryKind::WorkPlace, m_first});
    ASSERT_EQ(grid().positions(), 1);
    answerDialog(QStringLiteral("после смены группы"));
    commands().sbAddClick();
    EXPECT_EQ(headersIn(0), QStringList()) << "nothing is stored without a work place";
    EXPECT_EQ(headersIn(m_first),
              QStringList({QStringLiteral("образец"), QStringLiteral("после смены группы")}));

    // Day rows are not read as days after switching to the week.
    grid().selectCells(0, 20, 21);
    m_page->sb7Click();
    commands().sbPasteClick();
    db::Query pasted(*m_c, QStringLiteral("SELECT STARTTIME, ENDTIME FROM EVENTS WHERE HEADER = 'образец' "
                                          "AND ID <> :I"));
    pasted.setParam(QStringLiteral("I"), source);
    pasted.open();
    ASSERT_EQ(pasted.recordCount(), 1);
    EXPECT_EQ(pasted.value(QStringLiteral("STARTTIME")).toDateTime(), at(3, 11, 0));
    EXPECT_EQ(pasted.value(QStringLiteral("ENDTIME")).toDateTime(), at(3, 11, 23, 59));

    // A right click on an empty cell of the month view, then the grid menu.
    m_page->workPlaceTree().tvWorkTypeChange({planner::EntryKind::Root, m_boss});
    m_page->sb31Click();
    m_page->show();
    QTest::mouseClick(grid().viewport(), Qt::RightButton, {}, grid().cellRect(1, 3).center());
    auto* menu = m_page->findChild<QMenu*>(QStringLiteral("pmPlanner"));
    menu->hide();
    answerDialog(QStringLiteral("правой кнопкой"));
    menu->findChild<QAction*>(QStringLiteral("N4"))->trigger();
    EXPECT_EQ(headersIn(m_second), QStringList{QStringLiteral("правой кнопкой")});
    db::Query added(*m_c, QStringLiteral("SELECT STARTTIME FROM EVENTS WHERE HEADER = 'правой кнопкой'"));
    added.open();
    EXPECT_EQ(added.value(0).toDateTime(), at(3, 4, 0));
}

// Whatever is added or pasted on the month's last day is loaded with that
// month in every view; a week day of the neighbouring month is refused.
TEST_F(EventCommandsTest, EventsMadeOnTheMonthsLastDayAreLoadedInEveryView)
{
    m_c->execute(QStringLiteral("UPDATE OPTIONS SET STEP = 60, ENDTIMEGRID = '23:00'"));
    m_c->commitRetaining();
    const int source = addEvent(eventAt(m_first, at(3, 31, 9), at(3, 31, 10), QStringLiteral("образец")));
    m_platform.setNow(at(3, 31, 10));
    open(m_boss, UserRole::Boss).sb1Click();
    select(source);
    commands().sbCopyClick();
    grid().selectCells(0, 23, 23);
    answerDialog(QStringLiteral("день"));
    commands().sbAddClick();
    m_page->sb7Click();
    grid().selectCells(1, 6, 6);
    commands().sbPasteClick();
    m_page->sb31Click();
    grid().selectCells(1, 30, 30);
    answerDialog(QStringLiteral("месяц"));
    commands().sbAddClick();

    m_page->events().close();
    m_page->events().open();
    EXPECT_EQ(loadedHeaders(), QStringList({QStringLiteral("образец"), QStringLiteral("день"),
                                            QStringLiteral("образец"), QStringLiteral("месяц")}));
    db::Query ends(*m_c, QStringLiteral("SELECT ENDTIME FROM EVENTS WHERE ID <> :I"));
    ends.setParam(QStringLiteral("I"), source);
    ends.open();
    ASSERT_EQ(ends.recordCount(), 3);
    for (ends.first(); !ends.eof(); ends.next())
        EXPECT_EQ(ends.value(0).toDateTime(), at(3, 31, 23, 59));

    m_page->sb7Click();
    m_page->DBPlannerCalendarDaySelect(QDate(2024, 3, 1)); // 26 February to 3 March
    grid().selectCells(0, 1, 1);
    commands().sbPasteClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{EventCommands::kOutsideMonthMessage});
    EXPECT_EQ(eventCount(), 4);
}

// Texts typed beyond their columns are stored cut to them, not refused by
// the server with everything typed lost.
TEST_F(EventCommandsTest, LongTextsAreStoredCutToTheirColumns)
{
    open(m_boss, UserRole::Boss).sb1Click();
    grid().selectCells(0, 20, 21);
    answerDialog(QString(300, QChar(u'д')), QString(5000, QChar(u'о')));
    commands().sbAddClick();
    EXPECT_TRUE(m_platform.messages().isEmpty());
    EXPECT_EQ(headersIn(m_first), QStringList{QString(255, QChar(u'д'))});
    db::Query q(*m_c, QStringLiteral("SELECT COMMENT FROM EVENTS"));
    q.open();
    EXPECT_EQ(q.text(QStringLiteral("COMMENT")), QString(4000, QChar(u'о')));
}

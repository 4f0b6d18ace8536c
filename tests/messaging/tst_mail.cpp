// Mail between workstations on one database: the two copies of a letter,
// their pictures, open, answer, delete, search and the notice rules.

#include "connection.h"
#include "lettersmodel.h"
#include "mailpage.h"
#include "markupcombobox.h"
#include "messagingfixture.h"
#include "plannerpage.h"
#include "query.h"
#include "tfmaddtexts.h"
#include "tfmnew.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace tarvik;
using messaging::TfmAddTexts;

namespace {

class MailTest : public test::MessagingFixture
{
protected:
    static void showMail(startup::TfmMain& w)
    {
        w.findChild<QToolButton*>(QStringLiteral("sbTexts"))->click();
    }
    static void listSent(startup::TfmMain& w)
    {
        auto* kind = w.mail()->findChild<QComboBox*>(QStringLiteral("cbTextsType"));
        kind->setCurrentIndex(1);
        w.mail()->cbTextsTypeChange(1);
    }
    static int count(startup::TfmMain& w) { return w.mail()->letters().recordCount(); }
    static QStringList subjects(startup::TfmMain& w)
    {
        QStringList out;
        for (int row = 0; row < count(w); ++row)
            out << w.mail()->letters().valueAt(row, QStringLiteral("SUBJ")).toString();
        return out;
    }
    QVariant column(int id, const QString& name)
    {
        db::Query q(*m_c, QStringLiteral("SELECT * FROM TEXTS WHERE ID = :I"));
        q.setParam(QStringLiteral("I"), id);
        q.open();
        return q.value(name);
    }
};

// A to B: once in B's "Входящие", once in A's "Исходящие", both new; B opening
// it changes B's copy alone. The sender on the mail page gets no notice, the
// recipient on the planner does.
TEST_F(MailTest, ALetterIsTwoCopiesEachMarkedByItsOwner)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    showMail(*a);
    sendLetter(*a, m_worker, QStringLiteral("План"), QStringLiteral("Текст <b>письма</b>"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->noticeWindow()->isVisible(); }, 5000));
    EXPECT_EQ(
        b->noticeWindow()->lines(),
        (QStringList{QStringLiteral("<font size=\"12\" face=\"Arial\"><b>Новое сообщение</b></font><br><br>"),
                     QStringLiteral("<b>От:</b> Шеф<br>"), QStringLiteral("<b>Тема:</b> План")}));
    EXPECT_FALSE(a->noticeWindow()->isVisible()) << "the sender is on the mail page";

    showMail(*b);
    ASSERT_EQ(count(*b), 1);
    EXPECT_EQ(b->mail()->model().stateImage(0), 0);
    EXPECT_EQ(
        b->mail()->model().data(b->mail()->model().index(0, messaging::LettersModel::From), Qt::DisplayRole),
        QStringLiteral("Шеф"));
    listSent(*a);
    ASSERT_EQ(count(*a), 1);
    EXPECT_EQ(a->mail()->model().stateImage(0), 0);
    const int aCopy = a->mail()->currentId();

    QString shownTitle, shownTo, shownBody;
    bool okAvailable = true;
    b->mail()->setDialogRunner([&](TfmAddTexts& d) {
        shownTitle = d.windowTitle();
        shownTo = d.findChild<QLabel*>(QStringLiteral("lbUserName"))->text();
        shownBody = d.body();
        okAvailable = d.findChild<QToolButton*>(QStringLiteral("sbOK"))->isEnabled();
        d.sbCancelClick();
    });
    b->mail()->sbEditMessageClick();
    EXPECT_EQ(shownTitle, QStringLiteral("Правка"));
    EXPECT_EQ(shownTo, QStringLiteral("Рабочий"));
    EXPECT_EQ(shownBody, QStringLiteral("Текст <b>письма</b>"));
    EXPECT_FALSE(okAvailable);
    EXPECT_EQ(b->mail()->model().stateImage(0), 1);
    EXPECT_EQ(column(b->mail()->currentId(), QStringLiteral("ISREAD")).toString(), QStringLiteral("T"));
    EXPECT_TRUE(column(aCopy, QStringLiteral("ISREAD")).isNull()) << "A's copy is untouched";
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

// A letter to oneself is two rows owned by the sender, each in both lists.
TEST_F(MailTest, ALetterToOneselfIsListedTwiceInEachList)
{
    auto a = station(QStringLiteral("Шеф"));
    showMail(*a);
    sendLetter(*a, m_boss, QStringLiteral("Себе"), QStringLiteral("напоминание"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(*a) == 2; }, 5000));
    listSent(*a);
    EXPECT_EQ(count(*a), 2);
}

// Answering marks the copy answered without opening it, sends two copies
// with the subject unchanged to the letter's sender; deleting takes the
// current letter and makes its neighbour current; an empty list does
// nothing.
TEST_F(MailTest, AnswerAndDelete)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    for (const char* subject : {"Первое", "Второе", "Третье"})
        sendLetter(*a, m_worker, QString::fromUtf8(subject), QStringLiteral("текст"));
    showMail(*b);
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(*b) == 3; }, 5000));

    b->mail()->letters().setRecNo(1);
    const int answered = b->mail()->currentId();
    QString title;
    b->mail()->setDialogRunner([&](TfmAddTexts& d) {
        title = d.windowTitle();
        EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("lbUserName"))->text(), QStringLiteral("Шеф"));
        d.findChild<QPlainTextEdit*>(QStringLiteral("meBody"))->setPlainText(QStringLiteral("ответ"));
        b->mail()->letters().setRecNo(0); // a reload moved the current row meanwhile
        d.sbOKClick();
    });
    b->mail()->sbReplyClick();
    EXPECT_EQ(title, QStringLiteral("Ответ на сообщение"));
    b->mail()->sbTextsClick();
    ASSERT_TRUE(b->mail()->letters().locate(QStringLiteral("ID"), answered));
    EXPECT_EQ(b->mail()->model().stateImage(1), 2);
    EXPECT_EQ(b->mail()->model().stateImage(0), 0) << "the answer marks the letter it was opened for";
    EXPECT_TRUE(column(answered, QStringLiteral("ISREAD")).isNull()) << "answered without opening";
    db::Query answers(
        *m_c, QStringLiteral("SELECT IDUSER, IDFROM, IDTO, SUBJ, BODY FROM TEXTS WHERE BODY = 'ответ' "
                             "ORDER BY ID"));
    answers.open();
    ASSERT_EQ(answers.recordCount(), 2);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(answers.valueAt(row, QStringLiteral("SUBJ")).toString(), QStringLiteral("Второе"));
        EXPECT_EQ(answers.valueAt(row, QStringLiteral("IDFROM")).toInt(), m_worker);
        EXPECT_EQ(answers.valueAt(row, QStringLiteral("IDTO")).toInt(), m_boss);
    }
    EXPECT_EQ(answers.valueAt(0, QStringLiteral("IDUSER")).toInt(), m_boss) << "the recipient's copy first";

    // Deleting the third makes the second current; deleting the first makes
    // the new first current.
    b->mail()->letters().setRecNo(2);
    m_platform.queueAnswer(true);
    b->mail()->sbDelMessageClick();
    EXPECT_EQ(m_platform.messageTexts().last(), QStringLiteral("Вы уверены, что хотите удалить сообщение?"));
    EXPECT_EQ(subjects(*b), (QStringList{QStringLiteral("Первое"), QStringLiteral("Второе")}));
    EXPECT_EQ(b->mail()->letters().recNo(), 1);
    b->mail()->letters().setRecNo(0);
    m_platform.queueAnswer(false);
    b->mail()->sbDelMessageClick();
    EXPECT_EQ(count(*b), 2) << "No keeps it";
    m_platform.queueAnswer(true);
    b->mail()->sbDelMessageClick();
    EXPECT_EQ(subjects(*b), QStringList{QStringLiteral("Второе")});
    EXPECT_EQ(b->mail()->letters().recNo(), 0);
    m_platform.queueAnswer(true);
    b->mail()->sbDelMessageClick();
    EXPECT_EQ(count(*b), 0);

    int dialogs = 0;
    b->mail()->setDialogRunner([&](TfmAddTexts&) { ++dialogs; });
    m_platform.clearMessages();
    b->mail()->sbEditMessageClick();
    b->mail()->sbReplyClick();
    b->mail()->sbDelMessageClick();
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

// The search finds the first body beginning with the text, case ignored;
// every search, found or not, grows the history.
TEST_F(MailTest, SearchByBodyPrefixIgnoringCase)
{
    auto a = station(QStringLiteral("Шеф"));
    sendLetter(*a, m_boss, QStringLiteral("1"), QStringLiteral("Отчёт будет позже"));
    sendLetter(*a, m_boss, QStringLiteral("2"), QStringLiteral("Совещание в 10   "));
    showMail(*a);
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(*a) == 4; }, 5000));
    a->mail()->letters().setRecNo(0);
    auto* find = a->mail()->findChild<QComboBox*>(QStringLiteral("cbFindTexts"));
    EXPECT_EQ(find->currentText(), QStringLiteral("Поиск на странице"));
    find->setEditText(QStringLiteral("совещание в 10"));
    a->mail()->sbFindTextsClick();
    EXPECT_EQ(a->mail()->letters().text(QStringLiteral("SUBJ")), QStringLiteral("2"));
    find->setEditText(QStringLiteral("позже"));
    a->mail()->sbFindTextsClick();
    EXPECT_EQ(a->mail()->letters().text(QStringLiteral("SUBJ")), QStringLiteral("2")) << "not a prefix";
    EXPECT_EQ(find->count(), 2);
    EXPECT_EQ(find->itemText(1), QStringLiteral("позже"));
}

// A recipient whose mail page last showed "Исходящие" gets no notice: the
// refresh re-runs that list, whose last row does not change.
TEST_F(MailTest, NoNoticeWhileTheSentListIsTheOneKept)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    showMail(*b);
    listSent(*b);
    b->findChild<QToolButton*>(QStringLiteral("sb1"))->click();
    sendLetter(*a, m_worker, QStringLiteral("Тема"), QStringLiteral("текст"));
    auto watcher = station(QStringLiteral("Сторож"));
    sendLetter(*a, m_guard, QStringLiteral("Сторожу"), QStringLiteral("текст"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher->noticeWindow()->isVisible(); }, 5000));
    EXPECT_FALSE(b->noticeWindow()->isVisible());
    EXPECT_EQ(b->mail()->kind(), messaging::LetterList::Sent);
}

// The dialog stops at the columns' lengths; a store that fails keeps the
// dialog with what was typed and leaves nothing half-written.
TEST_F(MailTest, LimitsAndAFailedAnswerKeepTheText)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    sendLetter(*a, m_worker, QStringLiteral("Вопрос"), QStringLiteral("текст"));
    showMail(*b);
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(*b) == 1; }, 5000));
    const int letter = b->mail()->currentId();

    // Another connection holds the letter's row: marking it answered fails.
    auto holder = database().connect();
    holder->execute(QStringLiteral("UPDATE TEXTS SET SUBJ = SUBJ WHERE ID = :I"),
                    {{QStringLiteral("I"), letter}});
    QStringList typed;
    int runs = 0;
    b->mail()->setDialogRunner([&](TfmAddTexts& d) {
        ++runs;
        auto* subject = d.findChild<QLineEdit*>(QStringLiteral("edSubj"));
        auto* body = d.findChild<QPlainTextEdit*>(QStringLiteral("meBody"));
        EXPECT_EQ(subject->maxLength(), 255);
        if (runs == 1) {
            body->setPlainText(QString(1200, QLatin1Char('x')));
            EXPECT_EQ(body->toPlainText().size(), 1000);
            body->setPlainText(QStringLiteral("мой ответ"));
            d.sbOKClick();
        } else {
            typed << body->toPlainText();
            d.sbCancelClick();
        }
    });
    b->mail()->sbReplyClick();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(typed, QStringList{QStringLiteral("мой ответ")});
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().first().kind, MessageKind::Error);
    holder->rollbackRetaining();
    db::Query q(*m_c, QStringLiteral("SELECT COUNT(*) FROM TEXTS"));
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 2) << "no answer copy left behind";
}

// The planner's user link opens a new letter to that user; the mail
// "Правка" menu carries the commands.
TEST_F(MailTest, PlannerLinkPresetsTheRecipientAndTheMenuIsWired)
{
    auto a = station(QStringLiteral("Шеф"));
    int recipient = -1;
    bool okAvailable = false;
    a->mail()->setDialogRunner([&](TfmAddTexts& d) {
        recipient = d.recipientId();
        okAvailable = d.findChild<QToolButton*>(QStringLiteral("sbOK"))->isEnabled();
        d.sbCancelClick();
    });
    emit a->planner()->newLetterRequested(m_guard);
    EXPECT_EQ(recipient, m_guard);
    EXPECT_TRUE(okAvailable);

    auto* menu = a->findChild<QMenu*>(QStringLiteral("miEditTexts"));
    QStringList items;
    for (QAction* action : menu->actions())
        items << action->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("Новое сообщение"), QStringLiteral("Открыть"),
                                  QStringLiteral("Удалить"), QStringLiteral("Ответить"), QString(),
                                  QStringLiteral("Печать")}));
    recipient = -1;
    menu->actions().first()->trigger();
    EXPECT_EQ(recipient, 0) << "no preset from the menu";
    EXPECT_FALSE(okAvailable);
}

} // namespace

// The chat between workstations on one database: delivery to all or to one
// user through the alerts, the line formats, clearing, leaving, several
// messages in one refresh, and sends that commit out of key order.

#include "chatpage.h"
#include "connection.h"
#include "markupcombobox.h"
#include "messagingfixture.h"
#include "query.h"
#include "tfmnew.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

using namespace tarvik;

namespace {

class ChatTest : public test::MessagingFixture
{
protected:
    static void showChat(startup::TfmMain& w)
    {
        w.findChild<QToolButton*>(QStringLiteral("sbMesages"))->click();
    }
    // The line with the time of day replaced by "T", for exact comparison.
    static QStringList timeless(const QStringList& lines)
    {
        static const QRegularExpression time(QStringLiteral("\\(\\d\\d:\\d\\d:\\d\\d\\)"));
        QStringList out;
        for (QString line : lines)
            out << line.replace(time, QStringLiteral("(T)"));
        return out;
    }
    static QTextCharFormat lineFormat(const startup::TfmMain& w, int line)
    {
        const QTextBlock block = w.chat()->view()->document()->findBlockByNumber(line);
        return block.begin().fragment().charFormat();
    }
    // A message stored on a connection of its own; committed by the caller.
    int store(db::Connection& c, int from, int to, const QString& body)
    {
        const int id = int(c.generatorValue(QStringLiteral("MESAGES_ID")));
        c.execute(QStringLiteral(
                      "INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY, FONTCOLOR) VALUES (:I, :F, :T, :B, 0)"),
                  {{QStringLiteral("I"), id},
                   {QStringLiteral("F"), from},
                   {QStringLiteral("T"), to},
                   {QStringLiteral("B"), body}});
        return id;
    }
};

// A to all reaches every station in A's colour and style; A to B only A and
// B; an empty text still gives a line, ending in " : ".
TEST_F(ChatTest, MessagesReachTheirRecipientsInTheSendersStyle)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    auto c = station(QStringLiteral("Сторож"));
    showChat(*a);
    EXPECT_EQ(a->chat()->recipients()->count(), 5) << "Всем and the four users";
    EXPECT_EQ(a->chat()->recipients()->markupItem(0),
              QStringLiteral("<font color=\"clGreen\"><b>Всем</b></font>"));

    m_platform.queueColor(QColor(200, 0, 0));
    a->chat()->findChild<QToolButton*>(QStringLiteral("sbMesagesColor"))->click();
    a->chat()->findChild<QCheckBox*>(QStringLiteral("cbMesBold"))->setChecked(true);
    say(*a, -1, QStringLiteral("Всем привет"));
    for (auto* w : {a.get(), b.get(), c.get()})
        ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*w).size() == 1; }, 5000));
    for (auto* w : {a.get(), b.get(), c.get()}) {
        EXPECT_EQ(timeless(chatLines(*w)), QStringList{QStringLiteral("Шеф -> Всем (T) : Всем привет")});
        EXPECT_EQ(lineFormat(*w, 0).foreground().color(), QColor(200, 0, 0));
        EXPECT_EQ(lineFormat(*w, 0).fontWeight(), QFont::Bold);
        EXPECT_FALSE(lineFormat(*w, 0).fontItalic());
    }
    EXPECT_EQ(a->chat()->findChild<QLineEdit*>(QStringLiteral("edSendText"))->selectedText(),
              QStringLiteral("Всем привет"));
    EXPECT_FALSE(a->noticeWindow()->isVisible()) << "A has the chat in view";
    EXPECT_TRUE(b->noticeWindow()->isVisible()) << "B is on the planner";

    a->chat()->findChild<QCheckBox*>(QStringLiteral("cbMesBold"))->setChecked(false);
    a->chat()->findChild<QCheckBox*>(QStringLiteral("cbMesItall"))->setChecked(true);
    // Enter sends, whatever modifier is held.
    a->chat()->recipients()->selectPosition(a->chat()->recipients()->findData(m_worker));
    auto* line = a->chat()->findChild<QLineEdit*>(QStringLiteral("edSendText"));
    line->clear();
    QTest::keyClick(line, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return chatLines(*b).size() == 2 && chatLines(*a).size() == 2; }, 5000));
    EXPECT_EQ(timeless(chatLines(*b)).last(), QStringLiteral("Шеф -> Рабочий (T) : "));
    EXPECT_TRUE(lineFormat(*b, 1).fontItalic());
    EXPECT_EQ(lineFormat(*b, 1).fontWeight(), QFont::Normal);
    say(*a, -1, QStringLiteral("после"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*c).size() == 2; }, 5000));
    EXPECT_EQ(timeless(chatLines(*c)).last(), QStringLiteral("Шеф -> Всем (T) : после"))
        << "the private line never reached C";
    EXPECT_TRUE(m_platform.messages().isEmpty())
        << m_platform.messageTexts().join(QLatin1Char('|')).toStdString();
}

// Clearing keeps the mark: the next message brings only itself. Leaving
// deletes the leaver's messages, while the others' views keep them.
TEST_F(ChatTest, ClearingAndLeaving)
{
    auto a = station(QStringLiteral("Шеф"));
    auto b = station(QStringLiteral("Рабочий"));
    showChat(*a);
    showChat(*b);
    say(*b, -1, QStringLiteral("раз"));
    say(*b, -1, QStringLiteral("два"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*a).size() == 2; }, 5000));
    a->chat()->findChild<QToolButton*>(QStringLiteral("sbClearMesages"))->click();
    EXPECT_TRUE(chatLines(*a).isEmpty());
    say(*b, -1, QStringLiteral("три"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !chatLines(*a).isEmpty(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(timeless(chatLines(*a)), QStringList{QStringLiteral("Рабочий -> Всем (T) : три")});

    // What leaving wrote is committed as the program ends and its
    // connection closes.
    b->close();
    b.reset();
    db::Query left(*m_c, QStringLiteral("SELECT COUNT(*) FROM MESAGES WHERE IDFROM = :F"));
    left.setParam(QStringLiteral("F"), m_worker);
    left.open();
    EXPECT_EQ(left.value(0).toInt(), 0);
    QTest::qWait(200);
    EXPECT_EQ(chatLines(*a).size(), 1) << "A's view keeps B's line";
}

// Two messages committed before a refresh both come, in key order, and the
// notice (the user is on the planner) names the second.
TEST_F(ChatTest, TwoMessagesInOneRefreshComeInKeyOrderWithTheNoticeForTheLast)
{
    auto a = station(QStringLiteral("Шеф"));
    auto other = database().connect();
    store(*other, m_worker, -1, QStringLiteral("первое"));
    store(*other, m_guard, m_boss, QStringLiteral("<i>второе</i>"));
    other->commitRetaining();
    ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*a).size() == 2; }, 5000));
    EXPECT_EQ(timeless(chatLines(*a)), (QStringList{QStringLiteral("Рабочий -> Всем (T) : первое"),
                                                    QStringLiteral("Сторож -> Шеф (T) : <i>второе</i>")}));
    ASSERT_TRUE(a->noticeWindow()->isVisible());
    EXPECT_EQ(
        a->noticeWindow()->lines(),
        (QStringList{
            QStringLiteral("<font size=\"12\" face=\"Arial\"><b>Новое сообщение в чате</b></font><br><br>"),
            QStringLiteral("<b>Сторож</b> -> <b>Шеф</b> : &lt;i&gt;второе&lt;/i&gt;")}))
        << "the text is shown as typed, not read as markup";
}

// Two sends overlap: the lower key commits after the higher one has been
// fetched. The lower one must still come, once, and nothing comes twice.
TEST_F(ChatTest, ALowerKeyCommittedLaterIsNeitherLostNorRepeated)
{
    auto a = station(QStringLiteral("Шеф"));
    showChat(*a);
    auto slow = database().connect();
    auto fast = database().connect();
    const int low = store(*slow, m_worker, -1, QStringLiteral("медленное"));
    const int high = store(*fast, m_guard, -1, QStringLiteral("быстрое"));
    ASSERT_LT(low, high);
    fast->commitRetaining();
    ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*a).size() == 1; }, 5000));
    EXPECT_EQ(a->chat()->mark().mark(), high);

    slow->commitRetaining();
    ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*a).size() == 2; }, 5000));
    store(*fast, m_guard, -1, QStringLiteral("ещё"));
    fast->commitRetaining();
    ASSERT_TRUE(QTest::qWaitFor([&] { return chatLines(*a).size() >= 3; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(timeless(chatLines(*a)), (QStringList{QStringLiteral("Сторож -> Всем (T) : быстрое"),
                                                    QStringLiteral("Рабочий -> Всем (T) : медленное"),
                                                    QStringLiteral("Сторож -> Всем (T) : ещё")}));
    EXPECT_EQ(a->chat()->mark().awaited().count(low), 0u) << "what was fetched is no longer awaited";

    // Showing the page again does not skip a message whose alert is still
    // on the way.
    store(*fast, m_guard, -1, QStringLiteral("в пути"));
    fast->commitRetaining();
    showChat(*a);
    EXPECT_EQ(chatLines(*a).size(), 4);
    QTest::qWait(300);
    EXPECT_EQ(timeless(chatLines(*a)).mid(3), QStringList{QStringLiteral("Сторож -> Всем (T) : в пути")});
}

// A user logging in elsewhere changes his presence colour in the recipient
// list; the chosen position stays.
TEST_F(ChatTest, RecipientListFollowsPresence)
{
    auto a = station(QStringLiteral("Шеф"));
    showChat(*a);
    widgets::MarkupComboBox* to = a->chat()->recipients();
    const int worker = to->findData(m_worker);
    ASSERT_GT(worker, 0);
    EXPECT_TRUE(to->markupItem(worker).contains(QStringLiteral("clSilver")));
    to->selectPosition(worker);
    auto b = station(QStringLiteral("Рабочий"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !to->markupItem(worker).contains(QStringLiteral("clSilver")); }, 5000));
    EXPECT_EQ(to->selectedPosition(), worker);
}

} // namespace

// What users type that nobody expected, through the windows that store it:
// characters the database's code page lacks are refused with a message
// naming them and wait in the window to be changed; quotes and LIKE's
// wildcards are stored as typed.

#include "adminfixture.h"

#include "admincommands.h"
#include "chatpage.h"
#include "connection.h"
#include "dialogbar.h"
#include "elidedlabel.h"
#include "eventcommands.h"
#include "mailpage.h"
#include "markupcombobox.h"
#include "markupstatusbar.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "query.h"
#include "soundspage.h"
#include "templatespage.h"
#include "tfmaddsound.h"
#include "tfmaddtexts.h"
#include "tfmadduser.h"
#include "tfmoptions.h"
#include "tfmsystementer.h"
#include "tfmtask.h"
#include "tfmtemplate.h"
#include "tfmusersmanager.h"
#include "tfmworkplace.h"
#include "workplacespage.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

const QString kForeign = QStringLiteral("План 😀 中文 ğ");
const QString kRefusal =
    QStringLiteral("Символы «😀», «中», «文», «ğ» нельзя сохранить в базе данных. Измените текст.");
// Both quotes, the wildcards and the euro sign, which the code page has.
const QString kQuoted = QStringLiteral("О'Нил \"Ромашка\" 50% a_b €");

class HostileInputTest : public test::AdminFixture
{
protected:
    // The errors shown since the last call.
    QStringList takeErrors()
    {
        QStringList out;
        for (const auto& m : m_platform.messages())
            if (m.kind == MessageKind::Error)
                out << m.text;
        m_platform.clearMessages();
        return out;
    }
    // Committed rows whose column holds exactly value.
    int count(const QString& table, const QString& column, const QString& value)
    {
        auto other = database().connect();
        db::Query q(*other, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = :V").arg(table, column));
        q.setParam(QStringLiteral("V"), value);
        q.open();
        return q.value(0).toInt();
    }
};

} // namespace

// Each window: the foreign text is refused with the message and comes back
// in the window; the same window then stores the quoted text unchanged.
TEST_F(HostileInputTest, ForeignCharactersAreRefusedAndKeptQuotesAreStoredAsTyped)
{
    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
    m_platform.clearMessages();
    QStringList names;
    // A template and a sound.
    onModal<admin::TfmOptions>([&](admin::TfmOptions& o) {
        onModal<admin::TfmTemplate>([&](admin::TfmTemplate& t) {
            t.findChild<QLineEdit*>(QStringLiteral("dbeName"))->setText(kForeign);
            onModal<admin::TfmTemplate>([&](admin::TfmTemplate& again) {
                names << again.findChild<QLineEdit*>(QStringLiteral("dbeName"))->text();
                again.findChild<QLineEdit*>(QStringLiteral("dbeName"))->setText(kQuoted);
                again.bar()->okButton()->click();
            });
            t.bar()->okButton()->click();
        });
        o.templatesPage()->sbAddTemplateClick();
        onModal<admin::TfmAddSound>([&](admin::TfmAddSound& d) {
            d.setFields(kForeign, QStringLiteral("/snd/a.wav"));
            // A chosen path longer than its column is refused, not cut.
            m_platform.queueOpenFile(QStringLiteral("/snd/") + QString(1000, QLatin1Char('x')));
            d.findChild<QToolButton*>(QStringLiteral("btBrowse"))->click();
            EXPECT_EQ(d.path(), QStringLiteral("/snd/a.wav"));
            EXPECT_TRUE(
                m_platform.messageTexts().last().startsWith(QStringLiteral("Путь к файлу длиннее 1000")));
            onModal<admin::TfmAddSound>([&](admin::TfmAddSound& again) {
                names << again.name();
                again.setFields(kQuoted, QStringLiteral("/snd/a.wav"));
                again.bar()->okButton()->click();
            });
            d.bar()->okButton()->click();
        });
        o.soundsPage()->sbAddSoundClick();
        o.sbOKClick();
    });
    admin->administration().miSystemParamClick();
    EXPECT_EQ(names, QStringList({kForeign, kForeign}));
    EXPECT_EQ(takeErrors(), QStringList({kRefusal, kRefusal}));
    EXPECT_EQ(count(QStringLiteral("TEMPLATE"), QStringLiteral("NAME"), kQuoted), 1);
    EXPECT_EQ(count(QStringLiteral("SOUNDS"), QStringLiteral("NAME"), kQuoted), 1);

    // A user, and a password the code page lacks.
    names.clear();
    onModal<admin::TfmUsersManager>([&](admin::TfmUsersManager& m) {
        onModal<admin::TfmAddUser>([&](admin::TfmAddUser& d) {
            d.setFields(kQuoted, QStringLiteral("ключ😀"));
            onModal<admin::TfmAddUser>([&](admin::TfmAddUser& again) {
                names << again.name() + QLatin1Char('|') + again.password();
                again.setFields(kQuoted, QStringLiteral("ключ"));
                again.bar()->okButton()->click();
            });
            d.bar()->okButton()->click();
        });
        m.findChild<QToolButton*>(QStringLiteral("sbAddBoss"))->click();
        m.bar()->okButton()->click();
    });
    admin->administration().miUsersManagerClick();
    EXPECT_EQ(names, QStringList{kQuoted + QStringLiteral("|ключ😀")});
    EXPECT_EQ(takeErrors(),
              QStringList{QStringLiteral("Символ «😀» нельзя сохранить в базе данных. Измените текст.")});
    EXPECT_EQ(count(QStringLiteral("USERS"), QStringLiteral("PASS"), QStringLiteral("ключ")), 1);
    EXPECT_EQ(count(QStringLiteral("USERS"), QStringLiteral("NAME"), kQuoted), 1);
    admin->close();
    admin.reset(); // its leaving is committed as the connection closes

    auto boss = loggedIn(QStringLiteral("Шеф"), QStringLiteral("Pw"), false);
    boss->show();
    boss->FormActivate();
    m_platform.clearMessages();

    // The task dialog.
    QStringList shown;
    boss->findChild<QToolButton*>(QStringLiteral("sb1"))->click();
    boss->planner()->grid()->selectCells(0, 20, 21);
    boss->planner()->commands().setDialogRunner([&](planner::TfmTask& d) {
        auto* header = d.findChild<QLineEdit*>(QStringLiteral("edHeader"));
        auto* text = d.findChild<QPlainTextEdit*>(QStringLiteral("meTask"));
        shown << header->text() + QLatin1Char('|') + text->toPlainText();
        if (shown.size() == 1) {
            header->setText(kForeign);
            text->setPlainText(QStringLiteral("описание"));
        } else {
            header->setText(kQuoted);
        }
        d.sbOKClick();
    });
    boss->planner()->commands().sbAddClick();
    EXPECT_EQ(shown, QStringList({QStringLiteral("|"), kForeign + QStringLiteral("|описание")}));
    EXPECT_EQ(takeErrors(), QStringList{kRefusal});
    EXPECT_EQ(count(QStringLiteral("EVENTS"), QStringLiteral("HEADER"), kQuoted), 1);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM EVENTS")), 1);

    // A new letter.
    QStringList typed;
    boss->mail()->setDialogRunner([&](messaging::TfmAddTexts& d) {
        auto* subject = d.findChild<QLineEdit*>(QStringLiteral("edSubj"));
        auto* body = d.findChild<QPlainTextEdit*>(QStringLiteral("meBody"));
        typed << subject->text() + QLatin1Char('|') + body->toPlainText();
        if (typed.size() == 1)
            subject->setText(QStringLiteral("Тема"));
        body->setPlainText(typed.size() == 1 ? kForeign : kQuoted);
        d.sbOKClick();
    });
    boss->mail()->newLetter(m_worker);
    EXPECT_EQ(typed, QStringList({QStringLiteral("|"), QStringLiteral("Тема|") + kForeign}));
    EXPECT_EQ(takeErrors(), QStringList{kRefusal});
    EXPECT_EQ(count(QStringLiteral("TEXTS"), QStringLiteral("BODY"), kQuoted), 2) << "the two copies";
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM TEXTS")), 2);

    // The chat line.
    auto* line = boss->chat()->findChild<QLineEdit*>(QStringLiteral("edSendText"));
    line->setText(kForeign);
    boss->chat()->sbSendClick();
    EXPECT_EQ(line->text(), kForeign);
    EXPECT_EQ(takeErrors(), QStringList{kRefusal});
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM MESAGES")), 0);
    line->setText(kQuoted);
    boss->chat()->sbSendClick();
    EXPECT_EQ(count(QStringLiteral("MESAGES"), QStringLiteral("BODY"), kQuoted), 1);

    // A work place of the boss.
    names.clear();
    onModal<admin::TfmOptions>([&](admin::TfmOptions& o) {
        onModal<admin::TfmWorkPlace>([&](admin::TfmWorkPlace& d) {
            d.deName()->setText(kForeign);
            onModal<admin::TfmWorkPlace>([&](admin::TfmWorkPlace& again) {
                names << again.name();
                again.deName()->setText(kQuoted);
                again.bar()->okButton()->click();
            });
            d.bar()->okButton()->click();
        });
        o.workPlacesPage()->sbAddPlaceClick();
        o.sbOKClick();
    });
    boss->administration().miWorkPlacesClick();
    EXPECT_EQ(names, QStringList{kForeign});
    EXPECT_EQ(takeErrors(), QStringList{kRefusal});
    EXPECT_EQ(count(QStringLiteral("WORKPLACE"), QStringLiteral("NAME"), kQuoted), 1);
    boss->close();
}

// A user name as long as its column: the windows that show it keep within
// the screen, and where a name is cut its whole text is the tooltip.
TEST_F(HostileInputTest, HundredLetterNameKeepsTheWindowsOnTheScreen)
{
    const QString name(100, QChar(0x0428)); // "Ш", the widest letter
    m_c->execute(QStringLiteral("UPDATE USERS SET NAME = :N WHERE ID = :I"),
                 {{QStringLiteral("N"), name}, {QStringLiteral("I"), m_boss}});
    m_c->commitRetaining();
    auto worker = loggedIn(QStringLiteral("Рабочий"), QStringLiteral("Pw"), false);
    const int screen = worker->screen()->availableGeometry().width();
    auto fitsTheScreen = [screen](QWidget& w) {
        w.show();
        QCoreApplication::processEvents();
        // The frame may reach past a window laid over the whole screen.
        return w.width() <= screen && w.minimumSizeHint().width() <= screen;
    };

    auto* login = worker->loginDialog()->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));
    ASSERT_TRUE(worker->users().locate(QStringLiteral("ID"), m_boss));
    login->selectPosition(worker->users().recNo());
    EXPECT_LE(login->sizeHint().width(), screen);
    EXPECT_TRUE(login->cutText().contains(name));

    EXPECT_TRUE(fitsTheScreen(*worker));
    auto* chat = worker->chat()->recipients();
    for (int i = 0; i < chat->count(); ++i)
        if (chat->itemText(i).contains(name))
            chat->selectPosition(i);
    EXPECT_TRUE(chat->cutText().contains(name));
    EXPECT_TRUE(fitsTheScreen(*worker)) << "with the chat's recipient chosen";

    messaging::TfmAddTexts answer(messaging::TfmAddTexts::Mode::Answer);
    answer.setRecipient(m_boss, name);
    EXPECT_TRUE(fitsTheScreen(answer));
    auto* to = answer.findChild<widgets::ElidedLabel*>(QStringLiteral("lbUserName"));
    EXPECT_EQ(to->text(), name);
    EXPECT_TRUE(to->shownText().endsWith(QChar(0x2026)));
    worker->close();

    auto boss = loggedIn(name, QStringLiteral("Pw"), false);
    EXPECT_TRUE(fitsTheScreen(*boss));
    auto* status = boss->findChild<widgets::MarkupStatusBar*>(QStringLiteral("StatusBar"));
    EXPECT_EQ(status->cutText(0), QStringLiteral("Пользователь: ") + name);
    boss->close();
}

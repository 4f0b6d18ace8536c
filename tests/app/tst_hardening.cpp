// The main program against what goes wrong around it: databases it cannot
// use, errors nobody handled, a lost server, a desktop without a tray; and
// the login and placement rules where they meet.

#include "connection.h"
#include "dberror.h"
#include "mainwindowfixture.h"
#include "markupcombobox.h"
#include "markupstatusbar.h"
#include "query.h"
#include "reminders.h"
#include "tfmsystementer.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::startup;

namespace {

using Message = ScriptedPlatform::Message;

class HardeningTest : public test::MainWindowFixture
{
protected:
    static QString panel(TfmMain& w, int i)
    {
        return w.findChild<widgets::MarkupStatusBar*>(QStringLiteral("StatusBar"))->panelText(i);
    }

    // The login dialog of a connected window, filled in but not confirmed.
    TfmSystemEnter* fillLogin(TfmMain& w, const QString& name, const QString& password, bool exclusive)
    {
        TfmSystemEnter* login = w.loginDialog();
        EXPECT_TRUE(login->openList());
        EXPECT_TRUE(w.users().locate(QStringLiteral("NAME"), name));
        login->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"))
            ->selectPosition(w.users().recNo());
        login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(password);
        login->findChild<QCheckBox*>(QStringLiteral("cbMono"))->setChecked(exclusive);
        return login;
    }

    std::unique_ptr<TfmMain> connected()
    {
        writeInit(database().name().toLocal8Bit() + "\n");
        auto w = std::make_unique<TfmMain>(m_programDir.path());
        EXPECT_TRUE(w->connectDatabase());
        return w;
    }
};

} // namespace

// A database the program cannot work with ends the start with the
// connection failure box, whatever is wrong with it, and no login is shown.
TEST_F(HardeningTest, UnusableDatabaseEndsTheStartWithTheConnectionBox)
{
    QTemporaryDir dir(QStringLiteral("/tmp/tarvik-unusable-XXXXXX"));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    const QString empty = QStringLiteral("localhost:") + dir.filePath(QStringLiteral("empty.gdb"));
    const QString foreign = QStringLiteral("localhost:") + dir.filePath(QStringLiteral("foreign.gdb"));
    const QString junk = dir.filePath(QStringLiteral("junk.gdb"));
    {
        db::Connection c(db::ConnectionParams{empty});
        c.create();
        c.close();
        db::Connection f(db::ConnectionParams{foreign});
        f.create();
        f.startTransaction();
        f.execute(QStringLiteral("CREATE TABLE USERS (LOGIN VARCHAR(20))"));
        f.commit();
        f.close();
        QFile file(junk);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(64 * 1024, 'x'));
    }
    // Port 1: nothing listens there, as with a server on another port.
    const QString wrongPort = QStringLiteral("localhost/1:") + dir.filePath(QStringLiteral("tk.gdb"));
    for (const QString& name : {empty, foreign, QStringLiteral("localhost:") + junk, wrongPort}) {
        SCOPED_TRACE(name.toStdString());
        m_platform.clearMessages();
        writeInit(name.toLocal8Bit());
        TfmMain w(m_programDir.path());
        EXPECT_FALSE(w.start());
        EXPECT_EQ(m_platform.messages(), QList<Message>({{MessageKind::Question, MessageButtons::YesNo,
                                                          QString(), connectionFailureText(name)}}));
        EXPECT_FALSE(w.loggedIn());
        EXPECT_FALSE(w.loginDialog() && w.loginDialog()->isVisible());
    }
    for (const QString& name : {empty, foreign}) {
        db::Connection c(db::ConnectionParams{name});
        c.open();
        c.drop();
    }
}

// The safety net at the top: an error that escaped every command reaches
// the general error display with its own text, and the program goes on.
TEST_F(HardeningTest, ErrorNobodyHandledIsShownAndTheProgramGoesOn)
{
    bool after = false;
    QTimer::singleShot(0, qApp, [] { throw db::DbError(QStringLiteral("Table unknown\nUSERS")); });
    QTimer::singleShot(0, qApp, [&] { after = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return after; }, 2000));
    EXPECT_EQ(m_platform.messages(), QList<Message>({{MessageKind::Error, MessageButtons::Ok, QString(),
                                                      QStringLiteral("Table unknown\nUSERS")}}));
}

// Losing the server after the start: the first failure shows the general
// error display once with the server's text; the reminder ticks stay quiet
// after it; leaving still ends the program.
TEST_F(HardeningTest, LostServerIsShownOnceAndLeavingStillEnds)
{
    auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    w->show();
    w->FormActivate();
    m_platform.clearMessages();
    test::killAttachment(w->connection());

    w->RefreshWorkPlaces();
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().front().kind, MessageKind::Error);
    EXPECT_TRUE(m_platform.messages().front().text.contains(QStringLiteral("shutdown")))
        << m_platform.messages().front().text.toStdString();
    EXPECT_FALSE(w->connection().isOpen());
    w->reminders()->tick();
    w->reminders()->tick();
    EXPECT_EQ(m_platform.messages().size(), 1);

    QSignalSpy ended(w.get(), &TfmMain::closed);
    w->close();
    EXPECT_EQ(ended.count(), 1);
    w.reset();
    // Nobody could clear the marks on the lost attachment.
    EXPECT_EQ(userColumn(1, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("T"));
}

// A desktop without a tray minimises the window as usual instead of hiding
// it where nothing could bring it back; the lock panels show the keyboard's
// state as the desktop tells it at start, and nothing where it does not.
TEST_F(HardeningTest, FrameFollowsTheDesktopTrayAndLockKeys)
{
    m_platform.setSystemTrayAvailable(false);
    m_platform.setLockKeys(Platform::LockKeys{true, false});
    {
        auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
        EXPECT_EQ(panel(*w, 3), QStringLiteral("NUM"));
        EXPECT_EQ(panel(*w, 4), QString());
        w->show();
        w->FormActivate();
        w->setWindowState(Qt::WindowMinimized);
        QTest::qWait(50);
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(w->findChild<QSystemTrayIcon*>(QStringLiteral("TrayIcon"))->isVisible());
        w->close();
    }
    m_platform.setLockKeys(std::nullopt);
    auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    QKeyEvent caps(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier);
    QApplication::sendEvent(w.get(), &caps);
    EXPECT_EQ(panel(*w, 3), QString());
    EXPECT_EQ(panel(*w, 4), QString()) << "an unknown state is not guessed";
    w->close();
}

// Placement cases: a normal window's saved geometry, a saved panel width,
// and a start page out of range that opens no page.
TEST_F(HardeningTest, SavedPlacementNormalWindowPanelWidthAndStartPageOutOfRange)
{
    const int boss = addUser(QStringLiteral("Разместившийся"), QStringLiteral("T"), QVariant());
    m_c->execute(QStringLiteral("UPDATE USERS SET WSTATE = 2, WLEFT = 40, WTOP = 30, WWIDTH = 900, "
                                "WHEIGHT = 700, CPWIDTH = 260, STARTSYSTEM = 6 WHERE ID = :I"),
                 {{QStringLiteral("I"), boss}});
    m_c->commitRetaining();
    auto w = loggedIn(QStringLiteral("Разместившийся"), QStringLiteral("Pw"), false);
    w->show();
    w->FormActivate();
    EXPECT_EQ(w->geometry(), QRect(40, 30, 900, 700));
    EXPECT_FALSE(w->isMaximized());
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("pnControlPanel"))->width(), 260);
    for (const char* button : {"sb1", "sb7", "sb31", "sbTodoList", "sbTexts", "sbMesages"})
        EXPECT_FALSE(w->findChild<QToolButton*>(QLatin1String(button))->isChecked()) << button;
    w->close();
}

// Cancel and Escape leave the login without a trace: nobody is marked
// present and the remembered user stays as it was.
TEST_F(HardeningTest, CancelAndEscapeAtLoginChangeNothing)
{
    for (bool escape : {false, true}) {
        auto w = connected();
        TfmSystemEnter* login = fillLogin(*w, QStringLiteral("Администратор"), QStringLiteral("admin"), true);
        login->show();
        if (escape)
            QTest::keyClick(login, Qt::Key_Escape);
        else
            login->sbCancelClick();
        EXPECT_FALSE(login->isVisible());
        EXPECT_FALSE(login->loggedIn());
        EXPECT_EQ(userColumn(1, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("F"));
        EXPECT_EQ(userColumn(1, QStringLiteral("MONO")).toString(), QStringLiteral("F"));
        EXPECT_FALSE(
            m_platform.iniValue(QStringLiteral("enter.ini"), QStringLiteral("Enter"), QStringLiteral("User"))
                .isValid());
    }
}

// Every refusal through the login window, word for word, in the order the
// checks run where rules meet on one user; none of them writes anything.
TEST_F(HardeningTest, LoginRefusalsWordForWordAndWhereRulesMeet)
{
    const int worker = addUser(QStringLiteral("Отказник"), QStringLiteral("F"), 1);
    const int bossAdmin = addUser(QStringLiteral("Двоевластный"), QStringLiteral("T"), QVariant());
    m_c->execute(QStringLiteral("UPDATE USERS SET ADMCHECK = 'T' WHERE ID = :I"),
                 {{QStringLiteral("I"), bossAdmin}});
    m_c->commitRetaining();
    auto refusalOf = [&](const QString& name, const QString& password, bool exclusive) {
        m_platform.clearMessages();
        auto w = connected();
        TfmSystemEnter* login = fillLogin(*w, name, password, exclusive);
        login->sbOKClick();
        EXPECT_FALSE(login->loggedIn());
        return m_platform.messageTexts();
    };
    using L = QStringList;
    EXPECT_EQ(refusalOf(QStringLiteral("Отказник"), QStringLiteral("pw"), false),
              L{QStringLiteral("Введен неверный пароль!")});
    EXPECT_EQ(refusalOf(QStringLiteral("Отказник"), QStringLiteral("Pw"), true),
              L{QStringLiteral("Только администратор системы может войти монопольно!")});
    m_c->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'T' WHERE ID = :I"),
                 {{QStringLiteral("I"), worker}});
    m_c->commitRetaining();
    EXPECT_EQ(refusalOf(QStringLiteral("Отказник"), QStringLiteral("Pw"), false),
              L{QStringLiteral("Этот пользователь уже вошел в систему!")});
    // Present himself and asking for exclusive mode: the first rule speaks.
    EXPECT_EQ(refusalOf(QStringLiteral("Отказник"), QStringLiteral("wrong"), true),
              L{QStringLiteral("Запуск монопольно невозможен! В системе есть пользователи.")});
    m_c->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'F', MONO = 'T' WHERE ID = :I"),
                 {{QStringLiteral("I"), worker}});
    m_c->commitRetaining();
    m_platform.clearMessages();
    {
        // An exclusive mark ends the start before anyone can try.
        auto w = connected();
        EXPECT_FALSE(w->loginDialog()->openList());
    }
    EXPECT_EQ(m_platform.messageTexts(),
              L{QStringLiteral("Система запущена монопольно пользователем \"Отказник\"")});
    m_c->execute(QStringLiteral("UPDATE USERS SET MONO = 'F' WHERE ID = :I"),
                 {{QStringLiteral("I"), worker}});
    m_c->commitRetaining();
    EXPECT_EQ(userColumn(1, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("F"));

    // Administrator and boss at once: a boss.
    {
        auto w = loggedIn(QStringLiteral("Двоевластный"), QStringLiteral("Pw"), false);
        EXPECT_EQ(panel(*w, 1), QStringLiteral(" <b>Управляющий</b>"));
        w->close();
    }
    // A worker without a work place has no task list to edit.
    auto w = loggedIn(QStringLiteral("Отказник"), QStringLiteral("Pw"), false);
    w->show();
    w->FormActivate();
    w->findChild<QToolButton*>(QStringLiteral("sbTodoList"))->click();
    EXPECT_FALSE(w->findChild<QMenu*>(QStringLiteral("miEditTodo"))->menuAction()->isVisible());
    w->close();
}

// The main program's start-up, login dialog and frame, driven offscreen on
// a real database with the scripted platform.

#include "connection.h"
#include "mainwindowfixture.h"
#include "markupcombobox.h"
#include "markupstatusbar.h"
#include "platformscope.h"
#include "query.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "tfmmain.h"
#include "tfmsystementer.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace tarvik;
using namespace tarvik::startup;

namespace {

class StartupTest : public test::MainWindowFixture
{
protected:
    static QString panel(const std::unique_ptr<TfmMain>& w, int i)
    {
        return w->findChild<widgets::MarkupStatusBar*>(QStringLiteral("StatusBar"))->panelText(i);
    }
    static bool menuShown(TfmMain& w, const QString& name)
    {
        if (auto* action = w.findChild<QAction*>(name))
            return action->isVisible();
        return w.findChild<QMenu*>(name)->menuAction()->isVisible();
    }
};

} // namespace

TEST_F(StartupTest, ConnectionFailureBoxQuotesTheNameAndOffersTheDescription)
{
    const QString automatic = QDir::toNativeSeparators(m_programDir.path() + QStringLiteral("/db/tk.gdb"));
    struct
    {
        QByteArray init;
        QString quoted;
        bool answer;
    } cases[] = {
        {"", automatic, false},
        {"#AUTO\n", QStringLiteral("#AUTO"), true},
        {" #auto\n", QStringLiteral(" #auto"), false},
        {"#auto\n", automatic, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.init.toStdString());
        m_platform.clearMessages();
        writeInit(c.init);
        m_platform.queueAnswer(c.answer);
        TfmMain window(m_programDir.path());
        EXPECT_FALSE(window.connectDatabase());
        ASSERT_EQ(m_platform.messages().size(), 1);
        EXPECT_EQ(m_platform.messages().at(0).kind, MessageKind::Question);
        EXPECT_EQ(m_platform.messages().at(0).text, connectionFailureText(c.quoted));
        EXPECT_EQ(window.loginDialog(), nullptr) << "no login after a failed connection";
    }
    EXPECT_EQ(m_platform.openedDocuments(),
              QStringList{QDir::toNativeSeparators(QStringLiteral("info/firebird.html"))});
    EXPECT_TRUE(
        connectionFailureText(QStringLiteral("x"))
            .startsWith(QStringLiteral(
                "Ошибка подключения к базе данных \"x\"\r\rВозможны следующие причины:\r  1. Не правильно "
                "указан путь к базе данных\r")));
    EXPECT_TRUE(connectionFailureText(QStringLiteral("x"))
                    .endsWith(QStringLiteral("  5. Ошибка в базе данных\r\rПоказать подробное описание?")));
}

// A damaged init.txt is a failed start like a missing one: the connection
// box and no crash. A name with a NUL does not open the database its first
// part names, and a huge first line is not read into memory.
TEST_F(StartupTest, EmptyBinaryOrHugeInitFileEndsWithTheConnectionBox)
{
    const QString automatic = QDir::toNativeSeparators(m_programDir.path() + QStringLiteral("/db/tk.gdb"));
    const QByteArray binary("\0\xff\xfe\0\xc3(\x80\0", 8);
    const QByteArray withNul = database().name().toLocal8Bit() + QByteArray("\0junk", 5);
    struct
    {
        QByteArray init;
        QString quoted;
        bool huge;
    } cases[] = {
        {"", automatic, false},
        {binary + "\n", QString::fromLocal8Bit(binary), false},
        {withNul + "\n", QString::fromLocal8Bit(withNul), false},
        {{}, automatic, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.huge ? std::string("50 MB line") : c.init.toStdString());
        m_platform.clearMessages();
        writeInit(c.init);
        if (c.huge) {
            QFile f(m_programDir.filePath(QStringLiteral("init.txt")));
            f.open(QIODevice::WriteOnly);
            const QByteArray chunk(1 << 20, 'x');
            for (int i = 0; i < 50; ++i)
                f.write(chunk);
        }
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        m_platform.queueAnswer(false);
        TfmMain window(m_programDir.path());
        EXPECT_FALSE(window.connectDatabase());
        ASSERT_EQ(m_platform.messages().size(), 1);
        EXPECT_EQ(m_platform.messages().at(0).text, connectionFailureText(c.quoted));
        EXPECT_EQ(window.loginDialog(), nullptr);
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 40 * 1024) << "peak grew by more than 40 MB";
    }
}

TEST_F(StartupTest, LoginDialogPreselectsRememberedUserAndRemembersTheNewOne)
{
    const int boss = addUser(QStringLiteral("Яшин"), QStringLiteral("T"), QVariant());
    writeInit(database().name().toLocal8Bit());
    TfmMain window(m_programDir.path());
    ASSERT_TRUE(window.connectDatabase());
    TfmSystemEnter* login = window.loginDialog();
    auto* combo = login->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));

    ASSERT_TRUE(login->openList());
    ASSERT_TRUE(window.users().locate(QStringLiteral("ID"), 1));
    EXPECT_EQ(combo->selectedPosition(), window.users().recNo()) << "no enter.ini: user 1";

    m_platform.setIniValue(QStringLiteral("enter.ini"), QStringLiteral("Enter"), QStringLiteral("User"),
                           99999);
    ASSERT_TRUE(login->openList());
    EXPECT_EQ(combo->selectedPosition(), window.users().recordCount() - 1) << "unknown ID: the last user";

    m_platform.setIniValue(QStringLiteral("enter.ini"), QStringLiteral("Enter"), QStringLiteral("User"),
                           boss);
    ASSERT_TRUE(login->openList());
    ASSERT_TRUE(window.users().locate(QStringLiteral("ID"), boss));
    EXPECT_EQ(combo->selectedPosition(), window.users().recNo());
    EXPECT_EQ(combo->markupItem(combo->selectedPosition()), QStringLiteral("<b>Яшин</b>"));

    login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("pw"));
    login->sbOKClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{QStringLiteral("Введен неверный пароль!")});
    EXPECT_FALSE(login->loggedIn());
    login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("Pw"));
    login->sbOKClick();
    EXPECT_TRUE(login->loggedIn());
    EXPECT_EQ(
        m_platform.iniValue(QStringLiteral("enter.ini"), QStringLiteral("Enter"), QStringLiteral("User"))
            .toInt(),
        boss);
    EXPECT_EQ(userColumn(boss, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("T"));
}

// A stale exclusive mark ends the program before anybody can log in.
TEST_F(StartupTest, StaleExclusiveMarkBlocksTheStart)
{
    const int held = addUser(QStringLiteral("Держатель"), QStringLiteral("F"), QVariant());
    m_c->execute(QStringLiteral("UPDATE USERS SET MONO = 'T' WHERE ID = :I"), {{QStringLiteral("I"), held}});
    m_c->commitRetaining();
    writeInit(database().name().toLocal8Bit());
    TfmMain window(m_programDir.path());
    ASSERT_TRUE(window.connectDatabase());
    EXPECT_FALSE(window.loginDialog()->openList());
    EXPECT_EQ(m_platform.messageTexts(),
              QStringList{QStringLiteral("Система запущена монопольно пользователем \"Держатель\"")});
}

TEST_F(StartupTest, MenusAndStatusBarByRoleAndMode)
{
    {
        auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
        EXPECT_TRUE(menuShown(*admin, QStringLiteral("miSystemParam")));
        EXPECT_FALSE(menuShown(*admin, QStringLiteral("miWorkPlaces")));
        EXPECT_TRUE(menuShown(*admin, QStringLiteral("miUsersManager")));
        EXPECT_TRUE(menuShown(*admin, QStringLiteral("miUtils")));
        EXPECT_TRUE(menuShown(*admin, QStringLiteral("miPersonal")));
        EXPECT_EQ(panel(admin, 0), QStringLiteral(" Пользователь: <b>Администратор</b>"));
        EXPECT_EQ(panel(admin, 1), QStringLiteral(" <b>Администратор</b>"));
        EXPECT_EQ(panel(admin, 2), QStringLiteral("<b>M</b>"));
        EXPECT_EQ(userColumn(1, QStringLiteral("MONO")).toString(), QStringLiteral("T"));
        admin->close();
    }
    const int boss = addUser(QStringLiteral("Шеф меню"), QStringLiteral("T"), QVariant());
    const int worker = addUser(QStringLiteral("Рабочий меню"), QStringLiteral("F"), boss);
    {
        auto w = loggedIn(QStringLiteral("Шеф меню"), QStringLiteral("Pw"), false);
        EXPECT_FALSE(menuShown(*w, QStringLiteral("miSystemParam")));
        EXPECT_TRUE(menuShown(*w, QStringLiteral("miWorkPlaces")));
        EXPECT_TRUE(menuShown(*w, QStringLiteral("miUsersManager")));
        EXPECT_FALSE(menuShown(*w, QStringLiteral("miUtils")));
        EXPECT_EQ(panel(w, 1), QStringLiteral(" <b>Управляющий</b>"));
        w->close();
    }
    {
        auto w = loggedIn(QStringLiteral("Рабочий меню"), QStringLiteral("Pw"), false);
        EXPECT_FALSE(menuShown(*w, QStringLiteral("miWorkPlaces")));
        EXPECT_FALSE(menuShown(*w, QStringLiteral("miUsersManager")));
        EXPECT_TRUE(menuShown(*w, QStringLiteral("miPersonal")));
        EXPECT_EQ(panel(w, 2), QString());
        w->close();
    }
    // What leaving wrote is committed as the connection closes.
    EXPECT_EQ(userColumn(worker, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("F"));
}

// A new user gets 800 × 600 and the standard panel; leaving maximised
// stores WSTATE 1 and the next login opens maximised.
TEST_F(StartupTest, PlacementIsRestoredAndSavedWhenLeaving)
{
    const int boss = addUser(QStringLiteral("Размещённый"), QStringLiteral("T"), QVariant());
    m_c->execute(
        QStringLiteral("INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY) VALUES (GEN_ID(MESAGES_ID, 1), :I, -1, "
                       "'всем')"),
        {{QStringLiteral("I"), boss}});
    m_c->execute(QStringLiteral("UPDATE USERS SET WSTATE = 0, STARTSYSTEM = 3 WHERE ID = :I"),
                 {{QStringLiteral("I"), boss}});
    m_c->commitRetaining();
    {
        auto w = loggedIn(QStringLiteral("Размещённый"), QStringLiteral("Pw"), false);
        w->show();
        w->FormActivate();
        EXPECT_EQ(w->size(), QSize(800, 600));
        EXPECT_TRUE(w->findChild<QToolButton*>(QStringLiteral("sbTodoList"))->isChecked());
        EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("pnControlPanel"))->width(), 219);
        w->showMaximized();
        QTest::qWait(50);
        QSignalSpy ended(w.get(), &TfmMain::closed);
        w->close();
        EXPECT_EQ(ended.count(), 1);
    }
    EXPECT_EQ(userColumn(boss, QStringLiteral("WSTATE")).toInt(), 1);
    EXPECT_EQ(userColumn(boss, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("F"));
    db::Query chat(*m_c, QStringLiteral("SELECT COUNT(*) FROM MESAGES WHERE IDFROM = :I"));
    chat.setParam(QStringLiteral("I"), boss);
    chat.open();
    EXPECT_EQ(chat.value(0).toInt(), 0) << "leaving deletes the user's own chat messages";
    {
        auto w = loggedIn(QStringLiteral("Размещённый"), QStringLiteral("Pw"), false);
        w->show();
        w->FormActivate();
        EXPECT_TRUE(w->isMaximized());
        EXPECT_EQ(w->trayRestoreState(), Qt::WindowMaximized);
        w->close();
    }
}

TEST_F(StartupTest, UtilitiesStartRuduvoAndHelpOpensTopicOne)
{
    auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
    w->miUserStateClearClick();
    w->miHelpClick();
    EXPECT_EQ(m_platform.startedPrograms(), QStringList{QStringLiteral("Ruduvo")});
    EXPECT_EQ(m_platform.helpTopics(), QList<int>{1});
    w->close();
}

TEST_F(StartupTest, PageButtonsSwapTheEditMenusAndThePanel)
{
    // The planner's "Правка" needs events that can be shown: the
    // administrator's first boss (in name order) has a work place.
    const int boss = addUser(QStringLiteral("Аверин"), QStringLiteral("T"), QVariant());
    m_c->execute(QStringLiteral(
                     "INSERT INTO WORKPLACE (ID, NAME, BOSSID) VALUES (GEN_ID(WORKPLACE_ID, 1), 'Цех', :B)"),
                 {{QStringLiteral("B"), boss}});
    m_c->commitRetaining();
    auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    w->show();
    w->FormActivate();
    auto click = [&](const char* name) { w->findChild<QToolButton*>(QLatin1String(name))->click(); };
    auto* panel = w->findChild<QWidget*>(QStringLiteral("pnControlPanel"));
    click("sbTexts");
    EXPECT_TRUE(menuShown(*w, QStringLiteral("miEditTexts")));
    EXPECT_FALSE(menuShown(*w, QStringLiteral("miEdit")));
    EXPECT_FALSE(panel->isVisible());
    click("sbTodoList");
    EXPECT_TRUE(menuShown(*w, QStringLiteral("miEditTodo")));
    EXPECT_TRUE(panel->isVisible());
    w->resize(1000, 1000);
    click("sb7");
    EXPECT_TRUE(menuShown(*w, QStringLiteral("miEdit")));
    EXPECT_FALSE(menuShown(*w, QStringLiteral("miEditTodo")));
    EXPECT_EQ(w->plannerSlotHeight(), 167);
    w->close();
}

// Minimising hides the window in the tray; bringing it back returns it to
// the state it had before, maximised included.
TEST_F(StartupTest, MinimiseGoesToTheTrayAndComesBackMaximised)
{
    auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    w->show();
    w->FormActivate();
    auto* tray = w->findChild<QSystemTrayIcon*>(QStringLiteral("TrayIcon"));
    ASSERT_NE(tray, nullptr);
    EXPECT_FALSE(tray->isVisible()) << "inactive until the window is minimised";
    w->showMaximized();
    QTest::qWait(20);
    EXPECT_EQ(w->trayRestoreState(), Qt::WindowMaximized);

    w->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w->isVisible(); }, 2000));
    EXPECT_TRUE(tray->isVisible());

    w->restoreFromTray();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isMaximized());
    EXPECT_FALSE(tray->isVisible());
    w->close();
}

// Presence marks that know whether their workstation still lives: real
// workstation processes log in, one is killed outright, and the clearing
// utility, the login dialog and the chat tell its mark from the live ones.

#include "mainwindowfixture.h"

#include "chatpage.h"
#include "connection.h"
#include "markupcombobox.h"
#include "presencemarks.h"
#include "query.h"
#include "ruduvomain.h"
#include "tfmsystementer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QThread>

#include <csignal>

namespace tarvik {
namespace {

const char kChildVariable[] = "TARVIK_PRESENCE_WORKSTATION";

class PresenceTest : public test::MainWindowFixture
{
protected:
    ~PresenceTest() override
    {
        for (auto& p : m_workstations) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

    // A workstation process of its own, logged in as the user; waits until
    // it says so.
    QProcess& startWorkstation(const QString& name)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kChildVariable), m_programDir.path() + QLatin1Char('|') + name);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=PresenceWorkstation.StaysLoggedInUntilKilled")});
        QElapsedTimer t;
        t.start();
        while (!p->readAllStandardOutput().contains("logged in") && t.elapsed() < 60000)
            p->waitForReadyRead(500);
        EXPECT_EQ(p->state(), QProcess::Running) << name.toStdString();
        m_workstations.push_back(std::move(p));
        return *m_workstations.back();
    }

    // The utility's list entry of the user, after refreshes until it shows
    // the wanted state or a refresh interval is over.
    QString entryUntil(ruduvo::TfmMain& window, db::Query& users, int userId, const QString& state)
    {
        auto* combo = window.findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));
        QElapsedTimer t;
        t.start();
        QString entry;
        do {
            window.refreshStates();
            users.locate(QStringLiteral("ID"), userId);
            entry = combo->markupItem(users.recNo());
            if (entry.endsWith(state))
                break;
            QThread::msleep(100);
        } while (t.elapsed() < ruduvo::TfmMain::kRefreshMs);
        return entry;
    }

    std::vector<std::unique_ptr<QProcess>> m_workstations;
};

TEST_F(PresenceTest, KilledWorkstationsMarkIsStaleAndOnlyItIsCleared)
{
    const int dead = addUser(QStringLiteral("Погибший"), QStringLiteral("F"), 1);
    const int alive = addUser(QStringLiteral("Живой"), QStringLiteral("F"), 1);
    const int earlier = addUser(QStringLiteral("Прежний"), QStringLiteral("F"), 1);
    writeInit(database().name().toLocal8Bit() + "\n");
    QProcess& doomed = startWorkstation(QStringLiteral("Погибший"));
    startWorkstation(QStringLiteral("Живой"));
    // A mark as an earlier build sets it: without an attachment.
    m_c->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'T' WHERE ID = :I"), {{"I", earlier}});
    m_c->commitRetaining();
    ::kill(pid_t(doomed.processId()), SIGKILL);
    doomed.waitForFinished(5000);

    db::Query users(*m_c, QStringLiteral("SELECT * FROM Users ORDER BY Name"));
    users.open();
    {
        ruduvo::TfmMain window(*m_c, users);
        window.show();
        EXPECT_TRUE(entryUntil(window, users, dead, QStringLiteral("связь потеряна"))
                        .endsWith(QStringLiteral("связь потеряна")));
        EXPECT_TRUE(entryUntil(window, users, alive, QStringLiteral("на связи"))
                        .endsWith(QStringLiteral("на связи")));
        EXPECT_TRUE(entryUntil(window, users, earlier, QStringLiteral("связь неизвестна"))
                        .endsWith(QStringLiteral("связь неизвестна")));

        // The login explains the refusal of the dead workstation's user only.
        auto main = std::make_unique<startup::TfmMain>(m_programDir.path());
        ASSERT_TRUE(main->connectDatabase());
        startup::TfmSystemEnter* login = main->loginDialog();
        ASSERT_TRUE(login->openList());
        auto* names = login->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));
        for (const QString& name : {QStringLiteral("Погибший"), QStringLiteral("Живой")}) {
            ASSERT_TRUE(main->users().locate(QStringLiteral("NAME"), name));
            names->selectPosition(main->users().recNo());
            login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("Pw"));
            login->sbOKClick();
        }
        const QStringList refusals = m_platform.messageTexts();
        ASSERT_EQ(refusals.size(), 2);
        EXPECT_TRUE(refusals.at(0).startsWith(QStringLiteral("Этот пользователь уже вошел в систему!\n")));
        EXPECT_TRUE(refusals.at(0).contains(QStringLiteral("Ruduvo")));
        EXPECT_EQ(refusals.at(1), QStringLiteral("Этот пользователь уже вошел в систему!"));
        m_platform.clearMessages();

        window.findChild<QRadioButton*>(QStringLiteral("rbStaleUsers"))->setChecked(true);
        m_platform.queueAnswer(true);
        window.sbOKClick();
        EXPECT_TRUE(window.cleared());
    }
    EXPECT_EQ(userColumn(dead, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("F"));
    EXPECT_EQ(userColumn(alive, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("T"));
    EXPECT_EQ(userColumn(earlier, QStringLiteral("INSYSTEM")).toString(), QStringLiteral("T"));
}

// The chat shows a mark that a dead workstation left as no mark.
TEST_F(PresenceTest, ChatTakesAStaleMarkForAbsence)
{
    const int dead = addUser(QStringLiteral("Ушедший"), QStringLiteral("F"), 1);
    writeInit(database().name().toLocal8Bit() + "\n");
    QProcess& doomed = startWorkstation(QStringLiteral("Ушедший"));
    ::kill(pid_t(doomed.processId()), SIGKILL);
    doomed.waitForFinished(5000);
    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);

    db::PresenceMarks marks;
    QElapsedTimer t;
    t.start();
    do
        marks = db::PresenceMarks::read(*m_c);
    while (!marks.isStale(dead) && t.elapsed() < 5000);
    ASSERT_TRUE(marks.isStale(dead));
    EXPECT_EQ(marks.state(1), db::MarkState::Live);

    messaging::ChatPage* chat = admin->chat();
    ASSERT_NE(chat, nullptr);
    chat->refreshRecipients();
    auto* recipients = chat->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));
    QStringList items;
    for (int i = 0; i < recipients->count(); ++i)
        items << recipients->markupItem(i);
    EXPECT_TRUE(items.contains(QStringLiteral("<font color=\"clSilver\">Ушедший</font>")))
        << items.join(' ').toStdString();
}

} // namespace
} // namespace tarvik

// Run in a process of its own by the tests above: a workstation logged in
// until it is killed.
TEST(PresenceWorkstation, StaysLoggedInUntilKilled)
{
    const QString setting = qEnvironmentVariable(tarvik::kChildVariable);
    if (setting.isEmpty())
        GTEST_SKIP() << "started only by the presence tests";
    tarvik::ScriptedPlatform platform;
    tarvik::PlatformScope scope(platform);
    const QStringList parts = setting.split(QLatin1Char('|'));
    auto window = tarvik::test::logIn(parts.at(0), parts.at(1), QStringLiteral("Pw"), false);
    std::printf("logged in\n");
    std::fflush(stdout);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
}

// Start-up rules that need no window: the configuration file, the login
// checks in their order, the menus by role, and the resize rule.

#include "connection.h"
#include "initfile.h"
#include "loginrules.h"
#include "presence.h"
#include "query.h"
#include "resizerule.h"
#include "testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::startup;

namespace {

QString writeInit(const QTemporaryDir& dir, const QByteArray& content, const QString& name = kInitFileName)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(content);
    return path;
}

} // namespace

TEST(InitFile, FirstLineRules)
{
    QTemporaryDir dir;
    const QString programDir = QStringLiteral("/opt/prog");
    const QString automatic = QDir::toNativeSeparators(QStringLiteral("/opt/prog/db/tk.gdb"));
    struct
    {
        QByteArray content;
        bool read;
        QString name;
    } cases[] = {
        {"#auto\r\nignored", true, automatic},
        {"#auto", true, automatic},
        {"#AUTO\n", true, QStringLiteral("#AUTO")},
        {" #auto\n", true, QStringLiteral(" #auto")},
        {"localhost:/srv/tk.gdb \n", true, QStringLiteral("localhost:/srv/tk.gdb ")},
        {"", false, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        QString line;
        ASSERT_EQ(readFirstLine(writeInit(dir, c.content), &line), c.read);
        if (c.read) {
            EXPECT_EQ(databaseNameFromLine(line, programDir), c.name);
        }
    }
    QString line;
    EXPECT_FALSE(readFirstLine(dir.filePath(QStringLiteral("missing.txt")), &line));
}

TEST(InitFile, NameMatchedRegardlessOfCase)
{
    QTemporaryDir dir;
    writeInit(dir, "x", QStringLiteral("init.txt"));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("Init.txt")),
              dir.filePath(QStringLiteral("init.txt")));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("other.txt")),
              dir.filePath(QStringLiteral("other.txt")));
}

TEST(ResizeRule, FollowsTheWindowSize)
{
    EXPECT_EQ(resize::plannerSlotHeight(resize::PlannerView::Week, 1000), 167);
    EXPECT_EQ(resize::plannerSlotHeight(resize::PlannerView::Month, 1000), 100);
    EXPECT_EQ(resize::plannerSlotHeight(resize::PlannerView::Day, 1000), 50);
    EXPECT_EQ(resize::taskListColumns(644), (QList<int>{16, 204, 102, 102, 102, 102}));
    EXPECT_EQ(resize::clockPanelWidth(1000), 400);
    EXPECT_EQ(resize::mailSubjectWidth(900), 484);
    EXPECT_EQ(resize::chatEditWidth(700), 290);
    // Halves go to the even neighbour.
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(resize::plannerSlotHeight(resize::PlannerView::Day, 50), 2); // 2.5
    EXPECT_EQ(resize::plannerSlotHeight(resize::PlannerView::Day, 70), 4); // 3.5
}

TEST(MenuVisibility, ByRoleAndMode)
{
    struct
    {
        UserRole role;
        bool exclusive;
        MenuVisibility expected;
    } table[] = {
        {UserRole::Administrator, true, {true, false, true, true}},
        {UserRole::Administrator, false, {false, true, true, false}},
        {UserRole::Boss, false, {false, true, true, false}},
        {UserRole::Worker, false, {false, false, false, false}},
    };
    for (const auto& row : table) {
        const MenuVisibility m = menuVisibilityFor(row.role, row.exclusive);
        EXPECT_EQ(m.systemParameters, row.expected.systemParameters);
        EXPECT_EQ(m.workPlaces, row.expected.workPlaces);
        EXPECT_EQ(m.usersManager, row.expected.usersManager);
        EXPECT_EQ(m.utilities, row.expected.utilities);
    }
}

namespace {

// Users as the login reads them, on a real database.
class LoginRulesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_c = m_db.connect();
        m_boss =
            add(QStringLiteral("Босс"), QStringLiteral("F"), QStringLiteral("T"), QStringLiteral("Пароль"));
        m_worker =
            add(QStringLiteral("Яковлев"), QStringLiteral("F"), QStringLiteral("F"), QStringLiteral("1"));
        m_users = std::make_unique<db::Query>(*m_c);
        presence::configureUsersList(*m_users);
    }
    int add(const QString& name, const QString& adm, const QString& boss, const QString& pass)
    {
        const int id = int(m_c->generatorValue(QStringLiteral("USERS_ID")));
        m_c->execute(
            QStringLiteral("INSERT INTO USERS (ID, NAME, ADMCHECK, BOSS, PASS) VALUES (:I, :N, :A, :B, :P)"),
            {{QStringLiteral("I"), id},
             {QStringLiteral("N"), name},
             {QStringLiteral("A"), adm},
             {QStringLiteral("B"), boss},
             {QStringLiteral("P"), pass}});
        return id;
    }
    void set(int id, const QString& column, const QVariant& value)
    {
        m_c->execute(QStringLiteral("UPDATE USERS SET %1 = :V WHERE ID = :I").arg(column),
                     {{QStringLiteral("V"), value}, {QStringLiteral("I"), id}});
    }
    int row(int id)
    {
        EXPECT_TRUE(m_users->locate(QStringLiteral("ID"), id));
        return m_users->recNo();
    }

    test::TestDatabase m_db;
    std::unique_ptr<db::Connection> m_c;
    std::unique_ptr<db::Query> m_users;
    int m_boss = 0, m_worker = 0;
    static constexpr int kAdmin = 1;
};

} // namespace

TEST_F(LoginRulesTest, RefusalsComeInTheirOrderAndThePasswordLast)
{
    m_users->open();
    // Exclusive while somebody is present is refused even with a wrong password.
    set(m_worker, QStringLiteral("INSYSTEM"), QStringLiteral("T"));
    m_users->reopen();
    EXPECT_EQ(checkLogin(*m_users, row(kAdmin), QStringLiteral("wrong"), true), LoginRefusal::UsersPresent);
    EXPECT_EQ(checkLogin(*m_users, row(m_worker), QStringLiteral("1"), false), LoginRefusal::AlreadyLoggedIn);
    set(m_worker, QStringLiteral("INSYSTEM"), QStringLiteral("F"));
    m_users->reopen();
    EXPECT_EQ(checkLogin(*m_users, row(m_boss), QStringLiteral("Пароль"), true),
              LoginRefusal::OnlyAdministratorExclusive);
    EXPECT_EQ(checkLogin(*m_users, row(m_boss), QStringLiteral("пароль"), false),
              LoginRefusal::WrongPassword);
    EXPECT_EQ(checkLogin(*m_users, row(m_boss), QStringLiteral("Пароль"), false), LoginRefusal::None);
    EXPECT_EQ(checkLogin(*m_users, row(kAdmin), QStringLiteral("admin"), true), LoginRefusal::None);

    set(m_worker, QStringLiteral("MONO"), QStringLiteral("T"));
    m_users->reopen();
    EXPECT_EQ(checkLogin(*m_users, row(kAdmin), QStringLiteral("admin"), false),
              LoginRefusal::SystemHeldExclusively);
    EXPECT_EQ(exclusiveStartNotices(*m_users),
              QStringList{QStringLiteral("Система запущена монопольно пользователем \"Яковлев\"")});
}

TEST_F(LoginRulesTest, RememberedUserOrTheLastOne)
{
    m_users->open();
    EXPECT_EQ(rememberedPosition(*m_users, 1), row(kAdmin));
    EXPECT_EQ(rememberedPosition(*m_users, m_worker), row(m_worker));
    EXPECT_EQ(rememberedPosition(*m_users, 9999), m_users->recordCount() - 1);
}

TEST_F(LoginRulesTest, LoginMarksAndLeavingClears)
{
    m_c->execute(
        QStringLiteral(
            "INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY) VALUES (GEN_ID(MESAGES_ID, 1), :F, -1, 'всем')"),
        {{QStringLiteral("F"), kAdmin}});
    m_c->execute(
        QStringLiteral(
            "INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY) VALUES (GEN_ID(MESAGES_ID, 1), :F, -1, 'чужое')"),
        {{QStringLiteral("F"), m_boss}});
    set(kAdmin, QStringLiteral("SNTEXT"), QStringLiteral("T"));
    set(kAdmin, QStringLiteral("SNEVENT"), QStringLiteral("F"));
    m_users->open();
    const LoginProfile profile = presence::logIn(*m_users, row(kAdmin), true);
    EXPECT_EQ(profile.userId, kAdmin);
    EXPECT_EQ(profile.role, UserRole::Administrator);
    EXPECT_TRUE(profile.exclusive);
    EXPECT_TRUE(profile.newLetterNotices);
    EXPECT_FALSE(profile.newEventNotices);

    auto other = m_db.connect();
    db::Query check(*other, QStringLiteral("SELECT * FROM USERS WHERE ID = 1"));
    check.open();
    EXPECT_EQ(check.text(QStringLiteral("INSYSTEM")), QStringLiteral("T")) << "committed at once";
    EXPECT_EQ(check.text(QStringLiteral("MONO")), QStringLiteral("T"));

    LeavingWindow window;
    window.maximized = true;
    window.geometry = QRect(0, 0, 1280, 1000);
    window.panelWidth = 250;
    EXPECT_TRUE(presence::leave(*m_c, *m_users, kAdmin, window));
    m_c->commitRetaining();
    check.reopen();
    EXPECT_EQ(check.text(QStringLiteral("INSYSTEM")), QStringLiteral("F"));
    EXPECT_EQ(check.text(QStringLiteral("MONO")), QStringLiteral("F"));
    EXPECT_EQ(check.integer(QStringLiteral("WSTATE")), 1);
    EXPECT_EQ(check.integer(QStringLiteral("CPWIDTH")), 250);
    EXPECT_EQ(check.integer(QStringLiteral("WWIDTH")), 1280);

    db::Query chat(*other, QStringLiteral("SELECT IDFROM FROM MESAGES"));
    chat.open();
    EXPECT_EQ(chat.recordCount(), 1) << "only the leaving user's messages go";
    EXPECT_EQ(chat.value(0).toInt(), m_boss);
}

// A user deleted during the run: leaving writes nothing and touches nobody.
TEST_F(LoginRulesTest, LeavingWithoutOwnRowWritesNothing)
{
    m_users->open();
    (void)presence::logIn(*m_users, row(m_worker), false);
    m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID = :I"), {{QStringLiteral("I"), m_worker}});
    m_users->reopen();
    EXPECT_FALSE(presence::leave(*m_c, *m_users, m_worker, LeavingWindow{}));
    db::Query all(*m_c, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE WSTATE IS NOT NULL"));
    all.open();
    EXPECT_EQ(all.value(0).toInt(), 0);
}

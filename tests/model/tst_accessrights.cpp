// Visible work places and the edit right of each role, on real rows.

#include "accessrights.h"
#include "connection.h"
#include "query.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::db;

namespace {

class AccessRightsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_c = m_db.connect();
        m_boss = user(QStringLiteral("Начальник"), QStringLiteral("T"), QVariant());
        m_otherBoss = user(QStringLiteral("Другой начальник"), QStringLiteral("T"), QVariant());
        m_worker = user(QStringLiteral("Работник"), QStringLiteral("F"), m_boss);
        m_viewOnly = place(QStringLiteral("Только смотреть"), m_boss);
        m_editable = place(QStringLiteral("Править"), m_boss);
        m_hidden = place(QStringLiteral("Скрытое"), m_boss);
        m_foreign = place(QStringLiteral("Чужое"), m_otherBoss);
        grant(m_worker, m_viewOnly, QStringLiteral("T"), QStringLiteral("F"));
        grant(m_worker, m_editable, QStringLiteral("T"), QStringLiteral("T"));
        // Edit without view cannot come from the users manager: grants nothing.
        grant(m_worker, m_hidden, QVariant(), QStringLiteral("T"));
    }

    int user(const QString& name, const QVariant& boss, const QVariant& bossId)
    {
        const int id = int(m_c->generatorValue(QStringLiteral("USERS_ID")));
        m_c->execute(QStringLiteral("INSERT INTO USERS (ID, NAME, BOSS, BOSSID) VALUES (:I, :N, :B, :BI)"),
                     {{QStringLiteral("I"), id},
                      {QStringLiteral("N"), name},
                      {QStringLiteral("B"), boss},
                      {QStringLiteral("BI"), bossId}});
        return id;
    }
    int place(const QString& name, int boss)
    {
        const int id = int(m_c->generatorValue(QStringLiteral("WORKPLACE_ID")));
        m_c->execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID) VALUES (:I, :N, :B)"),
                     {{QStringLiteral("I"), id}, {QStringLiteral("N"), name}, {QStringLiteral("B"), boss}});
        return id;
    }
    void grant(int u, int w, const QVariant& view, const QVariant& edit)
    {
        m_c->execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) "
                                    "VALUES (GEN_ID(USERWORKPLACE_ID, 1), :U, :W, :V, :E)"),
                     {{QStringLiteral("U"), u},
                      {QStringLiteral("W"), w},
                      {QStringLiteral("V"), view},
                      {QStringLiteral("E"), edit}});
    }

    test::TestDatabase m_db;
    std::unique_ptr<Connection> m_c;
    int m_boss = 0, m_otherBoss = 0, m_worker = 0;
    int m_viewOnly = 0, m_editable = 0, m_hidden = 0, m_foreign = 0;
};

} // namespace

TEST_F(AccessRightsTest, WorkerSeesViewRightsAndEditsOnlyWithEditRight)
{
    AccessRights rights(*m_c);
    rights.setUser(m_worker, UserRole::Worker);
    rights.reload();
    const QList<VisibleWorkPlace> visible = rights.visibleWorkPlaces();
    ASSERT_EQ(visible.size(), 2);
    EXPECT_EQ(visible.at(0).workPlaceId, m_viewOnly);
    EXPECT_EQ(visible.at(0).name, QStringLiteral("Только смотреть"));
    EXPECT_FALSE(visible.at(0).editable);
    EXPECT_GT(visible.at(0).rightsRowId, 0);
    EXPECT_TRUE(visible.at(1).editable);

    EXPECT_FALSE(rights.canEditWorkPlace(m_viewOnly));
    EXPECT_TRUE(rights.canEditWorkPlace(m_editable));
    EXPECT_FALSE(rights.canEditWorkPlace(m_hidden));
    EXPECT_FALSE(rights.canEditWorkPlace(m_foreign));
}

// Rights granted elsewhere apply only after the next reload.
TEST_F(AccessRightsTest, ChecksUseRowsOfLastReload)
{
    AccessRights rights(*m_c);
    rights.setUser(m_worker, UserRole::Worker);
    rights.reload();
    m_c->execute(QStringLiteral("UPDATE USERWORKPLACE SET WEDIT = 'T' WHERE WORKPLACEID = :W"),
                 {{QStringLiteral("W"), m_viewOnly}});
    EXPECT_FALSE(rights.canEditWorkPlace(m_viewOnly));
    rights.reload();
    EXPECT_TRUE(rights.canEditWorkPlace(m_viewOnly));
}

TEST_F(AccessRightsTest, TwoRowsForOnePlaceShowItTwiceAndTheFirstDecides)
{
    grant(m_worker, m_viewOnly, QStringLiteral("T"), QStringLiteral("T"));
    AccessRights rights(*m_c);
    rights.setUser(m_worker, UserRole::Worker);
    rights.reload();
    const QList<VisibleWorkPlace> visible = rights.visibleWorkPlaces();
    ASSERT_EQ(visible.size(), 3);
    EXPECT_EQ(visible.at(2).workPlaceId, m_viewOnly);
    EXPECT_FALSE(rights.canEditWorkPlace(m_viewOnly));
}

TEST_F(AccessRightsTest, WorkerWithoutViewRightsSeesNothing)
{
    const int idle = user(QStringLiteral("Без прав"), QStringLiteral("F"), m_boss);
    grant(idle, m_editable, QStringLiteral("F"), QStringLiteral("F"));
    AccessRights rights(*m_c);
    rights.setUser(idle, UserRole::Worker);
    rights.reload();
    EXPECT_TRUE(rights.visibleWorkPlaces().isEmpty());
}

TEST_F(AccessRightsTest, BossSeesOwnPlacesAndAdministratorAnyBosses)
{
    AccessRights boss(*m_c);
    boss.setUser(m_boss, UserRole::Boss);
    boss.reload();
    const QList<VisibleWorkPlace> own = boss.visibleWorkPlaces(m_otherBoss);
    ASSERT_EQ(own.size(), 3) << "a boss's own places, whatever boss is asked for";
    for (const VisibleWorkPlace& p : own)
        EXPECT_TRUE(p.editable);
    EXPECT_TRUE(boss.canEditWorkPlace(m_viewOnly));

    AccessRights admin(*m_c);
    admin.setUser(1, UserRole::Administrator);
    admin.reload();
    const QList<VisibleWorkPlace> other = admin.visibleWorkPlaces(m_otherBoss);
    ASSERT_EQ(other.size(), 1);
    EXPECT_EQ(other.at(0).workPlaceId, m_foreign);

    const int lonely = user(QStringLiteral("Без мест"), QStringLiteral("T"), QVariant());
    AccessRights empty(*m_c);
    empty.setUser(lonely, UserRole::Boss);
    EXPECT_TRUE(empty.visibleWorkPlaces().isEmpty());
}

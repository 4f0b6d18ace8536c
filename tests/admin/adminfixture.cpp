#include "adminfixture.h"

#include "connection.h"
#include "query.h"

namespace tarvik::test {

void AdminFixture::SetUp()
{
    MainWindowFixture::SetUp();
    m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
    m_c->execute(QStringLiteral("DELETE FROM SOUNDS"));
    m_c->execute(QStringLiteral("DELETE FROM TEMPLATE WHERE TDEFAULT IS DISTINCT FROM 'T'"));
    m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID <> 1"));
    m_c->execute(
        QStringLiteral("UPDATE OPTIONS SET STEP = 30, STARTTIMEGRID = '08:00', ENDTIMEGRID = '20:00', "
                       "STARTWORKTIMEGRID = '09:00', ENDWORKTIMEGRID = '18:00'"));
    m_c->commitRetaining();
    m_boss = addUser(QStringLiteral("Шеф"), QStringLiteral("T"), QVariant());
    m_otherBoss = addUser(QStringLiteral("Другой"), QStringLiteral("T"), QVariant());
    m_place = addWorkPlace(QStringLiteral("Цех"), m_boss);
    m_other = addWorkPlace(QStringLiteral("Склад"), m_boss);
    addWorkPlace(QStringLiteral("Гараж"), m_otherBoss);
    m_worker = addUser(QStringLiteral("Рабочий"), QStringLiteral("F"), m_boss);
    addUser(QStringLiteral("Чужой"), QStringLiteral("F"), m_otherBoss);
    addRight(m_worker, m_place, true, true);
}

int AdminFixture::committedCount(const QString& sql)
{
    auto other = database().connect();
    db::Query q(*other, sql);
    q.open();
    return q.value(0).toInt();
}

} // namespace tarvik::test

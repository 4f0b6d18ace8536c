#include "plannerfixture.h"

#include "query.h"

namespace tarvik::test {

void PlannerFixture::SetUp()
{
    m_platform.setNow(at(3, 15, 10));
    m_c = database().connect();
    for (const char* sql :
         {"DELETE FROM EVENTS", "DELETE FROM USERWORKPLACE", "DELETE FROM WORKPLACE",
          "DELETE FROM USERS WHERE ID <> 1",
          "UPDATE OPTIONS SET STEP = 30, STARTTIMEGRID = '08:00', ENDTIMEGRID = '20:00', STARTWORKTIMEGRID = "
          "'09:00', ENDWORKTIMEGRID = '18:00', MON = 'T', TUE = 'T', WED = 'T', THU = 'T', FRI = 'T', SAT = "
          "'F', SUN = 'F'"})
        m_c->execute(QLatin1String(sql));
    m_c->commitRetaining();
}

int PlannerFixture::addUser(const QString& name, UserRole role, const QVariant& bossId)
{
    const int id = int(m_c->generatorValue(QStringLiteral("USERS_ID")));
    m_c->execute(QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID, INSYSTEM, MONO) "
                                "VALUES (:I, :N, 'Pw', :A, :B, :BI, 'F', 'F')"),
                 {{QStringLiteral("I"), id},
                  {QStringLiteral("N"), name},
                  {QStringLiteral("A"), role == UserRole::Administrator ? "T" : "F"},
                  {QStringLiteral("B"), role == UserRole::Boss ? "T" : "F"},
                  {QStringLiteral("BI"), bossId}});
    m_c->commitRetaining();
    return id;
}

int PlannerFixture::addWorkPlace(const QString& name, int bossId)
{
    const int id = int(m_c->generatorValue(QStringLiteral("WORKPLACE_ID")));
    m_c->execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID) VALUES (:I, :N, :B)"),
                 {{QStringLiteral("I"), id}, {QStringLiteral("N"), name}, {QStringLiteral("B"), bossId}});
    m_c->commitRetaining();
    return id;
}

int PlannerFixture::addRight(int userId, int workPlaceId, bool view, bool edit)
{
    const int id = int(m_c->generatorValue(QStringLiteral("USERWORKPLACE_ID")));
    m_c->execute(
        QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) VALUES (:I, "
                       ":U, :W, :V, :E)"),
        {{QStringLiteral("I"), id},
         {QStringLiteral("U"), userId},
         {QStringLiteral("W"), workPlaceId},
         {QStringLiteral("V"), view ? "T" : "F"},
         {QStringLiteral("E"), edit ? "T" : "F"}});
    m_c->commitRetaining();
    return id;
}

int PlannerFixture::addEvent(const EventRow& row)
{
    const int id = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
    m_c->execute(
        QStringLiteral("INSERT INTO EVENTS (ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, "
                       "WORKPLACE, TEMPLATE, DATEEDIT, ALARM) VALUES (:I, :U, :H, :C, :S, :E, :F, :W, "
                       ":T, :D, :A)"),
        {{QStringLiteral("I"), id},
         {QStringLiteral("U"), row.authorId},
         {QStringLiteral("H"), row.header},
         {QStringLiteral("C"), row.comment},
         {QStringLiteral("S"), row.start},
         {QStringLiteral("E"), row.end},
         {QStringLiteral("F"), row.isFinish},
         {QStringLiteral("W"), row.workPlace},
         {QStringLiteral("T"), row.templateId},
         {QStringLiteral("D"), row.dateEdit},
         {QStringLiteral("A"), row.alarm}});
    m_c->commitRetaining();
    return id;
}

QVariant PlannerFixture::eventColumn(int id, const QString& column) const
{
    auto other = database().connect();
    db::Query q(*other, QStringLiteral("SELECT * FROM EVENTS WHERE ID = :I"));
    q.setParam(QStringLiteral("I"), id);
    q.open();
    return q.isEmpty() ? QVariant() : q.value(column);
}

} // namespace tarvik::test

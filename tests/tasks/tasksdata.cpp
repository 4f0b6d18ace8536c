#include "tasksdata.h"

#include "query.h"

namespace tarvik::test {

void TasksOffice::build(db::Connection& c)
{
    for (const char* table :
         {"SHOWALARM", "EVENTS", "USERWORKPLACE", "WORKPLACE", "SOUNDS", "TEXTS", "MESAGES"})
        c.execute(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
    c.execute(QStringLiteral("DELETE FROM USERS WHERE ID <> 1"));
    c.commitRetaining();
    boss = addUser(c, QStringLiteral("Петров"), true, QVariant());
    otherBoss = addUser(c, QStringLiteral("Сидоров"), true, QVariant());
    worker = addUser(c, QStringLiteral("Иванов"), false, boss);
    editor = addUser(c, QStringLiteral("Кузнецова"), false, boss);
    p1 = addWorkPlace(c, QStringLiteral("Склад"), boss);
    p2 = addWorkPlace(c, QStringLiteral("Цех"), boss);
    p3 = addWorkPlace(c, QStringLiteral("Офис"), otherBoss);
    addRight(c, worker, p1, true, false);
    addRight(c, worker, p2, false, true);
    addRight(c, editor, p1, true, true);
}

int TasksOffice::addUser(db::Connection& c, const QString& name, bool boss, const QVariant& bossId)
{
    const int id = int(c.generatorValue(QStringLiteral("USERS_ID")));
    c.execute(QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID) VALUES "
                             "(:I, :N, 'Pw', 'F', :B, :BI)"),
              {{QStringLiteral("I"), id},
               {QStringLiteral("N"), name},
               {QStringLiteral("B"), boss ? QStringLiteral("T") : QStringLiteral("F")},
               {QStringLiteral("BI"), bossId}});
    c.commitRetaining();
    return id;
}

int TasksOffice::addWorkPlace(db::Connection& c, const QString& name, int bossId)
{
    const int id = int(c.generatorValue(QStringLiteral("WORKPLACE_ID")));
    c.execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID, ORDERPOS) VALUES (:I, :N, :B, :I)"),
              {{QStringLiteral("I"), id}, {QStringLiteral("N"), name}, {QStringLiteral("B"), bossId}});
    c.commitRetaining();
    return id;
}

void TasksOffice::addRight(db::Connection& c, int userId, int workPlaceId, bool view, bool edit)
{
    c.execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) VALUES "
                             "(GEN_ID(USERWORKPLACE_ID, 1), :U, :W, :V, :E)"),
              {{QStringLiteral("U"), userId},
               {QStringLiteral("W"), workPlaceId},
               {QStringLiteral("V"), view ? QStringLiteral("T") : QStringLiteral("F")},
               {QStringLiteral("E"), edit ? QStringLiteral("T") : QStringLiteral("F")}});
    c.commitRetaining();
}

int addEvent(db::Connection& c, const EventRow& row)
{
    const int id = c.executeProcedure(QStringLiteral("EXECUTE PROCEDURE GETEVENTS_ID"))
                       .value(QStringLiteral("IDD"))
                       .toInt();
    c.execute(
        QStringLiteral("INSERT INTO EVENTS (ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, "
                       "ISPERCENT, IMPORTANCE, COLOR, IMAGE, WORKPLACE, TEMPLATE, WORKTYPE, DATEEDIT, "
                       "ALARM, SOUND) VALUES (:Id, 1, :Header, 'Описание', :StartTime, :EndTime, "
                       ":Finished, 40, 1, 255, 0, :WorkPlace, 1, 0, :StartTime, :Alarm, :Sound)"),
        {{QStringLiteral("Id"), id},
         {QStringLiteral("Header"), row.header},
         {QStringLiteral("StartTime"), row.start},
         {QStringLiteral("EndTime"), row.end.isValid() ? row.end : row.start.addSecs(3600)},
         {QStringLiteral("Finished"), row.finished},
         {QStringLiteral("WorkPlace"), row.workPlace},
         {QStringLiteral("Alarm"), row.alarm},
         {QStringLiteral("Sound"), row.sound}});
    c.commitRetaining();
    return id;
}

int addSound(db::Connection& c, const QString& name, const QString& path)
{
    const int id = int(c.generatorValue(QStringLiteral("SOUNDS_ID")));
    c.execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (:I, :N, :P)"),
              {{QStringLiteral("I"), id}, {QStringLiteral("N"), name}, {QStringLiteral("P"), path}});
    c.commitRetaining();
    return id;
}

int countOf(db::Connection& c, const QString& sql)
{
    db::Query q(c, sql);
    q.open();
    return q.recordCount();
}

} // namespace tarvik::test

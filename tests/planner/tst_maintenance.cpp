// Maintenance on a database with a year of events: the statistics it
// computes turn the month statement to the work place index, and clearing
// old records of deleted events raises the floor before any record goes.

#include "connection.h"
#include "eventsstatement.h"
#include "eventstamps.h"
#include "maintenance.h"
#include "query.h"
#include "testdatabase.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace tarvik {
namespace {

QVariant single(db::Connection& c, const QString& sql)
{
    db::Query q(c, sql);
    q.open();
    return q.value(0);
}

// The server's plan, from isql-fb; the parameters made constants.
QString planOf(const QString& database, QString sql)
{
    sql.replace(QStringLiteral(":STARTTIME"), QStringLiteral("CAST('01.03.2026' AS DATE)"));
    sql.replace(QStringLiteral(":ENDTIME"), QStringLiteral("CAST('01.04.2026' AS DATE)"));
    QProcess isql;
    isql.start(QStandardPaths::findExecutable(QStringLiteral("isql-fb")),
               {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                QStringLiteral("-password"), db::kSysdbaPassword, database});
    isql.write("SET PLANONLY ON;\n" + sql.toUtf8() + ";\n");
    isql.closeWriteChannel();
    isql.waitForFinished(30000);
    return QString::fromUtf8(isql.readAllStandardOutput() + isql.readAllStandardError()).simplified();
}

TEST(Maintenance, StatisticsTurnTheMonthToThePlaceIndexAndTheFloorRisesBeforeRecordsGo)
{
    test::TestDatabase database;
    const auto c = database.connect();
    // 50 work places, 6,000 events over a year; 600 of them deleted again.
    c->execute(QStringLiteral(
        "INSERT INTO EVENTS (ID, USERSID, HEADER, STARTTIME, ENDTIME, ISFINISH, WORKPLACE, TEMPLATE, ALARM) "
        "SELECT GEN_ID(EVENTS_ID, 1), 1, 'Звонок', CAST('01.01.2026' AS DATE) + MOD(N, 365) + 0.4, "
        "CAST('01.01.2026' AS DATE) + MOD(N, 365) + 0.45, 'F', 1 + MOD(N, 50), 1, 0 FROM "
        "(SELECT ROW_NUMBER() OVER () AS N FROM RDB$TYPES A, RDB$TYPES B ROWS 6000)"));
    db::EventStamps reader(*c);
    reader.fullReadStarts(); // a workstation that looked before the deletions
    c->execute(QStringLiteral("DELETE FROM EVENTS WHERE MOD(ID, 10) = 0"));
    // The older half of the deletions happened ten days ago.
    c->execute(QStringLiteral("UPDATE EVENTS_GONE SET GONEAT = CAST('NOW' AS DATE) - 10 WHERE STAMP <= "
                              "(SELECT MIN(STAMP) + 299 FROM EVENTS_GONE)"));
    // What the floor was while each record went.
    c->execute(QStringLiteral("CREATE TABLE GONE_SEEN (FLOOR_THEN INTEGER, STAMP INTEGER)"));
    c->commitRetaining();
    c->execute(
        QStringLiteral("CREATE TRIGGER GONE_SEEN_AD FOR EVENTS_GONE AFTER DELETE AS BEGIN "
                       "INSERT INTO GONE_SEEN VALUES (GEN_ID(EVENTS_GONE_PURGED, 0), OLD.STAMP); END"));
    c->commitRetaining();
    ASSERT_TRUE(reader.beginLook().has_value());

    const QString selectivity = QStringLiteral(
        "SELECT RDB$STATISTICS FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'IX_EVENTS_PLACE_START'");
    EXPECT_EQ(single(*c, selectivity).toDouble(), 0.0);
    const db::MaintenanceReport report = db::maintainDatabase(*c);
    c->commitRetaining();

    EXPECT_GT(single(*c, selectivity).toDouble(), 0.0);
    const QString plan = planOf(
        database.name(), planner::EventsStatement::text(
                             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, false));
    EXPECT_TRUE(plan.contains(QStringLiteral("IX_EVENTS_PLACE_START"))) << qPrintable(plan);

    // The floor stands right below the records kept.
    EXPECT_EQ(report.eventsGoneCleared, 300);
    EXPECT_EQ(single(*c, QStringLiteral(
                             "SELECT COUNT(*) FROM EVENTS_GONE WHERE STAMP > GEN_ID(EVENTS_GONE_PURGED, 0)"))
                  .toInt(),
              300);
    EXPECT_EQ(single(*c, QStringLiteral("SELECT COUNT(*) FROM GONE_SEEN WHERE FLOOR_THEN >= STAMP")).toInt(),
              300);
    EXPECT_FALSE(reader.beginLook().has_value());
}

} // namespace
} // namespace tarvik

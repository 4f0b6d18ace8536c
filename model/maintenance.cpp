#include "maintenance.h"

#include "connection.h"
#include "dberror.h"
#include "query.h"

namespace tarvik::db {

namespace {

struct StampLog
{
    const char* table;
    const char* loggedAt; // the server's time of the record
    const char* floor;    // generator: the highest stamp cleared away
};

bool tableExists(Connection& connection, const QString& table)
{
    Query q(connection, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :T"));
    q.setParam(QStringLiteral("T"), table);
    q.open();
    return q.value(0).toInt() > 0;
}

// The floor is raised (never lowered) before the records go: a generator
// changes at once for every attachment, whatever becomes of this
// transaction, so no reader can see the records gone and the floor not yet
// raised.
int clearOldRecords(Connection& connection, const StampLog& log, int keepDays)
{
    const QString table = QString::fromLatin1(log.table);
    if (!tableExists(connection, table))
        return 0;
    Query top(connection, QStringLiteral("SELECT MAX(STAMP) FROM %1 WHERE %2 < CAST('NOW' AS DATE) - %3")
                              .arg(table, QString::fromLatin1(log.loggedAt))
                              .arg(keepDays));
    top.open();
    if (top.value(0).isNull())
        return 0;
    const qint64 highest = top.value(0).toLongLong();
    top.close();
    const QString floor = QString::fromLatin1(log.floor);
    Query current(connection, QStringLiteral("SELECT GEN_ID(%1, 0) FROM RDB$DATABASE").arg(floor));
    current.open();
    const qint64 was = current.value(0).toLongLong();
    current.close();
    if (highest > was) {
        Query raise(connection,
                    QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE").arg(floor).arg(highest - was));
        raise.open();
    }
    Query count(connection, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE STAMP <= :Top").arg(table));
    count.setParam(QStringLiteral("Top"), highest);
    count.open();
    const int cleared = count.value(0).toInt();
    count.close();
    connection.execute(QStringLiteral("DELETE FROM %1 WHERE STAMP <= :Top").arg(table),
                       {{QStringLiteral("Top"), highest}});
    connection.commitRetaining();
    return cleared;
}

} // namespace

QStringList recomputeIndexStatistics(Connection& connection)
{
    if (!connection.inTransaction())
        connection.startTransaction();
    QStringList names;
    {
        Query q(connection, QStringLiteral("SELECT RDB$INDEX_NAME FROM RDB$INDICES WHERE "
                                           "COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY RDB$INDEX_NAME"));
        q.open();
        for (int r = 0; r < q.recordCount(); ++r)
            names << q.valueAt(r, 0).toString().trimmed();
    }
    for (const QString& name : names)
        connection.execute(QStringLiteral("SET STATISTICS INDEX %1").arg(name));
    connection.commitRetaining();
    return names;
}

MaintenanceReport maintainDatabase(Connection& connection, int keepDays)
{
    if (!connection.inTransaction())
        connection.startTransaction();
    MaintenanceReport report;
    report.eventsGoneCleared =
        clearOldRecords(connection, {"EVENTS_GONE", "GONEAT", "EVENTS_GONE_PURGED"}, keepDays);
    report.shownLogCleared =
        clearOldRecords(connection, {"SHOWALARM_LOG", "LOGGEDAT", "SHOWALARM_LOG_PURGED"}, keepDays);
    report.indexes = recomputeIndexStatistics(connection);
    return report;
}

} // namespace tarvik::db

#include "databasecreator.h"

#include "connection.h"
#include "dberror.h"
#include "demodata.h"
#include "maintenance.h"
#include "schemaupgrade.h"
#include "sqlscript.h"

#include <QFile>

namespace tarvik::db {

namespace {

QString resourceText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Не найден сценарий %1").arg(path));
    return QString::fromUtf8(f.readAll());
}

} // namespace

QString schemaScript()
{
    return resourceText(QStringLiteral(":/sql/schema.sql"));
}

QString initialDataScript()
{
    return resourceText(QStringLiteral(":/sql/initial.sql"));
}

void createDatabase(const QString& database, bool demo)
{
    {
        Connection probe(ConnectionParams{database});
        bool exists = false;
        try {
            probe.open();
            exists = true;
        } catch (const DbError&) {
            // Not there (or not reachable): creating will tell which.
        }
        if (exists)
            throw DbError(QStringLiteral("База данных %1 уже существует; она не изменена.").arg(database));
    }

    Connection connection(ConnectionParams{database});
    connection.create();
    try {
        connection.startTransaction();
        runSqlScript(connection, schemaScript());
        upgradeSchema(connection);
        runSqlScript(connection, initialDataScript());
        if (demo)
            fillDemoOffice(connection);
        connection.commit();
    } catch (...) {
        try {
            connection.drop();
        } catch (const DbError&) {
            // The original failure is the one to report.
        }
        throw;
    }
    // Indexes made on empty tables count as useless until told otherwise.
    connection.startTransaction();
    recomputeIndexStatistics(connection);
    connection.commit();
}

} // namespace tarvik::db

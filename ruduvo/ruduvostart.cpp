#include "ruduvostart.h"

#include "connection.h"
#include "dberror.h"
#include "initfile.h"
#include "platform.h"

namespace tarvik::ruduvo {

std::unique_ptr<db::Connection> connectFromConfig(const QString& workDir, const QString& programDir)
{
    QString name;
    QString line;
    try {
        if (!startup::readFirstLine(startup::findFileIgnoringCase(workDir, kConfigName), &line))
            throw db::ConnectionError(QStringLiteral("no configuration"));
        name = startup::databaseNameFromLine(line, programDir);
        auto connection = std::make_unique<db::Connection>(db::ConnectionParams{name});
        connection->open();
        connection->startTransaction();
        return connection;
    } catch (const db::DbError&) {
        platform().notice(QStringLiteral("Ошибка подключения к базе: ") + name);
        return nullptr;
    }
}

} // namespace tarvik::ruduvo

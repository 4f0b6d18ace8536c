#include "testdatabase.h"

#include "databasecreator.h"
#include "dberror.h"
#include "query.h"

#include <QFile>

#include <stdexcept>

namespace tarvik::test {

TestDatabase::TestDatabase(bool demo, const QString& host) : m_dir(QStringLiteral("/tmp/tarvik-test-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder for the test database");
    // The server runs as another user when it was not started by us.
    QFile::setPermissions(m_dir.path(), QFile::Permissions(0x7777));
    m_name = host + QLatin1Char(':') + m_dir.path() + QStringLiteral("/tk.gdb");
    db::createDatabase(m_name, demo);
}

TestDatabase::~TestDatabase()
{
    try {
        db::Connection c(db::ConnectionParams{m_name});
        c.open();
        c.drop();
    } catch (const db::DbError&) {
        // The folder goes anyway.
    }
}

std::unique_ptr<db::Connection> TestDatabase::connect() const
{
    auto c = std::make_unique<db::Connection>(db::ConnectionParams{m_name});
    c->open();
    c->startTransaction();
    return c;
}

void killAttachment(db::Connection& victim)
{
    db::Query own(victim, QStringLiteral("SELECT CURRENT_CONNECTION AS ID FROM RDB$DATABASE"));
    own.open();
    const qint64 id = own.value(QStringLiteral("ID")).toLongLong();
    own.close();
    db::Connection killer(db::ConnectionParams{victim.params().database});
    killer.open();
    killer.startTransaction();
    killer.execute(QStringLiteral("DELETE FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = :Id"),
                   {{QStringLiteral("Id"), id}});
    killer.commit();
}

} // namespace tarvik::test

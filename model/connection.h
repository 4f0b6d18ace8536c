#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace tarvik::db {

class ConnectionPrivate;
class EventSubscription;

// The password every program of the system attaches with.
inline const QString kSysdbaPassword = QStringLiteral("vantorelx");

struct ConnectionParams
{
    // A file path or a connection string "host:/path/file".
    QString database;
    QString user = QStringLiteral("SYSDBA");
    QString password = kSysdbaPassword;
};

// Parameters of a one-shot statement, by name without the colon; names are
// matched regardless of case.
using Params = QVariantMap;

// One attachment to the database with the one shared transaction of a
// program run (nowait, read committed, record versions). All queries and
// statements of the run go through it. Move-only in spirit: neither copied
// nor moved, since queries and subscriptions keep a reference.
class Connection
{
public:
    explicit Connection(ConnectionParams params = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    [[nodiscard]] const ConnectionParams& params() const;
    void setDatabase(const QString& database);

    // Attaches (WIN1251, dialect 1) and renews the event subscriptions.
    void open();
    // Commits what is pending and detaches; never throws.
    void close() noexcept;
    // False once the server dropped the attachment (isBroken() then says so).
    [[nodiscard]] bool isOpen() const;
    // The first connection-level failure (the server gone, the attachment
    // killed) closes the connection for the rest of the run, or until open().
    [[nodiscard]] bool isBroken() const;
    // Called once each time the connection turns broken, from inside the
    // failing call (before its error is thrown): it must not run statements.
    void setLostHandler(std::function<void()> handler);

    // The shared transaction.
    void startTransaction();
    [[nodiscard]] bool inTransaction() const;
    void commitRetaining();
    void rollbackRetaining();
    void commit();
    void rollback();

    // Runs an INSERT, UPDATE, DELETE or DDL statement in the shared transaction.
    void execute(const QString& sql, const Params& params = {});
    // Runs "EXECUTE PROCEDURE ..." and gives the output parameters by name.
    [[nodiscard]] QVariantMap executeProcedure(const QString& sql, const Params& params = {});
    // Advances a generator and gives its new value.
    [[nodiscard]] qint64 generatorValue(const QString& generator, int step = 1);

    // Creates a new dialect-1 database with WIN1251 as its default character
    // set and leaves this connection attached to it (no transaction).
    void create();
    // Drops the attached database; the connection is closed afterwards.
    void drop();

    [[nodiscard]] ConnectionPrivate* d() const { return m_d.get(); }

private:
    std::unique_ptr<ConnectionPrivate> m_d;
};

} // namespace tarvik::db

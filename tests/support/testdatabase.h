#pragma once

#include "connection.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace tarvik::test {

// A new database with the complete schema and initial rows on the real
// server, in a folder of its own that is removed with it. The database is
// dropped when the object goes.
class TestDatabase
{
public:
    // host: the server's "host" or "host/port" part of the name.
    explicit TestDatabase(bool demo = false, const QString& host = QStringLiteral("localhost"));
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // "localhost:/tmp/.../tk.gdb"
    [[nodiscard]] const QString& name() const { return m_name; }
    // A new connection to it, opened, with its shared transaction started.
    [[nodiscard]] std::unique_ptr<db::Connection> connect() const;

private:
    QTemporaryDir m_dir;
    QString m_name;
};

// Ends the attachment of victim from a second SYSDBA connection, as the
// server does when it is lost: the victim learns of it at its next call.
void killAttachment(db::Connection& victim);

// A fixture whose tests share one database, made once for the suite:
// creating a database costs far more than most tests.
class SharedDatabaseTest : public testing::Test
{
protected:
    static void SetUpTestSuite() { s_database = std::make_unique<TestDatabase>(); }
    static void TearDownTestSuite() { s_database.reset(); }
    [[nodiscard]] static TestDatabase& database() { return *s_database; }

private:
    static inline std::unique_ptr<TestDatabase> s_database;
};

} // namespace tarvik::test

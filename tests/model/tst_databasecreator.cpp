#include "connection.h"
#include "databasecreator.h"
#include "dberror.h"
#include "query.h"
#include "schemaupgrade.h"
#include "sqlscript.h"
#include "testdatabase.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::db;

TEST(SqlScript, SplitsOnTerminatorAndHonoursSetTerm)
{
    const QStringList parts = splitSqlScript(QStringLiteral(
        "/* head; */ CREATE TABLE A (X INTEGER);\n-- note; here\nINSERT INTO A VALUES (';');\n"
        "SET TERM ^ ;\nCREATE PROCEDURE P AS BEGIN X = 1; END^\nSET TERM ; ^\nSELECT 1 FROM B;"));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts.at(0), QStringLiteral("CREATE TABLE A (X INTEGER)"));
    EXPECT_EQ(parts.at(1), QStringLiteral("INSERT INTO A VALUES (';')"));
    EXPECT_EQ(parts.at(2), QStringLiteral("CREATE PROCEDURE P AS BEGIN X = 1; END"));
    EXPECT_EQ(parts.at(3), QStringLiteral("SELECT 1 FROM B"));
}

TEST(DatabaseCreator, RefusesAnExistingDatabaseAndLeavesItUnchanged)
{
    test::TestDatabase existing;
    {
        auto c = existing.connect();
        c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME) VALUES (77, 'Свой')"));
        c->commit();
    }
    try {
        createDatabase(existing.name(), false);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("уже существует")));
    }
    auto c = existing.connect();
    Query q(*c, QStringLiteral("SELECT * FROM SOUNDS WHERE ID = 77"));
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
}

TEST(DatabaseCreator, WrongPathFailsWithServerText)
{
    try {
        createDatabase(QStringLiteral("localhost:/no/such/folder/tk.gdb"), false);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("/no/such/folder/tk.gdb"))) << e.text().toStdString();
    }
}

// A failure half-way through leaves no database behind.
TEST(DatabaseCreator, FailedSchemaLeavesNothingBehind)
{
    QTemporaryDir dir(QStringLiteral("/tmp/tarvik-test-XXXXXX"));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    const QString file = dir.path() + QStringLiteral("/half.gdb");
    Connection c(ConnectionParams{QStringLiteral("localhost:") + file});
    c.create();
    c.startTransaction();
    try {
        runSqlScript(c, QStringLiteral("CREATE TABLE A (X INTEGER); CREATE TABLE A (X INTEGER);"));
        FAIL();
    } catch (const DbError&) {
        c.drop();
    }
    EXPECT_FALSE(QFile::exists(file));
}

TEST(DatabaseCreator, DemoOfficeFillsTheCurrentMonth)
{
    test::TestDatabase demo(true);
    auto c = demo.connect();
    Query events(*c, QStringLiteral("SELECT * FROM EVENTS WHERE STARTTIME >= :S AND ENDTIME <= :E"));
    const QDate first = QDate::currentDate().addDays(1 - QDate::currentDate().day());
    events.setParam(QStringLiteral("S"), first.startOfDay());
    events.setParam(QStringLiteral("E"), first.addMonths(1).startOfDay());
    events.open();
    EXPECT_GT(events.recordCount(), 50);
    Query bosses(*c, QStringLiteral("SELECT * FROM Users WHERE BOSS = 'T' ORDER BY Name"));
    bosses.open();
    EXPECT_EQ(bosses.recordCount(), 2);
    Query rights(*c, QStringLiteral("SELECT * FROM USERWORKPLACE"));
    rights.open();
    EXPECT_GT(rights.recordCount(), 0);
}

// A database made before the change stamps: the upgrade adds them without
// touching its rows, a second run finds nothing to do, and statements of
// the earlier programs still work on it.
TEST(DatabaseCreator, UpgradeAddsChangeStampsToAnEarlierDatabaseOnce)
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("localhost:") + dir.filePath(QStringLiteral("old.gdb"));
    Connection c(ConnectionParams{name});
    c.create();
    c.startTransaction();
    runSqlScript(c, schemaScript());
    runSqlScript(c, initialDataScript());
    c.execute(QStringLiteral("INSERT INTO EVENTS (ID, HEADER) VALUES (1, 'Старое')"));
    c.commitRetaining();
    EXPECT_FALSE(keepsEventStamps(c));

    const QStringList made = upgradeSchema(c);
    EXPECT_TRUE(made.contains(QStringLiteral("EVENTS.STAMP"))) << made.join(' ').toStdString();
    EXPECT_TRUE(keepsEventStamps(c));
    EXPECT_TRUE(upgradeSchema(c).isEmpty());

    c.execute(QStringLiteral("UPDATE EVENTS SET HEADER = 'Новое' WHERE ID = 1"));
    c.execute(QStringLiteral("INSERT INTO EVENTS (ID, HEADER) VALUES (2, 'Ещё')"));
    c.execute(QStringLiteral("DELETE FROM EVENTS WHERE ID = 2"));
    c.commitRetaining();
    Query q(c, QStringLiteral("SELECT E.HEADER, E.STAMP, G.ID FROM EVENTS E, EVENTS_GONE G"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.text(QStringLiteral("HEADER")), QStringLiteral("Новое"));
    EXPECT_EQ(q.value(QStringLiteral("STAMP")).toInt(), 1);
    EXPECT_EQ(q.value(2).toInt(), 2);
    q.close();
    c.drop();
}

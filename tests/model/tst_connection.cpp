// The shared transaction: commit and rollback retaining, the nowait lock
// behaviour between workstations, and connection failures.

#include "connection.h"
#include "databasecreator.h"
#include "dberror.h"
#include "eventsubscription.h"
#include "query.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::db;

namespace {

class ConnectionTest : public test::SharedDatabaseTest
{
protected:
    static int countUsers(Connection& c, const QString& name)
    {
        Query q(c, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE NAME = :N"));
        q.setParam(QStringLiteral("N"), name);
        q.open();
        return q.value(0).toInt();
    }
};

} // namespace

TEST_F(ConnectionTest, CommitRetainingPublishesAndKeepsResultsOpen)
{
    auto a = database().connect();
    auto b = database().connect();
    Query open(*a, QStringLiteral("SELECT * FROM USERS ORDER BY NAME"));
    open.open();
    const int rows = open.recordCount();

    a->execute(QStringLiteral("INSERT INTO USERS (ID, NAME) VALUES (GEN_ID(USERS_ID, 1), 'Видимый')"));
    EXPECT_EQ(countUsers(*b, QStringLiteral("Видимый")), 0) << "not visible before the commit";
    a->commitRetaining();
    EXPECT_EQ(countUsers(*b, QStringLiteral("Видимый")), 1) << "read committed sees it at once";

    EXPECT_TRUE(open.isOpen());
    EXPECT_EQ(open.recordCount(), rows);
    open.reopen();
    EXPECT_EQ(open.recordCount(), rows + 1);
}

TEST_F(ConnectionTest, RollbackRetainingUndoesAndKeepsTransaction)
{
    auto a = database().connect();
    a->execute(QStringLiteral("INSERT INTO USERS (ID, NAME) VALUES (GEN_ID(USERS_ID, 1), 'Отменённый')"));
    a->rollbackRetaining();
    EXPECT_TRUE(a->inTransaction());
    EXPECT_EQ(countUsers(*a, QStringLiteral("Отменённый")), 0);
}

TEST_F(ConnectionTest, ClosingCommitsPendingWork)
{
    {
        auto a = database().connect();
        a->execute(QStringLiteral("INSERT INTO USERS (ID, NAME) VALUES (GEN_ID(USERS_ID, 1), 'Уходящий')"));
    }
    auto b = database().connect();
    EXPECT_EQ(countUsers(*b, QStringLiteral("Уходящий")), 1);
}

// Another workstation's uncommitted change makes an update fail at once with
// the server's text instead of waiting.
TEST_F(ConnectionTest, UpdateOfRowChangedElsewhereFailsAtOnce)
{
    auto a = database().connect();
    auto b = database().connect();
    a->execute(QStringLiteral("INSERT INTO USERS (ID, NAME) VALUES (GEN_ID(USERS_ID, 1), 'Спорный')"));
    a->commitRetaining();
    a->execute(QStringLiteral("UPDATE USERS SET PASS = 'a' WHERE NAME = 'Спорный'"));

    Query q(*b, QStringLiteral("SELECT * FROM USERS WHERE NAME = 'Спорный'"));
    q.setModifySql(QStringLiteral("UPDATE USERS SET PASS = :PASS WHERE ID = :OLD_ID"));
    q.open();
    q.edit();
    q.setValue(QStringLiteral("PASS"), QStringLiteral("b"));
    QElapsedTimer timer;
    timer.start();
    try {
        q.post();
        FAIL() << "the update waited or succeeded";
    } catch (const LockConflictError& e) {
        EXPECT_LT(timer.elapsed(), 2000);
        EXPECT_TRUE(e.text().contains(QStringLiteral("concurrent"))) << e.text().toStdString();
    }
    EXPECT_EQ(q.state(), Query::State::Edit) << "the caller decides to cancel";
    q.cancel();
    EXPECT_TRUE(q.value(QStringLiteral("PASS")).isNull() || q.text(QStringLiteral("PASS")).isEmpty());
    a->commitRetaining();
}

TEST_F(ConnectionTest, FailuresCarryTheServersText)
{
    Connection missing(ConnectionParams{QStringLiteral("localhost:/nonexistent/folder/tk.gdb")});
    try {
        missing.open();
        FAIL();
    } catch (const ConnectionError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("/nonexistent/folder/tk.gdb")))
            << e.text().toStdString();
    }
    EXPECT_FALSE(missing.isOpen());

    Connection noServer(ConnectionParams{QStringLiteral("127.0.0.1/3999:/tmp/tk.gdb")});
    EXPECT_THROW(noServer.open(), ConnectionError);

    ConnectionParams wrongPassword{database().name()};
    wrongPassword.password = QStringLiteral("wrong");
    Connection refused(wrongPassword);
    EXPECT_THROW(refused.open(), ConnectionError);

    auto c = database().connect();
    try {
        c->execute(QStringLiteral("UPDATE NO_SUCH_TABLE SET X = 1"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("NO_SUCH_TABLE")));
        EXPECT_EQ(e.statement(), QStringLiteral("UPDATE NO_SUCH_TABLE SET X = 1"));
    }
}

TEST_F(ConnectionTest, StatementsNeedTheTransaction)
{
    Connection c(ConnectionParams{database().name()});
    c.open();
    EXPECT_THROW(c.execute(QStringLiteral("DELETE FROM SOUNDS WHERE ID = -1")), DbError);
    c.startTransaction();
    EXPECT_NO_THROW(c.execute(QStringLiteral("DELETE FROM SOUNDS WHERE ID = -1")));
    // Reopening after a close gives a fresh attachment; queries prepared on
    // the old one prepare again.
    Query q(c, QStringLiteral("SELECT * FROM OPTIONS"));
    q.open();
    q.close();
    c.close();
    c.open();
    c.startTransaction();
    EXPECT_NO_THROW(q.open());
    EXPECT_EQ(q.recordCount(), 1);
}

// The server dropping the attachment (here: killed from another connection)
// closes the connection at the first call that meets it: nothing claims to
// be open or armed any more, later calls fail at once, and opening again
// brings everything back.
TEST_F(ConnectionTest, LostAttachmentClosesTheConnectionAndItsAlertsUntilOpenedAgain)
{
    auto c = database().connect();
    EventSubscription alerts(*c, {QStringLiteral("INS_EVENTS")}, [](const QString&) {});
    QTest::qWait(200);
    ASSERT_TRUE(alerts.isArmed());
    Query q(*c, QStringLiteral("SELECT * FROM OPTIONS"));

    test::killAttachment(*c);
    try {
        q.open();
        FAIL() << "the killed attachment answered";
    } catch (const ConnectionError& e) {
        EXPECT_FALSE(e.text().isEmpty());
    }
    EXPECT_FALSE(c->isOpen());
    EXPECT_TRUE(c->isBroken());
    EXPECT_FALSE(alerts.isArmed());
    EXPECT_FALSE(q.isOpen());
    EXPECT_THROW(c->commitRetaining(), ConnectionError);
    EXPECT_THROW(q.open(), ConnectionError);

    c->close();
    c->open();
    c->startTransaction();
    EXPECT_FALSE(c->isBroken());
    EXPECT_TRUE(alerts.isArmed());
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
}

// A database whose disk is full: the write fails with the server's text,
// the attachment stays, and once there is room again the same connection
// stores and commits. Needs a small file system of its own, which only a
// machine that allows mounting one can give.
TEST(DiskFullTest, FailedWriteLeavesTheConnectionWorkingOnceThereIsRoom)
{
    QTemporaryDir dir(QStringLiteral("/tmp/tarvik-full-XXXXXX"));
    const QString mount = dir.path();
    if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                    QStringLiteral("-o"), QStringLiteral("size=4m"),
                                                    QStringLiteral("tmpfs"), mount}) != 0)
        GTEST_SKIP() << "this machine cannot mount a small file system";
    const QString name = QStringLiteral("localhost:") + mount + QStringLiteral("/tk.gdb");
    const auto unmount = qScopeGuard([&] {
        try {
            Connection c{ConnectionParams{name}};
            c.open();
            c.drop();
        } catch (const DbError&) {
            // Dropped by the test already.
        }
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), mount});
    });
    QFile::setPermissions(mount, QFile::Permissions(0x7777));
    createDatabase(name, false);
    {
        Connection c{ConnectionParams{name}};
        c.open();
        c.startTransaction();
        // Take what room is left.
        QFile filler(mount + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        const QByteArray block(16 * 1024, '\0');
        while (filler.write(block) == block.size()) {
        }
        filler.close();

        const auto store = [&](int id) {
            QString text;
            for (int i = 0; i < 4000; ++i)
                text += QChar(u'А' + QRandomGenerator::global()->bounded(32));
            c.execute(QStringLiteral("INSERT INTO EVENTS (ID, HEADER, COMMENT) VALUES (:I, 'Полный диск', :C)"),
                      {{QStringLiteral("I"), id}, {QStringLiteral("C"), text}});
            c.commitRetaining();
        };
        QString failure;
        for (int id = 1; id <= 400 && failure.isEmpty(); ++id) {
            try {
                store(id);
            } catch (const DbError& e) {
                failure = e.text();
            }
        }
        EXPECT_TRUE(failure.contains(QStringLiteral("No space left on device"))) << failure.toStdString();
        EXPECT_TRUE(c.isOpen()) << "a failed write is no lost server";

        filler.remove();
        EXPECT_NO_THROW(store(1000)) << "the run goes on once there is room";
        Query q(c, QStringLiteral("SELECT COUNT(*) FROM EVENTS WHERE ID = 1000"));
        q.open();
        EXPECT_EQ(q.value(0).toInt(), 1);
    }
}

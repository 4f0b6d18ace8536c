// Event alerts between two connections: delivered after the commit and not
// before, once per name, to the handler registered for that name, on the
// thread the subscription lives in.

#include "connection.h"
#include "eventsubscription.h"
#include "testdatabase.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::db;

namespace {

const QStringList kAllAlerts = {"INS_EVENTS",  "UPD_EVENTS", "DEL_EVENTS", "INS_MESAGES", "UPD_MESAGES",
                                "DEL_MESAGES", "INS_TEXTS",  "UPD_TEXTS",  "DEL_TEXTS",   "INS_USERS",
                                "UPD_USERS",   "DEL_USERS",  "INS_UWP",    "UPD_UWP",     "DEL_UWP"};

struct Change
{
    QString alert;
    QString sql;
};

class EventsTest : public test::SharedDatabaseTest
{
protected:
    void SetUp() override
    {
        m_writer = database().connect();
        m_reader = database().connect();
        m_subscription =
            std::make_unique<EventSubscription>(*m_reader, kAllAlerts, [this](const QString& name) {
                EXPECT_EQ(QThread::currentThread(), qApp->thread());
                m_received << name;
            });
        // Let the first delivery, which only reports the current counts, pass.
        QTest::qWait(200);
        m_received.clear();
    }

    std::unique_ptr<Connection> m_writer;
    std::unique_ptr<Connection> m_reader;
    std::unique_ptr<EventSubscription> m_subscription;
    QStringList m_received;
};

} // namespace

TEST_F(EventsTest, EachAlertArrivesAfterCommitAndNotBefore)
{
    const QList<Change> changes = {
        {"INS_EVENTS", "INSERT INTO EVENTS (ID, HEADER) VALUES (1001, 'a')"},
        {"UPD_EVENTS", "UPDATE EVENTS SET HEADER = 'b' WHERE ID = 1001"},
        {"DEL_EVENTS", "DELETE FROM EVENTS WHERE ID = 1001"},
        {"INS_MESAGES", "INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY) VALUES (1001, 1, -1, 'a')"},
        {"UPD_MESAGES", "UPDATE MESAGES SET BODY = 'b' WHERE ID = 1001"},
        {"DEL_MESAGES", "DELETE FROM MESAGES WHERE ID = 1001"},
        {"INS_TEXTS", "INSERT INTO TEXTS (ID, IDUSER, SUBJ) VALUES (1001, 1, 'a')"},
        {"UPD_TEXTS", "UPDATE TEXTS SET ISREAD = 'T' WHERE ID = 1001"},
        {"DEL_TEXTS", "DELETE FROM TEXTS WHERE ID = 1001"},
        {"INS_USERS", "INSERT INTO USERS (ID, NAME) VALUES (1001, 'Событийный')"},
        {"UPD_USERS", "UPDATE USERS SET INSYSTEM = 'T' WHERE ID = 1001"},
        {"DEL_USERS", "DELETE FROM USERS WHERE ID = 1001"},
        {"INS_UWP", "INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID) VALUES (1001, 5, 5)"},
        {"UPD_UWP", "UPDATE USERWORKPLACE SET WVIEW = 'T' WHERE ID = 1001"},
        {"DEL_UWP", "DELETE FROM USERWORKPLACE WHERE ID = 1001"},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.alert.toStdString());
        m_writer->execute(change.sql);
        QTest::qWait(100);
        EXPECT_TRUE(m_received.isEmpty()) << "delivered before the commit";
        m_writer->commitRetaining();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !m_received.isEmpty(); }, 5000));
        QTest::qWait(30);
        EXPECT_EQ(m_received, QStringList{change.alert});
        m_received.clear();
    }
}

// Several posts of one name in one transaction arrive once.
TEST_F(EventsTest, RepeatedPostsInOneTransactionArriveOnce)
{
    for (int i = 0; i < 3; ++i)
        m_writer->execute(
            QStringLiteral("INSERT INTO EVENTS (ID, HEADER) VALUES (GEN_ID(EVENTS_ID, 1), 'x')"));
    m_writer->commitRetaining();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_received.isEmpty(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(m_received, QStringList{"INS_EVENTS"});
}

TEST_F(EventsTest, AlertGoesOnlyToTheSubscriptionForItsName)
{
    QStringList mail;
    QStringList chat;
    EventSubscription mailSub(*m_reader, {"INS_TEXTS"}, [&](const QString& n) { mail << n; });
    EventSubscription chatSub(*m_reader, {"INS_MESAGES"}, [&](const QString& n) { chat << n; });
    QTest::qWait(200);
    m_writer->execute(
        QStringLiteral("INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY) VALUES (GEN_ID(MESAGES_ID, 1), "
                       "1, -1, 'привет')"));
    m_writer->commitRetaining();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !chat.isEmpty(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(chat, QStringList{"INS_MESAGES"});
    EXPECT_TRUE(mail.isEmpty());
}

// The subscription is renewed when the connection opens again, and a
// subscription that is gone is never called.
TEST_F(EventsTest, RenewedAfterReconnectAndSilentAfterDestruction)
{
    m_reader->close();
    EXPECT_FALSE(m_subscription->isArmed());
    m_reader->open();
    EXPECT_TRUE(m_subscription->isArmed());
    QTest::qWait(200);
    m_received.clear();

    m_writer->execute(QStringLiteral("UPDATE OPTIONS SET STEP = STEP"));
    m_writer->execute(
        QStringLiteral("INSERT INTO TEXTS (ID, IDUSER, SUBJ) VALUES (GEN_ID(TEXTS_ID, 1), 1, 'x')"));
    m_writer->commitRetaining();
    EXPECT_TRUE(QTest::qWaitFor([this] { return !m_received.isEmpty(); }, 5000));
    EXPECT_EQ(m_received, QStringList{"INS_TEXTS"});

    m_subscription.reset();
    m_received.clear();
    m_writer->execute(
        QStringLiteral("INSERT INTO TEXTS (ID, IDUSER, SUBJ) VALUES (GEN_ID(TEXTS_ID, 1), 1, 'y')"));
    m_writer->commitRetaining();
    QTest::qWait(300);
    EXPECT_TRUE(m_received.isEmpty());
}

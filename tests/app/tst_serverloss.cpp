// A workstation whose server goes away and comes back: the loss is shown
// once, nothing committed before it is lost, and the window carries on
// once the server is back without a restart.

#include "connection.h"
#include "mainwindowfixture.h"
#include "markupstatusbar.h"
#include "plannerpage.h"
#include "privateserver.h"
#include "query.h"
#include "reminders.h"
#include "wallclock.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

QString statusOf(startup::TfmMain& w)
{
    return w.findChild<widgets::MarkupStatusBar*>(QStringLiteral("StatusBar"))->panelText(0);
}

QVariant scalar(const QString& database, const QString& sql)
{
    db::Connection c(db::ConnectionParams{database});
    c.open();
    c.startTransaction();
    db::Query q(c, sql);
    q.open();
    return q.isEmpty() ? QVariant() : q.valueAt(0, 0);
}

bool eventShown(startup::TfmMain& w, const QString& header)
{
    db::Query& events = w.planner()->events();
    for (int row = 0; events.isOpen() && row < events.recordCount(); ++row)
        if (events.valueAt(row, QStringLiteral("HEADER")).toString() == header)
            return true;
    return false;
}

TEST(ServerLossTest, WorkstationCarriesOnWhenTheServerComesBack)
{
    test::PrivateServer server;
    test::TestDatabase database(true, server.host());
    ScriptedPlatform scripted;
    PlatformScope scope(scripted);
    QTemporaryDir programDir;
    QFile init(programDir.filePath(QStringLiteral("init.txt")));
    ASSERT_TRUE(init.open(QIODevice::WriteOnly));
    init.write(database.name().toLocal8Bit() + "\n");
    init.close();

    auto w = test::logIn(programDir.path(), QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    w->show();
    w->FormActivate();
    ASSERT_FALSE(w->planner()->events().isEmpty());
    const int place = w->planner()->events().valueAt(0, QStringLiteral("WORKPLACE")).toInt();
    const auto addEvent = [&](const QString& header) {
        auto peer = database.connect();
        const QDateTime start = wallClock(QDate::currentDate(), QTime(10, 0));
        peer->execute(QStringLiteral("INSERT INTO EVENTS (ID, HEADER, STARTTIME, ENDTIME, WORKPLACE, ISFINISH) "
                                     "VALUES (GEN_ID(EVENTS_ID, 1), :H, :S, :E, :W, 'F')"),
                      {{QStringLiteral("H"), header},
                       {QStringLiteral("S"), start},
                       {QStringLiteral("E"), start.addSecs(3600)},
                       {QStringLiteral("W"), place}});
        peer->commit();
    };
    addEvent(QStringLiteral("До остановки"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return eventShown(*w, QStringLiteral("До остановки")); }, 5000));
    scripted.clearMessages();

    server.stop();
    w->RefreshWorkPlaces();
    QTest::qWait(50);
    ASSERT_EQ(scripted.messages().size(), 1) << "the loss is shown once, with the server's text";
    EXPECT_EQ(scripted.messages().front().kind, MessageKind::Error);
    EXPECT_FALSE(w->connection().isOpen());
    EXPECT_TRUE(statusOf(*w).contains(QStringLiteral("Нет связи с сервером")));
    w->reminders()->tick();
    EXPECT_FALSE(w->reconnect()) << "the server is still away";
    EXPECT_EQ(scripted.messages().size(), 1);

    server.start();
    // Meanwhile the clearing utility took the mark of the lost workstation.
    auto peer = database.connect();
    peer->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'F' WHERE NAME = 'Администратор'"));
    peer->commit();
    addEvent(QStringLiteral("Пока связи не было"));

    ASSERT_TRUE(w->reconnect());
    EXPECT_EQ(scripted.messages().size(), 1);
    EXPECT_TRUE(statusOf(*w).contains(QStringLiteral("Связь с сервером восстановлена")));
    EXPECT_TRUE(eventShown(*w, QStringLiteral("До остановки"))) << "committed before the stop";
    EXPECT_TRUE(eventShown(*w, QStringLiteral("Пока связи не было"))) << "missed alerts are made up for";
    EXPECT_EQ(scalar(database.name(), QStringLiteral("SELECT INSYSTEM FROM USERS WHERE NAME = 'Администратор'"))
                  .toString(),
              QStringLiteral("T"));
    addEvent(QStringLiteral("После возвращения"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return eventShown(*w, QStringLiteral("После возвращения")); }, 5000))
        << "the alerts are registered again";

    QSignalSpy ended(w.get(), &startup::TfmMain::closed);
    w->close();
    EXPECT_EQ(ended.count(), 1);
    w.reset();
    EXPECT_EQ(scripted.messages().size(), 1);
    EXPECT_EQ(scalar(database.name(), QStringLiteral("SELECT INSYSTEM FROM USERS WHERE NAME = 'Администратор'"))
                  .toString(),
              QStringLiteral("F"))
        << "leaving after the return clears the mark";
}

} // namespace

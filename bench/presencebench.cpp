// What it costs to know which presence marks are live: 200 users marked
// present, 50 of them by workstations still attached (each its own
// connection), 100 by workstations that died, 50 by an earlier build
// without an attachment. Times the states read as the clearing utility, the
// login and the chat read them. Run by hand; prints one line.

#include "connection.h"
#include "databasecreator.h"
#include "dberror.h"
#include "presencemarks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using namespace tarvik;

constexpr int kUsers = 200;
constexpr int kLive = 50;
constexpr int kDead = 100;
constexpr int kRounds = 51;

void run(const QString& name)
{
    db::createDatabase(name, false);
    db::Connection admin(db::ConnectionParams{name});
    admin.open();
    admin.startTransaction();
    for (int i = 0; i < kUsers; ++i)
        admin.execute(
            QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, INSYSTEM, MONO) "
                           "VALUES (:I, :N, 'x', 'F', 'F', 'F', 'F')"),
            {{QStringLiteral("I"), 1000 + i}, {QStringLiteral("N"), QStringLiteral("Сотрудник %1").arg(i)}});
    admin.commitRetaining();
    // Each workstation marks its user present and names its attachment, as
    // the login does; the dead ones then go away without clearing.
    std::vector<std::unique_ptr<db::Connection>> stations;
    for (int i = 0; i < kLive + kDead; ++i) {
        auto c = std::make_unique<db::Connection>(db::ConnectionParams{name});
        c->open();
        c->startTransaction();
        c->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'T' WHERE ID = :I"),
                   {{QStringLiteral("I"), 1000 + i}});
        db::recordAttachment(*c, 1000 + i);
        c->commitRetaining();
        if (i < kLive)
            stations.push_back(std::move(c));
        else
            c->close();
    }
    admin.execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'T' WHERE ID >= :I"),
                  {{QStringLiteral("I"), 1000 + kLive + kDead}});
    admin.commitRetaining();

    std::vector<double> times;
    int live = 0, stale = 0, unknown = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer t;
        t.start();
        const db::PresenceMarks marks = db::PresenceMarks::read(admin);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        live = stale = unknown = 0;
        for (int i = 0; i < kUsers; ++i) {
            const db::MarkState s = marks.state(1000 + i);
            live += s == db::MarkState::Live;
            stale += s == db::MarkState::Stale;
            unknown += s == db::MarkState::Unknown;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "presence_states users=%d attachments=%d live=%d stale=%d unknown=%d median_ms=%.2f max_ms=%.2f "
        "rounds=%d\n",
        kUsers, kLive + 1, live, stale, unknown, times[times.size() / 2], times.back(), kRounds);
    stations.clear();
    admin.drop();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir(QStringLiteral("/tmp/tarvik-bench-XXXXXX"));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    try {
        run(QStringLiteral("localhost:") + dir.path() + QStringLiteral("/presence.gdb"));
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_presence: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}

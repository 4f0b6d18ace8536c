// What a change of one event costs the workstation that makes it: the
// planner's modify statement as it is written without a version check,
// against the same change written only while the row is as read (its
// STAMP, or on a database without stamps its DATEEDIT), and against a
// change that finds the row changed by another connection since and is
// merged with it. Counts the client's sends to the server (each one a round
// trip) from its sockets' own counters, and the milliseconds. Run by hand;
// prints one line per case.

#include "benchdatabase.h"
#include "failures.h"
#include "offscreen.h"

#include "connection.h"
#include "eventsstatement.h"
#include "platformscope.h"
#include "plannerpage.h"
#include "query.h"
#include "scriptedplatform.h"
#include "storedevent.h"
#include "wallclock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDir>

#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

using namespace tarvik;

constexpr int kRounds = 400;

// The data segments this process's connections to the server have sent so
// far: the client sends each request in one, so their difference over a
// change is its round trips.
qint64 dataSends()
{
    qint64 total = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& name : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        tcp_info info{};
        socklen_t length = sizeof info;
        if (getsockopt(name.toInt(), IPPROTO_TCP, TCP_INFO, &info, &length) == 0 &&
            length >= offsetof(tcp_info, tcpi_data_segs_out) + sizeof info.tcpi_data_segs_out)
            total += info.tcpi_data_segs_out;
    }
    return total;
}

struct Figures
{
    double medianMs = 0;
    double p95Ms = 0;
    double roundTrips = 0;
};

// Runs `change` kRounds times; `between` runs before each change, outside
// what is measured.
Figures measure(const std::function<void(int)>& change, const std::function<void(int)>& between)
{
    std::vector<double> ms;
    qint64 sends = 0;
    for (int i = 0; i < kRounds; ++i) {
        if (between)
            between(i);
        const qint64 before = dataSends();
        QElapsedTimer t;
        t.start();
        change(i);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        sends += dataSends() - before;
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 95 / 100], double(sends) / kRounds};
}

void report(const char* name, const Figures& f)
{
    std::printf("%-34s median_ms=%.3f p95_ms=%.3f round_trips=%.2f\n", name, f.medianMs, f.p95Ms, f.roundTrips);
    std::fflush(stdout);
}

class EventRows
{
public:
    EventRows(db::Connection& c, int workPlace, bool checked, bool stamped)
        : m_c(c), m_events(c, planner::EventsStatement::text({workPlace}, true, stamped))
    {
        if (checked)
            planner::setEventWriting(m_events, planner::PlannerPage::kEventsInsertSql,
                                     planner::PlannerPage::kEventsModifySql, stamped);
        else
            m_events.setModifySql(planner::PlannerPage::kEventsModifySql);
        m_events.setParam(QStringLiteral("STARTTIME"), wallClock(QDate(2026, 3, 1), QTime(0, 0)));
        m_events.setParam(QStringLiteral("ENDTIME"), wallClock(QDate(2026, 4, 1), QTime(0, 0)));
        m_events.open();
        if (m_events.isEmpty())
            throw std::runtime_error("no events in the month");
    }

    // A change of the first row's header, written and committed as the
    // planner page does it.
    void change(int round, bool checked)
    {
        m_events.first();
        m_events.edit();
        m_events.setValue(QStringLiteral("HEADER"), QStringLiteral("Правка %1").arg(round));
        m_events.setValue(QStringLiteral("DATEEDIT"), QDateTime::currentDateTime());
        if (!checked)
            m_events.post();
        else if (planner::storeEvent(m_events) != planner::StoreOutcome::Stored)
            throw std::runtime_error("the change was not stored");
        m_c.commitRetaining();
    }

    [[nodiscard]] QVariant key() const { return m_events.valueAt(0, QStringLiteral("ID")); }

private:
    db::Connection& m_c;
    db::Query m_events;
};

void run()
{
    bench::BenchDatabase database({.events = 2000, .workPlaces = 4, .year = 2026, .month = 3});
    database.fill();
    const int workPlace = database.workPlaces().first();
    auto c = database.connect();
    auto other = database.connect();

    EventRows plain(*c, workPlace, false, true);
    report("seeded statement", measure([&](int i) { plain.change(i, false); }, nullptr));

    EventRows stamped(*c, workPlace, true, true);
    report("checked by STAMP", measure([&](int i) { stamped.change(i, true); }, nullptr));

    EventRows dated(*c, workPlace, true, false);
    report("checked by DATEEDIT", measure([&](int i) { dated.change(i, true); }, nullptr));

    // Another connection changes the text of the same event before each
    // change: the write misses, reads the row again, merges and writes.
    const QVariant key = stamped.key();
    const auto otherChange = [&](int i) {
        other->execute(QStringLiteral("UPDATE EVENTS SET COMMENT = :C WHERE ID = :I"),
                       {{QStringLiteral("C"), QStringLiteral("Чужой текст %1").arg(i)}, {QStringLiteral("I"), key}});
        other->commitRetaining();
    };
    report("checked by STAMP, changed between",
           measure([&](int i) { stamped.change(i, true); }, otherChange));
}

} // namespace

int main(int argc, char** argv)
{
    bench::runOffscreen();
    QApplication app(argc, argv);
    ScriptedPlatform platform;
    PlatformScope scope(platform);
    return bench::runReportingFailures("bench_eventwrite", [] {
        run();
        return 0;
    });
}

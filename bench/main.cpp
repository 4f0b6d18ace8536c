// Data access benchmarks: loading a planner month through the data layer
// into plain values against a plain client-library fetch loop into the same,
// and the delay of an event alert from the writer's commit to the reader's
// user-interface thread.

#include "benchdatabase.h"
#include "failures.h"
#include "medianreporter.h"
#include "plainmonthfetch.h"

#include "dberror.h"
#include "eventsubscription.h"
#include "fbclient.h"
#include "query.h"
#include "wallclock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <stdexcept>

#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace tarvik;
using Clock = std::chrono::steady_clock;

constexpr int kPlacesShown = 20;
constexpr int kMonth = 3;
constexpr int kMonthRounds = 25;
constexpr int kAlertRounds = 50;
constexpr int kAlertWarmUp = 3;

// The planner's statement for one month of a group of work places.
struct MonthLoad
{
    QString querySql;    // with :StartDate and :EndDate
    QByteArray plainSql; // the same with "?" markers
    QDateTime from;
    QDateTime to;
};

MonthLoad monthLoad(const QList<int>& places, int year, int month)
{
    QStringList ids;
    for (int id : places)
        ids << QString::number(id);
    const QString head =
        QStringLiteral(
            "SELECT ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, ISPERCENT, IMPORTANCE, "
            "COLOR, IMAGE, WORKPLACE, TEMPLATE, WORKTYPE, DATEEDIT, ALARM, SOUND, SHOWALARM "
            "FROM EVENTS WHERE WORKPLACE IN (%1) AND STARTTIME >= ")
            .arg(ids.join(QStringLiteral(", ")));
    MonthLoad m;
    m.querySql = head + QStringLiteral(":StartDate AND ENDTIME <= :EndDate");
    m.plainSql = (head + QStringLiteral("? AND ENDTIME <= ?")).toLatin1();
    const QDate first(year, month, 1);
    m.from = wallClock(first);
    m.to = wallClock(first.addDays(first.daysInMonth() - 1), QTime(23, 59));
    return m;
}

// The month through the data layer, every cell read out into the same plain
// values as the program reads them: the kinds of the columns are known to
// the reader, as they are to the program's code. The query is opened again
// as the planner opens its events query again for every load.
bench::PlainRows loadThroughQuery(db::Query& q, const MonthLoad& m,
                                  const std::vector<bench::PlainColumn::Kind>& kinds)
{
    q.close();
    q.setParam(QStringLiteral("StartDate"), m.from);
    q.setParam(QStringLiteral("EndDate"), m.to);
    q.open();
    bench::PlainRows out;
    out.rows = q.recordCount();
    out.columns.resize(size_t(q.columnCount()));
    for (int col = 0; col < q.columnCount() && size_t(col) < kinds.size(); ++col) {
        bench::PlainColumn& column = out.columns[size_t(col)];
        column.kind = kinds[size_t(col)];
        for (int r = 0; r < out.rows; ++r) {
            if (q.isNullAt(r, col)) {
                column.appendNull();
                continue;
            }
            column.nulls.push_back(false);
            switch (column.kind) {
            case bench::PlainColumn::Kind::Integer:
                column.integers.push_back(q.int64At(r, col));
                break;
            case bench::PlainColumn::Kind::Real:
                column.reals.push_back(q.valueAt(r, col).toDouble());
                break;
            case bench::PlainColumn::Kind::DateTime:
                column.dateTimes.push_back(q.dateTimeAt(r, col));
                break;
            case bench::PlainColumn::Kind::Text:
                column.texts.push_back(q.textAt(r, col));
                break;
            }
        }
    }
    return out;
}

std::vector<bench::PlainColumn::Kind> kindsOf(const bench::PlainRows& rows)
{
    std::vector<bench::PlainColumn::Kind> kinds;
    for (const bench::PlainColumn& c : rows.columns)
        kinds.push_back(c.kind);
    return kinds;
}

// Wall-clock and CPU time of the calling thread, in milliseconds.
struct Stopwatch
{
    Clock::time_point wall = Clock::now();
    double cpu = threadCpuMs();

    static double threadCpuMs()
    {
        rusage u{};
        getrusage(RUSAGE_THREAD, &u);
        return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3) +
               (double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3);
    }
    [[nodiscard]] double wallMs() const
    {
        return std::chrono::duration<double, std::milli>(Clock::now() - wall).count();
    }
    [[nodiscard]] double cpuMs() const { return threadCpuMs() - cpu; }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct MonthFigures
{
    double queryMs = 0;
    double plainMs = 0;
    double queryCpuMs = 0;
    double plainCpuMs = 0;
};

enum class Reading
{
    KeptQuery, // as the planner does
    NewQuery   // a query made for the one load
};

// Both loads in turns, the one first that went second the round before, so
// that the server's and the machine's ups and downs fall on both alike. The
// client library runs the wire protocol on the calling thread: its CPU time
// is the client's.
MonthFigures compareMonthLoads(db::Connection& c, bench::PlainMonthFetch& plain, const MonthLoad& m,
                               const std::vector<bench::PlainColumn::Kind>& kinds, Reading reading)
{
    std::vector<double> queryMs, plainMs, queryCpuMs, plainCpuMs;
    db::Query kept(c, m.querySql);
    auto viaQuery = [&](bool measured) {
        const Stopwatch watch;
        std::optional<db::Query> fresh;
        if (reading == Reading::NewQuery)
            fresh.emplace(c, m.querySql);
        const bench::PlainRows values = loadThroughQuery(fresh ? *fresh : kept, m, kinds);
        benchmark::DoNotOptimize(values.rows);
        if (measured) {
            queryMs.push_back(watch.wallMs());
            queryCpuMs.push_back(watch.cpuMs());
        }
    };
    auto viaPlain = [&](bool measured) {
        const Stopwatch watch;
        const bench::PlainRows values = plain.load(m.plainSql, m.from, m.to);
        benchmark::DoNotOptimize(values.rows);
        if (measured) {
            plainMs.push_back(watch.wallMs());
            plainCpuMs.push_back(watch.cpuMs());
        }
    };
    // One unmeasured round first.
    for (int round = -1; round < kMonthRounds; ++round) {
        const bool measured = round >= 0;
        if (round % 2 == 0) {
            viaPlain(measured);
            viaQuery(measured);
        } else {
            viaQuery(measured);
            viaPlain(measured);
        }
    }
    return {median(queryMs), median(plainMs), median(queryCpuMs), median(plainCpuMs)};
}

// Waits on the UI thread for alerts, as the planner does.
class AlertProbe
{
public:
    explicit AlertProbe(db::Connection& listener)
        : m_subscription(listener, {QStringLiteral("UPD_EVENTS")}, [this](const QString&) {
              m_firedAt = Clock::now();
              m_fired = true;
              if (m_loop)
                  m_loop->quit();
          })
    {}

    void reset() { m_fired = false; }
    // Runs the event loop until the alert came; returns when it came.
    Clock::time_point wait()
    {
        if (!m_fired) {
            QEventLoop loop;
            m_loop = &loop;
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            m_loop = nullptr;
        }
        if (!m_fired)
            throw std::runtime_error("no UPD_EVENTS alert within 5 s of the commit");
        return m_firedAt;
    }

private:
    db::EventSubscription m_subscription;
    QEventLoop* m_loop = nullptr;
    bool m_fired = false;
    Clock::time_point m_firedAt;
};

struct AlertSample
{
    double fromCommitUs;  // from calling commitRetaining()
    double afterCommitUs; // from its return
};

AlertSample alertRound(db::Connection& writer, AlertProbe& probe, int eventId, int round)
{
    writer.execute(QStringLiteral("UPDATE EVENTS SET ISPERCENT = :Percent WHERE ID = :Id"),
                   {{QStringLiteral("Percent"), round % 101}, {QStringLiteral("Id"), eventId}});
    probe.reset();
    const Clock::time_point start = Clock::now();
    writer.commitRetaining();
    const Clock::time_point committed = Clock::now();
    const Clock::time_point fired = probe.wait();
    using Us = std::chrono::duration<double, std::micro>;
    return {Us(fired - start).count(), Us(fired - committed).count()};
}

struct Percentiles
{
    double median = 0;
    double p95 = 0;
};

Percentiles percentiles(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    // Nearest rank.
    const size_t rank = (95 * n + 99) / 100;
    return {median, v[rank - 1]};
}

int run()
{
    QString why;
    if (!db::loadClientLibrary(&why)) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }

    bench::BenchDatabase database(bench::BenchDatabase::Size{});
    std::printf("Filling %s ...\n", qPrintable(database.name()));
    std::fflush(stdout);
    const double fillSeconds = database.fill();
    std::printf("fill events=%d work_places=%d seconds=%.2f\n", database.size().events,
                database.size().workPlaces, fillSeconds);

    const MonthLoad month =
        monthLoad(database.workPlaces().mid(0, kPlacesShown), database.size().year, kMonth);
    const auto reader = database.connect();
    const db::ConnectionParams& params = reader->params();
    bench::PlainMonthFetch plain(params.database, params.user, params.password);

    // Both paths must give the same values, or the comparison means nothing.
    const bench::PlainRows reference = plain.load(month.plainSql, month.from, month.to);
    const std::vector<bench::PlainColumn::Kind> kinds = kindsOf(reference);
    const int rows = reference.rows;
    db::Query check(*reader, month.querySql);
    if (loadThroughQuery(check, month, kinds) != reference) {
        std::fprintf(stderr, "The query and the plain fetch disagree on the month's rows.\n");
        return 1;
    }
    std::printf("check rows=%d values_equal=yes\n", rows);
    std::fflush(stdout);

    const MonthFigures figures = compareMonthLoads(*reader, plain, month, kinds, Reading::KeptQuery);
    std::printf("month_load rows=%d rounds=%d query_ms=%.2f plain_ms=%.2f ratio=%.3f\n", rows, kMonthRounds,
                figures.queryMs, figures.plainMs, figures.queryMs / figures.plainMs);
    std::printf("client_cpu query_ms=%.2f plain_ms=%.2f ratio=%.3f\n", figures.queryCpuMs, figures.plainCpuMs,
                figures.queryCpuMs / figures.plainCpuMs);
    std::fflush(stdout);
    const MonthFigures once = compareMonthLoads(*reader, plain, month, kinds, Reading::NewQuery);
    std::printf("new_query month_load query_ms=%.2f plain_ms=%.2f ratio=%.3f client_cpu query_ms=%.2f "
                "plain_ms=%.2f ratio=%.3f\n",
                once.queryMs, once.plainMs, once.queryMs / once.plainMs, once.queryCpuMs, once.plainCpuMs,
                once.queryCpuMs / once.plainCpuMs);
    std::fflush(stdout);

    const auto writer = database.connect();
    const auto listener = database.connect();
    AlertProbe probe(*listener);
    const int eventId = 1;
    std::vector<AlertSample> alerts;
    benchmark::RegisterBenchmark("AlertLatency",
                                 [&](benchmark::State& state) {
                                     alerts.clear();
                                     int round = 0;
                                     for (int i = 0; i < kAlertWarmUp; ++i)
                                         (void)alertRound(*writer, probe, eventId, round++);
                                     for (auto _ : state) {
                                         const AlertSample s = alertRound(*writer, probe, eventId, round++);
                                         alerts.push_back(s);
                                         state.SetIterationTime(s.fromCommitUs / 1e6);
                                     }
                                 })
        ->Unit(benchmark::kMicrosecond)
        ->Iterations(kAlertRounds)
        ->UseManualTime();

    // Colours only on a terminal, so that a saved run stays readable.
    bench::MedianReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                          : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nfill_s=%.2f events=%d\n", fillSeconds, database.size().events);
    if (!alerts.empty()) {
        std::vector<double> fromCommit, afterCommit;
        for (const AlertSample& s : alerts) {
            fromCommit.push_back(s.fromCommitUs);
            afterCommit.push_back(s.afterCommitUs);
        }
        const Percentiles a = percentiles(fromCommit);
        const Percentiles b = percentiles(afterCommit);
        std::printf("alert_latency_us median=%.0f p95=%.0f rounds=%zu\n", a.median, a.p95, alerts.size());
        std::printf("alert_after_commit_return_us median=%.0f p95=%.0f\n", b.median, b.p95);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    return tarvik::bench::runReportingFailures("bench_dataaccess", [] {
        const int rc = run();
        benchmark::Shutdown();
        return rc;
    });
}

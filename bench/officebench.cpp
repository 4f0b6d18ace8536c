// An office on one server: N workstations (default 50), each its own
// process with its own connection, the main window's alert subscription,
// the planner's month rows and grid items kept up to date by the change
// notifier, and the 10-second due-reminder tick, all on 200,000 events. One
// change a second comes from a random workstation. Prints the server's busy
// share, the time from a change's commit to every other workstation's
// updated planner rows (split where the alert reached the program, with the
// processor time the program spent on it), and the tick's median. Run by
// hand.
//
//   bench_office [--workstations 50] [--seconds 300] [--events 200000] [--full-reload]
//
// --full-reload makes every workstation read its month whole on each alert,
// as the program did before it merged changes in.

#include "benchdatabase.h"
#include "failures.h"
#include "offscreen.h"

#include "changenotifier.h"
#include "connection.h"
#include "dberror.h"
#include "dbmonthsource.h"
#include "duereminders.h"
#include "eventsstatement.h"
#include "eventstamps.h"
#include "eventsubscription.h"
#include "plannergrid.h"
#include "plannerviewmath.h"
#include "platformscope.h"
#include "query.h"
#include "roles.h"
#include "scriptedplatform.h"
#include "tfmmain.h"
#include "tfmnew.h"
#include "wallclock.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace tarvik;

constexpr int kYear = 2026;
constexpr int kShownMonth = 3;
constexpr int kPlacesShown = 20;
constexpr int kPlacesPerWorker = 5;
constexpr int kTickMs = 10000;
constexpr int kFirstWorkerId = 100;
const QDateTime kTickClockStart = wallClock(QDate(kYear, 7, 1), QTime(8, 0));

struct Options
{
    int workstations = 50;
    int seconds = 300;
    int events = 200000;
    bool fullReload = false;
    int station = -1; // a workstation process
    QString database;
    qint64 startUs = 0; // when the changes begin, on the system clock
};

qint64 systemMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Options parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const QString next = args.value(i + 1);
        if (a == QLatin1String("--full-reload")) {
            o.fullReload = true;
            continue;
        }
        bool ok = true;
        if (a == QLatin1String("--workstations"))
            o.workstations = next.toInt(&ok);
        else if (a == QLatin1String("--seconds"))
            o.seconds = next.toInt(&ok);
        else if (a == QLatin1String("--events"))
            o.events = next.toInt(&ok);
        else if (a == QLatin1String("--station"))
            o.station = next.toInt(&ok);
        else if (a == QLatin1String("--database"))
            o.database = next;
        else if (a == QLatin1String("--start"))
            o.startUs = next.toLongLong(&ok);
        else
            throw std::runtime_error("unknown argument " + a.toStdString());
        if (!ok)
            throw std::runtime_error("bad value for " + a.toStdString());
        ++i;
    }
    if (o.workstations < 2 || o.seconds < 1 || o.events < 1000)
        throw std::runtime_error("need at least 2 workstations, 1 second and 1,000 events");
    return o;
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Which workstation makes change k: the same on every process.
int authorOf(int change, int workstations)
{
    std::mt19937 rng{std::uint32_t(7919 * change + 1)};
    return int(rng() % std::uint32_t(workstations));
}

// One workstation: what the main window keeps of the planner and the
// reminders, driven by the server's alerts and its own timers.
class Workstation : public QObject
{
public:
    Workstation(const Options& o, const QList<int>& places)
        : m_options(o), m_connection(db::ConnectionParams{o.database}), m_events(m_connection),
          m_refresh(m_events), m_notifier(m_notice), m_reminders(m_connection)
    {
        m_connection.open();
        m_connection.startTransaction();
        m_events.setSql(planner::EventsStatement::text(places, false));
        if (!o.fullReload)
            m_refresh.setChangesSql(planner::EventsStatement::changesText(places, false));
        const auto [from, to] = planner::PlannerViewMath::monthPeriod(QDate(kYear, kShownMonth, 1));
        m_events.setParam(QStringLiteral("STARTTIME"), from);
        m_events.setParam(QStringLiteral("ENDTIME"), to);

        m_source.setMonth(kYear, kShownMonth);
        m_source.setStartField(QStringLiteral("STARTTIME"));
        m_source.setEndField(QStringLiteral("ENDTIME"));
        m_source.setKeyField(QStringLiteral("ID"));
        m_source.setResourceField(QStringLiteral("WORKPLACE"));
        m_source.setResourceToPosition(
            [places](const QVariant& p) { return int(places.indexOf(p.toInt())); });
        m_source.setFieldsToItem([](widgets::PlannerItem& item, const db::Query& q, int row) {
            item.text = QStringLiteral("<b>%1</b><br>%2")
                            .arg(q.valueAt(row, QStringLiteral("HEADER")).toString(),
                                 q.valueAt(row, QStringLiteral("COMMENT")).toString());
        });
        m_grid.setPositions(int(places.size()));
        m_grid.resize(1280, 870);
        m_grid.setItemSource(&m_source);
        m_source.setQuery(&m_events);
        m_source.setActive(true);
        m_events.open();
        // After the grid's own handlers: the rows and items are up to date.
        connect(&m_events, &db::Query::rowsMerged, this, [this](const QVariantList& keys) { seen(keys); });
        connect(&m_events, &db::Query::opened, this, [this] { seen({}); });

        m_notifier.setLoggedIn(true);
        m_notifier.setEventsQuery(&m_events);
        m_notifier.setEventsRefresh(&m_refresh);
        m_alerts = std::make_unique<db::EventSubscription>(
            m_connection, startup::databaseAlerts(),
            [this](const QString& name) {
                // When the alert reached the program, and the processor
                // time the program then spent on it.
                std::printf("alert %lld\n", static_cast<long long>(systemMicros()));
                const double cpu = threadCpuMs();
                m_notifier.handleAlert(name);
                std::printf("alertcpu %.3f\n", threadCpuMs() - cpu);
            });

        const bool admin = o.station == 0;
        m_reminders.build(admin ? 1 : kFirstWorkerId + o.station,
                          admin ? UserRole::Administrator : UserRole::Worker);
    }

    void start()
    {
        const qint64 wait = qMax<qint64>(0, (m_options.startUs - systemMicros()) / 1000);
        QTimer::singleShot(int(wait), this, [this] {
            m_started.start();
            nextChange();
            // Ticks spread over the ten seconds, one workstation after another.
            QTimer::singleShot(int(qint64(m_options.station) * kTickMs / m_options.workstations), this,
                               [this] {
                                   tick();
                                   m_ticks.start(kTickMs);
                               });
        });
        connect(&m_ticks, &QTimer::timeout, this, [this] { tick(); });
    }

private:
    void nextChange()
    {
        // Change k is due k seconds after the start.
        while (m_change < m_options.seconds &&
               authorOf(m_change, m_options.workstations) != m_options.station)
            ++m_change;
        if (m_change >= m_options.seconds) {
            // Everyone stays till the last change had time to arrive.
            const qint64 end = m_options.startUs + qint64(m_options.seconds + 5) * 1000000;
            QTimer::singleShot(int(qMax<qint64>(0, (end - systemMicros()) / 1000)), qApp,
                               &QApplication::quit);
            return;
        }
        const qint64 due = m_options.startUs + qint64(m_change) * 1000000;
        QTimer::singleShot(int(qMax<qint64>(0, (due - systemMicros()) / 1000)), this, [this] {
            makeChange(m_change);
            ++m_change;
            nextChange();
        });
    }

    // Moves a random event of the shown month by a quarter of an hour and
    // marks its header with the change's number.
    void makeChange(int k)
    {
        if (m_events.isEmpty())
            return;
        std::mt19937 rng{std::uint32_t(k)};
        const int row = int(rng() % std::uint32_t(m_events.recordCount()));
        const QVariant id = m_events.valueAt(row, QStringLiteral("ID"));
        const QDateTime start = m_events.valueAt(row, QStringLiteral("STARTTIME")).toDateTime();
        const QDateTime end = m_events.valueAt(row, QStringLiteral("ENDTIME")).toDateTime();
        const int shift = start.time().hour() >= 12 ? -900 : 900;
        try {
            m_connection.execute(
                QStringLiteral("UPDATE EVENTS SET HEADER = :H, STARTTIME = :S, ENDTIME = :E, DATEEDIT = :D, "
                               "USERSID = :U WHERE ID = :ID"),
                {{QStringLiteral("H"), QStringLiteral("Перенесено #%1#").arg(k)},
                 {QStringLiteral("S"), start.addSecs(shift)},
                 {QStringLiteral("E"), end.addSecs(shift)},
                 {QStringLiteral("D"), wallClockNow()},
                 {QStringLiteral("U"), 1},
                 {QStringLiteral("ID"), id}});
            m_connection.commitRetaining();
            std::printf("commit %d %lld\n", k, static_cast<long long>(systemMicros()));
        } catch (const db::DbError& e) {
            m_connection.rollbackRetaining();
            std::printf("failed %d %s\n", k, qPrintable(e.text().simplified()));
        }
        std::fflush(stdout);
    }

    // Notes the changes whose marks the rows now hold.
    void seen(const QVariantList& keys)
    {
        const qint64 now = systemMicros();
        static const QRegularExpression mark(QStringLiteral("#(\\d+)#"));
        const int header = m_events.columnIndex(QStringLiteral("HEADER"));
        auto look = [&](int row) {
            const QRegularExpressionMatch m = mark.match(m_events.valueAt(row, header).toString());
            if (m.hasMatch() && m_seen.emplace(m.captured(1).toInt(), now).second)
                std::printf("seen %s %lld\n", qPrintable(m.captured(1)), static_cast<long long>(now));
        };
        if (keys.isEmpty()) {
            for (int row = 0; row < m_events.recordCount(); ++row)
                look(row);
        } else {
            // The rows are in ID order.
            const int id = m_events.columnIndex(QStringLiteral("ID"));
            for (const QVariant& key : keys) {
                int low = 0;
                int high = m_events.recordCount();
                while (low < high) {
                    const int mid = low + (high - low) / 2;
                    if (m_events.int64At(mid, id) < key.toLongLong())
                        low = mid + 1;
                    else
                        high = mid;
                }
                if (low < m_events.recordCount() && m_events.int64At(low, id) == key.toLongLong())
                    look(low);
            }
        }
        std::fflush(stdout);
    }

    void tick()
    {
        QElapsedTimer t;
        t.start();
        try {
            m_reminders.refresh(kTickClockStart.addMSecs(m_started.elapsed()));
        } catch (const db::DbError& e) {
            std::printf("tickfailed %s\n", qPrintable(e.text().simplified()));
        }
        std::printf("tick %.3f\n", double(t.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }

    Options m_options;
    db::Connection m_connection;
    db::Query m_events;
    db::EventsRefresh m_refresh;
    tasks::TfmNew m_notice;
    tasks::ChangeNotifier m_notifier;
    tasks::DueReminders m_reminders;
    widgets::PlannerGrid m_grid;
    widgets::DbMonthSource m_source;
    std::unique_ptr<db::EventSubscription> m_alerts;
    QTimer m_ticks;
    QElapsedTimer m_started;
    int m_change = 0;
    std::map<int, qint64> m_seen;
};

QList<int> shownPlaces(db::Connection& c)
{
    db::Query q(c, QStringLiteral("SELECT ID FROM WORKPLACE ORDER BY ORDERPOS"));
    q.open();
    QList<int> places;
    for (int r = 0; r < q.recordCount() && places.size() < kPlacesShown; ++r)
        places << q.valueAt(r, 0).toInt();
    return places;
}

int runStation(const Options& o)
{
    ScriptedPlatform platform;
    PlatformScope scope(platform);
    db::Connection probe(db::ConnectionParams{o.database});
    probe.open();
    probe.startTransaction();
    const QList<int> places = shownPlaces(probe);
    probe.close();
    Workstation station(o, places);
    std::printf("ready\n");
    std::fflush(stdout);
    station.start();
    const int rc = QApplication::exec();
    if (!platform.messages().isEmpty())
        std::printf("shown %s\n", qPrintable(platform.messageTexts().join(u' ').simplified()));
    std::fflush(stdout);
    return rc;
}

// The server's processor time so far, in seconds (all its threads).
double serverCpuSeconds()
{
    double total = 0;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(proc.filePath(pid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        if (open < 0 || close < 0 || line.mid(open + 1, close - open - 1) != "firebird")
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        // utime and stime are fields 14 and 15 of the line, 12 and 13 here.
        total += double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
                 double(sysconf(_SC_CLK_TCK));
    }
    return total;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t rank = size_t(std::max(1.0, std::ceil(p * double(v.size()))));
    return v[std::min(v.size(), rank) - 1];
}

void addWorkers(db::Connection& c, const Options& o, const QList<int>& places)
{
    for (int s = 1; s < o.workstations; ++s) {
        const int user = kFirstWorkerId + s;
        c.execute(
            QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID, INSYSTEM) "
                           "VALUES (:ID, :N, '', 'F', 'F', 1, 'F')"),
            {{QStringLiteral("ID"), user}, {QStringLiteral("N"), QStringLiteral("Сотрудник %1").arg(s)}});
        for (int i = 0; i < kPlacesPerWorker; ++i)
            c.execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) "
                                     "VALUES (GEN_ID(USERWORKPLACE_ID, 1), :U, :P, 'T', 'T')"),
                      {{QStringLiteral("U"), user},
                       {QStringLiteral("P"), places.at((s * kPlacesPerWorker + i) % places.size())}});
    }
    c.commitRetaining();
}

int runOffice(Options o, const QString& program)
{
    bench::BenchDatabase database({o.events, 50, kYear});
    const double fill = database.fill();
    {
        const auto c = database.connect();
        addWorkers(*c, o, shownPlaces(*c));
        // Four other users have dealt with half of the events between them.
        c->execute(
            QStringLiteral("INSERT INTO SHOWALARM SELECT GEN_ID(SHOWALARM_ID, 1), 2 + MOD(CAST(ID / 2 AS "
                           "INTEGER), 4), ID FROM EVENTS WHERE MOD(ID, 2) = 0"));
        c->commit();
    }
    std::printf("fill_s=%.1f events=%d workstations=%d seconds=%d mode=%s\n", fill, o.events, o.workstations,
                o.seconds, o.fullReload ? "full_reload" : "merge");
    std::fflush(stdout);

    // Everyone starts once all are ready; a generous margin for loading.
    o.startUs = systemMicros() + qint64(20 + o.workstations) * 1000000;
    std::vector<std::unique_ptr<QProcess>> stations;
    for (int s = 0; s < o.workstations; ++s) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args = {QStringLiteral("--station"),      QString::number(s),
                            QStringLiteral("--database"),     database.name(),
                            QStringLiteral("--workstations"), QString::number(o.workstations),
                            QStringLiteral("--seconds"),      QString::number(o.seconds),
                            QStringLiteral("--events"),       QString::number(o.events),
                            QStringLiteral("--start"),        QString::number(o.startUs)};
        if (o.fullReload)
            args << QStringLiteral("--full-reload");
        p->start(program, args);
        stations.push_back(std::move(p));
    }
    for (auto& p : stations) {
        while (!p->canReadLine() && p->state() != QProcess::NotRunning)
            p->waitForReadyRead(1000);
        if (p->readLine().trimmed() != "ready")
            throw std::runtime_error("a workstation did not get ready");
    }
    if (systemMicros() > o.startUs)
        throw std::runtime_error("the workstations took longer than the margin to get ready");
    std::this_thread::sleep_for(std::chrono::microseconds(o.startUs - systemMicros()));
    const double cpuStart = serverCpuSeconds();
    const qint64 wallStart = systemMicros();
    std::vector<QByteArray> output(stations.size());
    qint64 wallEnd = 0;
    double cpuEnd = 0;
    for (size_t s = 0; s < stations.size(); ++s) {
        QProcess& p = *stations[s];
        if (!p.waitForFinished((o.seconds + 120) * 1000))
            throw std::runtime_error("a workstation did not finish");
        if (s == 0) {
            // The changes are over when the first workstation ends.
            wallEnd = systemMicros();
            cpuEnd = serverCpuSeconds();
        }
        output[s] = p.readAll();
    }

    std::map<int, std::pair<int, qint64>> commits; // change -> (station, time)
    std::vector<std::map<int, qint64>> seen(stations.size());
    std::vector<double> ticks;
    std::vector<std::vector<qint64>> alerts(stations.size());
    std::vector<double> alertCpu;
    int failed = 0;
    for (size_t s = 0; s < output.size(); ++s) {
        for (const QByteArray& line : output[s].split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.value(0) == "commit")
                commits[f.value(1).toInt()] = {int(s), f.value(2).toLongLong()};
            else if (f.value(0) == "seen")
                seen[s][f.value(1).toInt()] = f.value(2).toLongLong();
            else if (f.value(0) == "alertcpu")
                alertCpu.push_back(f.value(1).toDouble());
            else if (f.value(0) == "alert")
                alerts[s].push_back(f.value(1).toLongLong());
            else if (f.value(0) == "tick")
                ticks.push_back(f.value(1).toDouble());
            else if (f.value(0) == "failed" || f.value(0) == "tickfailed" || f.value(0) == "shown") {
                ++failed;
                std::fprintf(stderr, "workstation %zu: %s\n", s, line.constData());
            }
        }
    }
    std::vector<double> latency;
    int missed = 0;
    std::vector<double> toAlert;
    std::vector<double> alertToRows;
    for (const auto& [change, author] : commits) {
        for (size_t s = 0; s < seen.size(); ++s) {
            if (int(s) == author.first)
                continue;
            const auto it = seen[s].find(change);
            if (it == seen[s].end())
                ++missed;
            else
                latency.push_back(double(it->second - author.second) / 1000.0);
            if (it == seen[s].end())
                continue;
            // The alert that brought the change: the last one before the
            // rows held it.
            const auto alert = std::upper_bound(alerts[s].begin(), alerts[s].end(), it->second);
            if (alert != alerts[s].begin()) {
                toAlert.push_back(double(*(alert - 1) - author.second) / 1000.0);
                alertToRows.push_back(double(it->second - *(alert - 1)) / 1000.0);
            }
        }
    }
    const double wall = double(wallEnd - wallStart) / 1e6;
    std::printf("server_busy_share=%.3f (of one core; %.1f s processor in %.1f s) cores=%ld\n",
                (cpuEnd - cpuStart) / wall, cpuEnd - cpuStart, wall, sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("change_to_rows_ms p50=%.1f p95=%.1f max=%.1f changes=%zu deliveries=%zu missed=%d\n",
                percentile(latency, 0.5), percentile(latency, 0.95), percentile(latency, 1.0), commits.size(),
                latency.size(), missed);
    std::printf("  commit_to_alert_ms p50=%.1f p95=%.1f  alert_to_rows_ms p50=%.1f p95=%.1f  "
                "alert_cpu_ms p50=%.2f p95=%.2f\n",
                percentile(toAlert, 0.5), percentile(toAlert, 0.95), percentile(alertToRows, 0.5),
                percentile(alertToRows, 0.95), percentile(alertCpu, 0.5), percentile(alertCpu, 0.95));
    std::printf("tick_ms median=%.2f p95=%.2f ticks=%zu failures=%d\n", percentile(ticks, 0.5),
                percentile(ticks, 0.95), ticks.size(), failed);
    return missed == 0 && failed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    tarvik::bench::runOffscreen();
    QApplication app(argc, argv);
    return tarvik::bench::runReportingFailures("bench_office", [&] {
        const Options o = parse(app.arguments());
        if (o.station >= 0)
            return runStation(o);
        return runOffice(o, QApplication::applicationFilePath());
    });
}

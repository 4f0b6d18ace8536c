// The due-reminder check on a large database: 200,000 events (a quarter of
// them with a reminder) and 100,000 records of reminders already shown; and
// on the same database, how long another workstation takes from a new
// event's commit to its planner rows read again. Run by hand; prints one
// line per case with the median of its rounds.

#include "benchdatabase.h"

#include "changenotifier.h"
#include "connection.h"
#include "dberror.h"
#include "duereminders.h"
#include "eventsstatement.h"
#include "eventstamps.h"
#include "eventsubscription.h"
#include "maintenance.h"
#include "plannerviewmath.h"
#include "platformscope.h"
#include "query.h"
#include "scriptedplatform.h"
#include "tfmmain.h"
#include "tfmnew.h"
#include "wallclock.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

using namespace tarvik;

using Clock = std::chrono::steady_clock;

constexpr int kEvents = 200000;
constexpr int kWorkPlaces = 50;
constexpr int kYear = 2026;
constexpr int kRounds = 7;
// The planner's month on the reading workstation: 20 work places of March.
constexpr int kPlacesShown = 20;
constexpr int kShownMonth = 3;
constexpr int kAlertRounds = 50;
constexpr int kTicks = 31;
constexpr int kAlertWarmUp = 3;

struct Case
{
    const char* name;
    bool all;
    int places; // work places of a worker or boss
    int userId;
    QDateTime now;
};

// Runs the statement as the tick does (close, bind, open) and gives the
// median time in milliseconds and the rows due.
std::pair<double, int> measure(db::Connection& c, const Case& k, const QString& sql)
{
    db::Query q(c, sql);
    std::vector<double> times;
    int rows = 0;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        q.close();
        q.setParam(QStringLiteral("ThisDate"), k.now);
        q.setParam(QStringLiteral("IdUser"), k.userId);
        q.open();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        rows = q.recordCount();
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], rows};
}

// The statement as it was: the same lines without the order.
QString unorderedSql(const Case& k, const QList<int>& workPlaces)
{
    QString sql = tasks::dueReminderSql(k.all, workPlaces.mid(0, k.places));
    sql.chop(QStringLiteral("\nORDER BY Id").size());
    return sql;
}

// The tick as the reminders run it: one full read, then every 10 seconds
// only what changed merged in. With a writer, another workstation changes
// one event before each tick. Gives the median of the later ticks and
// checks that the list is still what a full read gives.
std::pair<double, int> measureTick(db::Connection& c, const Case& k, const QList<int>& workPlaces,
                                   db::Connection* writer = nullptr)
{
    tasks::DueReminders due(c);
    due.build(k.userId, k.all ? UserRole::Administrator : UserRole::Worker);
    QDateTime now = k.now;
    due.refresh(now);
    std::vector<double> times;
    for (int i = 0; i < kTicks; ++i) {
        now = now.addSecs(10);
        if (writer) {
            writer->execute(QStringLiteral("UPDATE EVENTS SET HEADER = :H WHERE ID = :Id"),
                            {{QStringLiteral("H"), QStringLiteral("Перенесено %1").arg(i)},
                             {QStringLiteral("Id"), 1000 + 4 * i}});
            writer->commitRetaining();
        }
        QElapsedTimer t;
        t.start();
        due.refresh(now);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        if (due.lastReadWhole())
            throw std::runtime_error("a steady tick read the list whole");
    }
    db::Query whole(c, tasks::dueReminderSql(k.all, workPlaces.mid(0, k.places)));
    whole.setParam(QStringLiteral("ThisDate"), now);
    whole.setParam(QStringLiteral("IdUser"), k.userId);
    whole.open();
    if (whole.recordCount() != due.qAlarmEvents().recordCount())
        throw std::runtime_error("the ticks' list differs from a full read");
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], due.qAlarmEvents().recordCount()};
}

// The month of the planner's first 20 work places as a workstation reads
// it; median milliseconds.
double measureMonth(db::Connection& c, const QList<int>& places)
{
    db::Query q(c, planner::EventsStatement::text(places, false));
    const auto [from, to] = planner::PlannerViewMath::monthPeriod(QDate(kYear, kShownMonth, 1));
    std::vector<double> times;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        q.close();
        q.setParam(QStringLiteral("STARTTIME"), from);
        q.setParam(QStringLiteral("ENDTIME"), to);
        q.open();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The server's plan of a statement, from isql-fb when it is installed; the
// parameters become constants.
void printPlan(const QString& database, const char* label, QString sql)
{
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty())
        return;
    sql.replace(QRegularExpression(QStringLiteral(":(ThisDate|LastDate|STARTTIME|ENDTIME)\\b")),
                QStringLiteral("CAST('01.07.2026 08:00' AS DATE)"));
    sql.replace(QRegularExpression(QStringLiteral(":(IdUser|SINCE)\\b")), QStringLiteral("1"));
    QProcess p;
    p.start(isql, {QStringLiteral("-user"), QStringLiteral("SYSDBA"), QStringLiteral("-password"),
                   db::kSysdbaPassword, QStringLiteral("-q"), database});
    p.write(("SET PLANONLY ON;\n" + sql + ";\n").toUtf8());
    p.closeWriteChannel();
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput()).simplified();
    std::printf("plan %s: %s\n", label, qPrintable(out));
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
    // Nearest rank.
    return {n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2, v[(95 * n + 99) / 100 - 1]};
}

// Workstation B: the main window's subscription to the fifteen alerts, its
// change notifier and the planner's events query of one month.
class ReloadingStation
{
public:
    ReloadingStation(std::unique_ptr<db::Connection> connection, const QList<int>& places, bool merge)
        : m_connection(std::move(connection)), m_events(*m_connection), m_refresh(m_events),
          m_notifier(m_notice),
          m_alerts(*m_connection, startup::databaseAlerts(), [this](const QString& name) {
              m_alertedAt = Clock::now();
              m_notifier.handleAlert(name);
          })
    {
        m_events.setSql(planner::EventsStatement::text(places, false));
        if (merge)
            m_refresh.setChangesSql(planner::EventsStatement::changesText(places, false));
        const auto [from, to] = planner::PlannerViewMath::monthPeriod(QDate(kYear, kShownMonth, 1));
        m_events.setParam(QStringLiteral("STARTTIME"), from);
        m_events.setParam(QStringLiteral("ENDTIME"), to);
        m_events.open();
        m_notifier.setLoggedIn(true);
        m_notifier.setEventsQuery(&m_events);
        m_notifier.setEventsRefresh(&m_refresh);
        QObject::connect(&m_notifier, &tasks::ChangeNotifier::eventsReloaded, &m_notifier, [this] {
            m_reloadedAt = Clock::now();
            m_reloaded = true;
            if (m_loop)
                m_loop->quit();
        });
    }

    void reset() { m_reloaded = false; }
    // Runs the event loop until the rows were read again.
    void wait()
    {
        if (!m_reloaded) {
            QEventLoop loop;
            m_loop = &loop;
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            m_loop = nullptr;
        }
        if (!m_reloaded)
            throw std::runtime_error("the events were not read again within 5 s of the commit");
    }
    [[nodiscard]] Clock::time_point alertedAt() const { return m_alertedAt; }
    [[nodiscard]] Clock::time_point reloadedAt() const { return m_reloadedAt; }
    [[nodiscard]] int rows() const { return m_events.recordCount(); }

private:
    std::unique_ptr<db::Connection> m_connection;
    db::Query m_events;
    db::EventsRefresh m_refresh;
    tasks::TfmNew m_notice;
    tasks::ChangeNotifier m_notifier;
    db::EventSubscription m_alerts;
    QEventLoop* m_loop = nullptr;
    bool m_reloaded = false;
    Clock::time_point m_alertedAt;
    Clock::time_point m_reloadedAt;
};

struct ReloadSample
{
    double totalMs;     // from A's commit call to the end of B's reload
    double afterCommit; // from A's commit call returning
    double reloadMs;    // B's reload alone
};

// Workstation A adds an event to B's month and commits.
ReloadSample reloadRound(db::Connection& writer, int workPlace, ReloadingStation& reader, int round)
{
    const QDate day(kYear, kShownMonth, 1 + round % 28);
    writer.execute(
        QStringLiteral("INSERT INTO EVENTS (ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, "
                       "ISFINISH, WORKPLACE, TEMPLATE, ALARM, SHOWALARM) VALUES (GEN_ID(EVENTS_ID, "
                       "1), 1, :Header, :Comment, :StartTime, :EndTime, 'F', :WorkPlace, 1, 0, 0)"),
        {{QStringLiteral("Header"), QStringLiteral("Срочный звонок поставщику №%1").arg(round)},
         {QStringLiteral("Comment"), QStringLiteral("Уточнить сроки поставки.\r\nПерезвонить до обеда.")},
         {QStringLiteral("StartTime"), wallClock(day, QTime(11, 0))},
         {QStringLiteral("EndTime"), wallClock(day, QTime(11, 30))},
         {QStringLiteral("WorkPlace"), workPlace}});
    reader.reset();
    const Clock::time_point start = Clock::now();
    writer.commitRetaining();
    const Clock::time_point committed = Clock::now();
    reader.wait();
    using Ms = std::chrono::duration<double, std::milli>;
    return {Ms(reader.reloadedAt() - start).count(), Ms(reader.reloadedAt() - committed).count(),
            Ms(reader.reloadedAt() - reader.alertedAt()).count()};
}

// merge: as the program works, reading only what changed; otherwise the
// whole month again on every alert, as it used to.
void measureAlertToReload(const bench::BenchDatabase& database, bool merge)
{
    const QList<int> places = database.workPlaces().mid(0, kPlacesShown);
    const auto writer = database.connect();
    ReloadingStation reader(database.connect(), places, merge);
    const int rowsBefore = reader.rows();
    for (int i = 0; i < kAlertWarmUp; ++i)
        (void)reloadRound(*writer, places.first(), reader, i);
    std::vector<double> total;
    std::vector<double> afterCommit;
    std::vector<double> reload;
    for (int i = 0; i < kAlertRounds; ++i) {
        const ReloadSample s = reloadRound(*writer, places.first(), reader, kAlertWarmUp + i);
        total.push_back(s.totalMs);
        afterCommit.push_back(s.afterCommit);
        reload.push_back(s.reloadMs);
    }
    if (reader.rows() != rowsBefore + kAlertWarmUp + kAlertRounds)
        throw std::runtime_error("the reloads did not bring the new events");
    const Percentiles t = percentiles(total);
    const Percentiles r = percentiles(reload);
    const Percentiles a = percentiles(afterCommit);
    std::printf("%s rows=%d median_ms=%.1f p95_ms=%.1f after_commit_median_ms=%.1f after_commit_p95_ms=%.1f "
                "reload_median_ms=%.1f reload_p95_ms=%.1f rounds=%d\n",
                merge ? "alert_to_merged_rows" : "alert_to_full_reload", reader.rows(), t.median, t.p95,
                a.median, a.p95, r.median, r.p95, kAlertRounds);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Errors the notifier would show are kept, not shown.
    ScriptedPlatform platform;
    PlatformScope scope(platform);
    try {
        bench::BenchDatabase database({kEvents, kWorkPlaces, kYear});
        const double fill = database.fill(bench::BenchDatabase::Statistics::Leave);
        const auto c = database.connect();
        // Four other users have dealt with half of the events between them
        // (100,000 rows, an eighth of the events each); user 1 with none.
        c->execute(
            QStringLiteral("INSERT INTO SHOWALARM SELECT GEN_ID(SHOWALARM_ID, 1), 2 + MOD(CAST(ID / 2 AS "
                           "INTEGER), 4), ID FROM EVENTS WHERE MOD(ID, 2) = 0"));
        c->commitRetaining();
        // User 2 works at the first five work places.
        for (int i = 0; i < 5; ++i)
            c->execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) "
                                      "VALUES (GEN_ID(USERWORKPLACE_ID, 1), 2, :Place, 'T', 'T')"),
                       {{QStringLiteral("Place"), database.workPlaces().at(i)}});
        c->commitRetaining();
        std::printf("fill_s=%.1f events=%d showalarm_rows=%d\n", fill, kEvents, kEvents / 2);
        std::fflush(stdout);

        // The same month before and after the statistics are computed.
        const QList<int> monthPlaces = database.workPlaces().mid(0, kPlacesShown);
        const QString monthSql = planner::EventsStatement::text(monthPlaces, false);
        printPlan(database.name(), "month_no_statistics", monthSql);
        const double monthBefore = measureMonth(*c, monthPlaces);
        db::recomputeIndexStatistics(*c);
        const double monthAfter = measureMonth(*c, monthPlaces);
        printPlan(database.name(), "month_statistics", monthSql);
        std::printf("month_statement no_statistics_median_ms=%.1f statistics_median_ms=%.1f\n", monthBefore,
                    monthAfter);
        std::fflush(stdout);

        const QDateTime january = wallClock(QDate(kYear, 1, 1), QTime(8, 0));
        const QDateTime july = wallClock(QDate(kYear, 7, 1), QTime(8, 0));
        const Case cases[] = {
            {"admin_nothing_due", true, 0, 1, january},
            {"admin_half_year_due_never_shown", true, 0, 1, july},
            {"admin_half_year_due_eighth_shown", true, 0, 2, july},
            {"worker_5_places_half_year", false, 5, 2, july},
            {"worker_5_places_nothing_due", false, 5, 2, january},
        };
        // The tick as it was: the statement without the order and without
        // the index on the due time, read whole every time.
        c->execute(QStringLiteral("ALTER INDEX IX_EVENTS_DUE INACTIVE"));
        c->commitRetaining();
        printPlan(database.name(), "old_admin", unorderedSql(cases[1], {}));
        std::vector<std::pair<double, int>> old;
        for (const Case& k : cases)
            old.push_back(measure(*c, k, unorderedSql(k, database.workPlaces())));
        c->execute(QStringLiteral("ALTER INDEX IX_EVENTS_DUE ACTIVE"));
        c->commitRetaining();

        const auto writer = database.connect();
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& k = cases[i];
            const auto [before, rowsBefore] = old[i];
            const auto [ms, rows] =
                measure(*c, k, tasks::dueReminderSql(k.all, database.workPlaces().mid(0, k.places)));
            const auto [tickMs, tickRows] = measureTick(*c, k, database.workPlaces());
            const auto [changeMs, changeRows] = measureTick(*c, k, database.workPlaces(), writer.get());
            std::printf("%s old_median_ms=%.1f median_ms=%.1f rows_due=%d tick_median_ms=%.2f "
                        "tick_one_change_median_ms=%.2f tick_rows=%d\n",
                        k.name, before, ms, rows, tickMs, changeMs, tickRows);
            if (rowsBefore != rows || tickRows != rows || changeRows != rows)
                throw std::runtime_error("the statements disagree on the rows due");
            std::fflush(stdout);
        }
        const QList<int> worker = database.workPlaces().mid(0, 5);
        const tasks::DueChangesSql admin = tasks::dueChangesSql(true, {});
        const tasks::DueChangesSql places = tasks::dueChangesSql(false, worker);
        printPlan(database.name(), "full_admin", tasks::dueReminderSql(true, {}));
        printPlan(database.name(), "full_worker", tasks::dueReminderSql(false, worker));
        printPlan(database.name(), "changed_admin", admin.changed);
        printPlan(database.name(), "fallen_admin", admin.fallen);
        printPlan(database.name(), "fallen_worker", places.fallen);
        printPlan(database.name(), "shown_admin", admin.shown);
        std::fflush(stdout);
        measureAlertToReload(database, false);
        measureAlertToReload(database, true);
        if (!platform.messages().isEmpty()) {
            std::fprintf(stderr, "bench_reminders: %s\n", qPrintable(platform.messageTexts().join(u'\n')));
            return 1;
        }
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_reminders: %s\n", qPrintable(e.text()));
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_reminders: %s\n", e.what());
        return 1;
    }
    return 0;
}

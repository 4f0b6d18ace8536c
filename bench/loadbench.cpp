// Many workstations at once: the parent makes a throwaway database with N
// users sharing a handful of work places, starts N copies of itself as
// workstations (each the program's main window, offscreen, driven through
// its own commands), lets them work for a while, then checks the database
// against their journals and prints the figures. Run by hand.

#include "connection.h"
#include "databasecreator.h"
#include "dberror.h"
#include "failures.h"
#include "fbclient.h"
#include "loadchecker.h"
#include "loadjournal.h"
#include "loadstation.h"
#include "query.h"
#include "tarvikapplication.h"
#include "wallclock.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using namespace tarvik;
using namespace tarvik::bench;

constexpr int kWorkPlaces = 4;
constexpr int kSeededPerPlace = 6;
constexpr int kLoginTimeoutMs = 300000;
constexpr int kLeaveTimeoutMs = 60000;

struct Args
{
    int workstations = 20;
    int seconds = 600;
    QString database;
    // Workstation mode.
    int station = 0;
    QString user;
    QString journal;
    quint32 seed = 1;
};

Args parse(const QStringList& a)
{
    Args args;
    for (qsizetype i = 1; i + 1 < a.size(); i += 2) {
        const QString& name = a.at(i);
        const QString& value = a.at(i + 1);
        if (name == QLatin1String("--workstations"))
            args.workstations = value.toInt();
        else if (name == QLatin1String("--seconds"))
            args.seconds = value.toInt();
        else if (name == QLatin1String("--database"))
            args.database = value;
        else if (name == QLatin1String("--station"))
            args.station = value.toInt();
        else if (name == QLatin1String("--user"))
            args.user = value;
        else if (name == QLatin1String("--journal"))
            args.journal = value;
        else if (name == QLatin1String("--seed"))
            args.seed = value.toUInt();
        else
            throw std::runtime_error("unknown option " + name.toStdString());
    }
    if (args.workstations < 2 || args.seconds < 1)
        throw std::runtime_error("--workstations must be at least 2 and --seconds at least 1");
    return args;
}

QString userName(int station)
{
    return QStringLiteral("W%1").arg(station, 2, 10, QLatin1Char('0'));
}

// A boss, his work places, the N workers and a working day of events. Each
// worker may edit all places but one, which he only views, so that some of
// his commands are refused. Returns the events as the checker compares them.
QMap<int, QJsonObject> seed(const QString& database, int workstations)
{
    db::Connection c(db::ConnectionParams{database});
    c.open();
    c.startTransaction();
    const int boss = int(c.generatorValue(QStringLiteral("USERS_ID")));
    const QString addUser =
        QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID, SNEVENT) "
                       "VALUES (:I, :N, 'Pw', 'F', :B, :BI, 'T')");
    c.execute(addUser, {{QStringLiteral("I"), boss},
                        {QStringLiteral("N"), QStringLiteral("Шеф")},
                        {QStringLiteral("B"), QStringLiteral("T")},
                        {QStringLiteral("BI"), QVariant()}});
    QList<int> places;
    for (int p = 0; p < kWorkPlaces; ++p) {
        places << int(c.generatorValue(QStringLiteral("WORKPLACE_ID")));
        c.execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID) VALUES (:I, :N, :B)"),
                  {{QStringLiteral("I"), places.last()},
                   {QStringLiteral("N"), QStringLiteral("Цех %1").arg(p + 1)},
                   {QStringLiteral("B"), boss}});
    }
    for (int s = 1; s <= workstations; ++s) {
        const int id = int(c.generatorValue(QStringLiteral("USERS_ID")));
        c.execute(addUser, {{QStringLiteral("I"), id},
                            {QStringLiteral("N"), userName(s)},
                            {QStringLiteral("B"), QStringLiteral("F")},
                            {QStringLiteral("BI"), boss}});
        for (int p = 0; p < kWorkPlaces; ++p)
            c.execute(
                QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) "
                               "VALUES (GEN_ID(USERWORKPLACE_ID, 1), :U, :W, 'T', :E)"),
                {{QStringLiteral("U"), id},
                 {QStringLiteral("W"), places.at(p)},
                 {QStringLiteral("E"), p == s % kWorkPlaces ? QStringLiteral("F") : QStringLiteral("T")}});
    }
    const QDate today = QDate::currentDate();
    for (int p = 0; p < kWorkPlaces; ++p)
        for (int i = 0; i < kSeededPerPlace; ++i) {
            const QDateTime start = wallClock(today, QTime(8 + 2 * i, 0));
            c.execute(QStringLiteral("INSERT INTO EVENTS (ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, "
                                     "ISFINISH, ISPERCENT, WORKPLACE, TEMPLATE, ALARM, SHOWALARM) VALUES "
                                     "(GEN_ID(EVENTS_ID, 1), :U, :H, :C, :S, :E, 'F', 0, :W, 1, :A, 0)"),
                      {{QStringLiteral("U"), boss},
                       {QStringLiteral("H"), QStringLiteral("Общее задание %1-%2").arg(p + 1).arg(i + 1)},
                       {QStringLiteral("C"), QStringLiteral("Для всех смен")},
                       {QStringLiteral("S"), start},
                       {QStringLiteral("E"), start.addSecs(3600)},
                       {QStringLiteral("W"), places.at(p)},
                       // Half of them remind a day ahead: due all through the run.
                       {QStringLiteral("A"), i % 2 ? 1440 : 0}});
        }
    c.commit();
    c.startTransaction();
    db::Query q(c, QStringLiteral("SELECT ID, %1 FROM EVENTS").arg(checkedEventColumns().join(u',')));
    q.open();
    QMap<int, QJsonObject> seeded;
    for (int r = 0; r < q.recordCount(); ++r) {
        QJsonObject o;
        for (const QString& column : checkedEventColumns())
            o[column] = columnText(q.valueAt(r, column));
        seeded.insert(q.valueAt(r, QStringLiteral("ID")).toInt(), o);
    }
    c.commit();
    return seeded;
}

struct Figures
{
    double p50 = 0;
    double p95 = 0;
    double max = 0;
};

Figures figures(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return {v[(n - 1) / 2], v[(95 * n + 99) / 100 - 1], v.back()};
}

// Waits for the child's next line; empty when it ended or took too long.
QByteArray readLine(QProcess& p, int timeoutMs)
{
    while (!p.canReadLine()) {
        if (p.state() == QProcess::NotRunning || !p.waitForReadyRead(timeoutMs))
            return p.canReadLine() ? p.readLine().trimmed() : QByteArray();
    }
    return p.readLine().trimmed();
}

void printFigures(const Args& args, const QList<JournalEntry>& all, const CheckResult& check)
{
    struct Counts
    {
        int total = 0, committed = 0, conflict = 0, refused = 0, kept = 0, error = 0, skipped = 0;
    };
    std::map<QString, Counts> perKind;
    Counts sum;
    std::vector<double> latency, conflictLatency, alertMs;
    int alerts = 0, unreloaded = 0, conflictsWithText = 0;
    QMap<QString, int> refusals, errors;
    for (const JournalEntry& e : all) {
        if (e.kind == JournalEntry::Kind::Alert) {
            ++alerts;
            alertMs.push_back(e.alertMs);
            continue;
        }
        if (e.kind == JournalEntry::Kind::AlertUnloaded) {
            ++alerts;
            ++unreloaded;
            continue;
        }
        Counts& k = perKind[e.op];
        if (e.outcome == QLatin1String("skipped")) {
            ++k.skipped;
            ++sum.skipped;
            continue;
        }
        ++k.total;
        ++sum.total;
        latency.push_back(e.ms());
        if (e.outcome == QLatin1String("committed")) {
            ++k.committed;
            ++sum.committed;
        } else if (e.outcome == QLatin1String("conflict")) {
            ++k.conflict;
            ++sum.conflict;
            conflictLatency.push_back(e.ms());
            conflictsWithText += e.text.isEmpty() ? 0 : 1;
        } else if (e.outcome == QLatin1String("kept_theirs")) {
            ++k.kept;
            ++sum.kept;
        } else if (e.outcome == QLatin1String("refused")) {
            ++k.refused;
            ++sum.refused;
            refusals[e.text.left(90)]++;
        } else {
            ++k.error;
            ++sum.error;
            errors[e.text.left(120)]++;
        }
    }
    std::printf("workstations=%d seconds=%d\n", args.workstations, args.seconds);
    for (const auto& [op, k] : perKind)
        std::printf("op %-16s total=%d committed=%d conflict=%d refused=%d kept_theirs=%d error=%d "
                    "(skipped=%d)\n",
                    qPrintable(op), k.total, k.committed, k.conflict, k.refused, k.kept, k.error, k.skipped);
    std::printf("operations=%d committed=%d conflicts=%d refusals=%d kept_theirs=%d errors=%d skipped=%d "
                "ops_per_s=%.1f\n",
                sum.total, sum.committed, sum.conflict, sum.refused, sum.kept, sum.error, sum.skipped,
                double(sum.total) / args.seconds);
    std::printf("conflicts shown as error boxes with the server's text=%d of %d\n", conflictsWithText,
                sum.conflict);
    const Figures op = figures(latency);
    std::printf("op_latency_ms p50=%.1f p95=%.1f max=%.1f\n", op.p50, op.p95, op.max);
    const Figures cf = figures(conflictLatency);
    std::printf("conflict_report_ms p50=%.1f p95=%.1f max=%.1f\n", cf.p50, cf.p95, cf.max);
    const Figures al = figures(alertMs);
    std::printf("alerts=%d without_reload=%d alert_to_reload_ms p50=%.1f p95=%.1f max=%.1f\n", alerts,
                unreloaded, al.p50, al.p95, al.max);
    for (auto it = refusals.constBegin(); it != refusals.constEnd(); ++it)
        std::printf("refusal x%d: %s\n", it.value(), qPrintable(it.key()));
    for (auto it = errors.constBegin(); it != errors.constEnd(); ++it)
        std::printf("error x%d: %s\n", it.value(), qPrintable(QString(it.key()).replace(u'\n', u' ')));
    std::printf("check events=%d letters=%d chat=%d reminders_shown=%d lost=%d duplicated=%d half_written=%d "
                "verdict=%s\n",
                check.events, check.letters, check.chat, check.shown, check.lost, check.duplicated,
                check.halfWritten, check.passed() ? "PASS" : "FAIL");
    std::printf("versions writes=%d begun_from_older=%d asked_and_overwritten=%d unchecked=%d "
                "overwritten_unasked=%d\n",
                check.versionWrites, check.staleBase, check.asked, check.unchecked, check.overwritten);
    for (const QString& d : check.details)
        std::printf("  %s\n", qPrintable(d));
    std::fflush(stdout);
}

int runParent(const Args& args)
{
    QTemporaryDir dir(QStringLiteral("/tmp/tarvik-load-XXXXXX"));
    if (!dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    // The server runs as another user when it was not started by us.
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7777));
    const bool own = args.database.isEmpty();
    const QString database =
        own ? QStringLiteral("localhost:") + dir.filePath(QStringLiteral("load.gdb")) : args.database;
    db::createDatabase(database, false);
    const QMap<int, QJsonObject> seeded = seed(database, args.workstations);

    std::vector<std::unique_ptr<QProcess>> stations;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (int s = 1; s <= args.workstations; ++s) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env);
        p->setStandardErrorFile(dir.filePath(QStringLiteral("station%1.err").arg(s)));
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--station"), QString::number(s), QStringLiteral("--database"), database,
                  QStringLiteral("--user"), userName(s), QStringLiteral("--seconds"),
                  QString::number(args.seconds), QStringLiteral("--journal"),
                  dir.filePath(QStringLiteral("station%1.jsonl").arg(s)), QStringLiteral("--seed"),
                  QString::number(1000 + s)});
        stations.push_back(std::move(p));
    }
    for (size_t i = 0; i < stations.size(); ++i) {
        const QByteArray line = readLine(*stations[i], kLoginTimeoutMs);
        if (line != "logged_in")
            throw std::runtime_error("workstation " + std::to_string(i + 1) +
                                     " did not log in: " + line.toStdString());
    }
    for (auto& p : stations)
        p->write("go\n");
    for (auto& p : stations)
        p->waitForBytesWritten();
    std::fprintf(stderr, "bench_load: %d workstations logged in, working for %d s\n", args.workstations,
                 args.seconds);
    int lost = 0;
    for (size_t i = 0; i < stations.size(); ++i)
        if (readLine(*stations[i], (args.seconds + 120) * 1000) != "ready") {
            std::fprintf(stderr, "bench_load: workstation %zu did not finish (see %s)\n", i + 1,
                         qPrintable(dir.filePath(QStringLiteral("station%1.err").arg(i + 1))));
            ++lost;
        }

    QList<JournalEntry> all;
    for (int s = 1; s <= args.workstations; ++s)
        all += readJournal(dir.filePath(QStringLiteral("station%1.jsonl").arg(s)));
    db::Connection c(db::ConnectionParams{database});
    c.open();
    c.startTransaction();
    CheckResult check = checkDatabase(c, all, seeded);
    c.commit();
    c.close();

    for (auto& p : stations) {
        p->write("leave\n");
        p->closeWriteChannel();
    }
    for (auto& p : stations)
        if (!p->waitForFinished(kLeaveTimeoutMs))
            p->kill();
    printFigures(args, all, check);
    if (lost)
        std::printf("workstations_failed=%d\n", lost);
    if (!check.passed() || lost || !own) {
        dir.setAutoRemove(false);
        std::printf("kept for inspection: %s (journals, station*.err, database)\n", qPrintable(dir.path()));
        return check.passed() && !lost ? 0 : 1;
    }
    db::Connection dropper(db::ConnectionParams{database});
    dropper.open();
    dropper.drop();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TarvikApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    return bench::runReportingFailures("bench_load", [] {
        const Args args = parse(QCoreApplication::arguments());
        if (!db::loadClientLibrary())
            throw std::runtime_error("the Firebird client library cannot be loaded");
        if (args.station > 0)
            return LoadStation({QString(args.database), args.user, args.station, args.seconds, args.journal,
                                args.seed})
                .run();
        return runParent(args);
    });
}

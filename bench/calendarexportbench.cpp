// The calendar export of a boss's month with many events: what it costs the
// user-interface thread. The rows are copied there and the file written on a
// worker thread; the figure that matters is the longest time the thread
// cannot handle an alert meanwhile, against writing the same file on the
// thread itself.

#include "benchdatabase.h"
#include "failures.h"
#include "offscreen.h"

#include "calendarexport.h"
#include "dberror.h"
#include "icalendarwriter.h"
#include "optionlists.h"
#include "plannerpage.h"
#include "platformscope.h"
#include "query.h"
#include "roles.h"
#include "scriptedplatform.h"
#include "todopage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace {

using namespace tarvik;

constexpr int kEvents = 20000;
constexpr int kWorkPlaces = 20;
constexpr int kYear = 2026;
constexpr int kMonth = 3;
constexpr int kRounds = 7;

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The whole file written on the calling thread: what the export would cost
// the user-interface thread without its worker.
double writeHere(const db::Query& events, const QList<int>& rows, const QString& identity,
                 const QString& path)
{
    QElapsedTimer t;
    t.start();
    const std::vector<tasks::CalendarEvent> copied = tasks::CalendarExport::snapshot(events, rows);
    const tasks::ICalendarWriter writer(identity, QDateTime::currentDateTimeUtc());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the bench file");
    file.write(writer.begin());
    for (const tasks::CalendarEvent& e : copied)
        file.write(writer.event(e));
    file.write(writer.end());
    if (!file.commit())
        throw std::runtime_error("cannot write the bench file");
    return double(t.nsecsElapsed()) / 1e6;
}

int run()
{
    ScriptedPlatform platform;
    platform.setNow(wallClock(QDate(kYear, kMonth, 16), QTime(10, 0)));
    PlatformScope scope(platform);
    bench::BenchDatabase database({kEvents, kWorkPlaces, kYear, kMonth});
    const double fillSeconds = database.fill();
    const auto c = database.connect();
    const int boss = int(c->generatorValue(QStringLiteral("USERS_ID")));
    c->execute(QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, INSYSTEM, MONO) "
                              "VALUES (:Id, 'Начальник', 'Pw', 'F', 'T', 'F', 'F')"),
               {{QStringLiteral("Id"), boss}});
    c->execute(QStringLiteral("UPDATE WORKPLACE SET BOSSID = :Boss"), {{QStringLiteral("Boss"), boss}});
    c->commitRetaining();

    db::Query users(*c, QStringLiteral("SELECT * FROM Users ORDER BY Name"));
    users.open();
    admin::OptionLists lists(*c);
    lists.open();
    planner::PlannerPage page(*c, users, lists);
    page.setUser(boss, UserRole::Boss);
    page.openLists();
    page.ReadOptions();
    page.refreshWorkPlaces();
    tasks::TodoPage todo(page);
    tasks::CalendarExport calendar(page, todo, nullptr);
    const db::Query& events = page.events();
    const QString identity = tasks::CalendarExport::databaseIdentity(*c);
    const QString path = QFileInfo(database.name().section(QLatin1Char(':'), 1)).absolutePath() +
                         QStringLiteral("/export.ics");

    // A tick every millisecond stands for the alerts: the longest gap
    // between two is the longest an alert waits.
    QTimer tick;
    tick.setInterval(1);
    tick.setTimerType(Qt::PreciseTimer);
    QElapsedTimer sinceTick;
    double longestGap = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });

    std::vector<double> snapshot, exported, gaps, here;
    for (int round = 0; round <= kRounds; ++round) {
        QElapsedTimer t;
        t.start();
        (void)tasks::CalendarExport::snapshot(events, calendar.shownRows());
        const double copyMs = double(t.nsecsElapsed()) / 1e6;

        platform.queueSaveFile(path);
        platform.clearMessages();
        longestGap = 0;
        tick.start();
        sinceTick.start();
        t.restart();
        calendar.exportShownEvents();
        const double exportMs = double(t.nsecsElapsed()) / 1e6;
        tick.stop();
        if (platform.messages().size() != 1 || platform.messages().first().kind != MessageKind::Notice)
            throw std::runtime_error("the export did not end with its notice");
        const double hereMs = writeHere(events, calendar.shownRows(), identity, path);
        if (round == 0)
            continue; // fonts, the statement cache and the file system warm up
        snapshot.push_back(copyMs);
        exported.push_back(exportMs);
        gaps.push_back(longestGap);
        here.push_back(hereMs);
    }
    std::printf("fill_s=%.2f rows=%d file_kb=%lld rounds=%d\n", fillSeconds, events.recordCount(),
                QFileInfo(path).size() / 1024, kRounds);
    std::printf(
        "calendar_export snapshot_ms=%.2f export_ms=%.2f longest_ui_gap_ms=%.2f on_ui_thread_ms=%.2f\n",
        median(snapshot), median(exported), median(gaps), median(here));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    tarvik::bench::runOffscreen();
    QApplication app(argc, argv);
    return tarvik::bench::runReportingFailures("bench_calendarexport", [] { return run(); });
}

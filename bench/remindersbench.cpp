// The due-reminder check on a large database: 100,000 events (a quarter of
// them with a reminder) and 100,000 records of reminders already shown. Run
// by hand; prints one line per case with the median of its rounds.

#include "benchdatabase.h"

#include "connection.h"
#include "dberror.h"
#include "duereminders.h"
#include "query.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace tarvik;

constexpr int kRounds = 7;

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
std::pair<double, int> measure(db::Connection& c, const Case& k, const QList<int>& workPlaces)
{
    db::Query q(c, tasks::dueReminderSql(k.all, workPlaces.mid(0, k.places)));
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

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        bench::BenchDatabase database({100000, 50, 2026});
        const double fill = database.fill();
        const auto c = database.connect();
        // Four other users have dealt with every event between them; user 1
        // with none.
        c->execute(QStringLiteral(
            "INSERT INTO SHOWALARM SELECT GEN_ID(SHOWALARM_ID, 1), 2 + MOD(ID, 4), ID FROM EVENTS"));
        c->commitRetaining();
        std::printf("fill_s=%.1f events=100000 showalarm_rows=100000\n", fill);

        const QDateTime january(QDate(2026, 1, 1), QTime(8, 0));
        const QDateTime july(QDate(2026, 7, 1), QTime(8, 0));
        const Case cases[] = {
            {"admin_nothing_due", true, 0, 1, january},
            {"admin_half_year_due_never_shown", true, 0, 1, july},
            {"admin_half_year_due_quarter_shown", true, 0, 2, july},
            {"worker_5_places_half_year", false, 5, 2, july},
            {"worker_5_places_nothing_due", false, 5, 2, january},
        };
        for (const Case& k : cases) {
            const auto [ms, rows] = measure(*c, k, database.workPlaces());
            std::printf("%s median_ms=%.1f rows_due=%d\n", k.name, ms, rows);
        }
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "bench_reminders: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}

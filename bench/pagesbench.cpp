// The planner over sheets: laying out and writing the PDF of a week of 40
// work places, a month of 5 and a month of 40, and how long the event loop
// goes unserved meanwhile (a timer of 5 ms stands in for the alerts).
// Prints its own figures (build/bin/bench_pages).

#include "offscreen.h"
#include "pdfexport.h"
#include "plannerpages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace tarvik;
using namespace tarvik::reports;

namespace {

PlannerSheet sheetOf(int columns, QDate first, int days, int events)
{
    PlannerSheet sheet;
    sheet.period = QStringLiteral("Период");
    sheet.group = QStringLiteral("Рабочие места");
    for (int c = 0; c < columns; ++c)
        sheet.columns << QStringLiteral("Рабочее место %1").arg(c + 1);
    sheet.rows.setDays(first);
    sheet.rows.setRows(0, days - 1);
    for (int n = 0; n < events; ++n) {
        PlannerSheet::Event e;
        e.column = n % columns;
        const QDate day = first.addDays((n * 7) % days);
        e.start = QDateTime(day, QTime(8 + n % 9, 0));
        e.end = QDateTime(n % 10 == 0 ? day.addDays(2) : day, QTime(9 + n % 9, 0));
        e.header = QStringLiteral("Событие номер %1").arg(n);
        e.finished = n % 4 == 0;
        sheet.events << e;
    }
    return sheet;
}

void run(const char* name, const PlannerSheet& sheet, const PlannerPageSetup& setup, const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    const ReportDocument report = plannerPagesReport(sheet, setup, QDateTime::currentDateTime());
    const qint64 layout = clock.elapsed();
    clock.restart();
    writePdf(report, path);
    const qint64 write = clock.elapsed();

    // The same work on its thread, the event loop timed meanwhile.
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.restart());
    });
    gap.start();
    tick.start();
    clock.restart();
    runWithProgress(nullptr, QStringLiteral("PDF"), [&](const PageProgress& progress) {
        const ReportDocument r = plannerPagesReport(sheet, setup, QDateTime::currentDateTime(), progress);
        return writePdf(r, path, progress);
    });
    const qint64 threaded = clock.elapsed();
    tick.stop();
    std::printf("%-22s %4lld events %3d sheets  layout %5lld ms  PDF %5lld ms  on its thread %5lld ms, "
                "longest event loop gap %3lld ms\n",
                name, static_cast<long long>(sheet.events.size()), report.pageCount(),
                static_cast<long long>(layout), static_cast<long long>(write), static_cast<long long>(threaded),
                static_cast<long long>(longest));
}

} // namespace

int main(int argc, char** argv)
{
    tarvik::bench::runOffscreen();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pages.pdf"));
    run("40 places, week", sheetOf(40, QDate(2024, 3, 11), 7, 400), {8, true}, path);
    run("5 places, month", sheetOf(5, QDate(2024, 3, 1), 31, 300), {5, false}, path);
    run("40 places, month", sheetOf(40, QDate(2024, 3, 1), 31, 2000), {8, true}, path);
    return 0;
}

#include "plannerviewmath.h"

#include "plannerrowmap.h"
#include "wallclock.h"

#include <QLocale>

namespace tarvik::planner {

namespace {

const QLocale& russian()
{
    static const QLocale locale(QLocale::Russian, QLocale::Russia);
    return locale;
}

} // namespace

DayRows PlannerViewMath::dayRows(const PlannerOptions& options)
{
    using widgets::PlannerRowMap;
    const int perHour = PlannerRowMap::rowsPerHour(options.step);
    const int start = PlannerRowMap::hourOf(options.startTimeGrid);
    DayRows rows;
    rows.minutesPerRow = options.step;
    rows.first = perHour * start;
    rows.last = perHour * PlannerRowMap::hourOf(options.endTimeGrid);
    rows.workFirst = perHour * (PlannerRowMap::hourOf(options.startWorkTimeGrid) - start);
    rows.workEnd = perHour * (PlannerRowMap::hourOf(options.endWorkTimeGrid) - start);
    return rows;
}

std::pair<QDate, QDate> PlannerViewMath::week(QDate day)
{
    return widgets::PlannerRowMap::weekOf(day);
}

std::pair<QDateTime, QDateTime> PlannerViewMath::monthPeriod(QDate day)
{
    const QDate first(day.year(), day.month(), 1);
    const QDate last(day.year(), day.month(), day.daysInMonth());
    return {wallClock(first), wallClock(last, QTime(23, 59))};
}

QString PlannerViewMath::dayTitle(QDate day)
{
    return russian().toString(day, QStringLiteral("d MMMM yyyy, dddd"));
}

QString PlannerViewMath::weekTitle(QDate monday, QDate sunday)
{
    return russian().toString(monday, QStringLiteral("d MMMM yyyy")) + QStringLiteral(" - ") +
           russian().toString(sunday, QStringLiteral("d MMMM yyyy"));
}

QString PlannerViewMath::monthTitle(QDate day)
{
    // The month on its own is named in the nominative, as the system's
    // month names read ("Март"), not in the form a date uses ("марта").
    QString name = russian().standaloneMonthName(day.month(), QLocale::LongFormat);
    if (!name.isEmpty())
        name[0] = name[0].toUpper();
    return name;
}

} // namespace tarvik::planner

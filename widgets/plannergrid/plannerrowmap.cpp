#include "plannerrowmap.h"

#include "wallclock.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace tarvik::widgets {

void PlannerRowMap::setDay(QDate day, int minutesPerRow)
{
    m_unit = Unit::Minutes;
    m_base = day;
    m_minutes = qMax(1, minutesPerRow);
}

void PlannerRowMap::setDays(QDate firstDay)
{
    m_unit = Unit::Days;
    m_base = firstDay;
}

void PlannerRowMap::setRows(int first, int last)
{
    m_first = first;
    m_last = last;
}

QDateTime PlannerRowMap::rowStart(int row) const
{
    const QDateTime midnight = wallClock(m_base);
    if (m_unit == Unit::Days)
        return midnight.addDays(row);
    return midnight.addSecs(qint64(row) * m_minutes * 60);
}

double PlannerRowMap::rowAt(const QDateTime& moment) const
{
    const qint64 days = m_base.daysTo(moment.date());
    if (m_unit == Unit::Days)
        return double(days);
    const double minutes = double(days) * 24 * 60 + moment.time().msecsSinceStartOfDay() / 60000.0;
    return minutes / m_minutes;
}

std::optional<std::pair<double, double>> PlannerRowMap::span(const QDateTime& start,
                                                             const QDateTime& end) const
{
    double top = rowAt(start);
    double bottom = rowAt(end);
    // An item ending inside a day still fills that day's row; one ending
    // exactly at midnight does not reach into the next day.
    if (m_unit == Unit::Days && (end.time() != QTime(0, 0) || bottom <= top))
        bottom += 1;
    top = std::max(top, double(m_first));
    bottom = std::min(bottom, double(m_last + 1));
    if (bottom <= top)
        return std::nullopt;
    return std::make_pair(top - m_first, bottom - m_first);
}

QDateTime PlannerRowMap::shifted(const QDateTime& moment, int rows) const
{
    if (m_unit == Unit::Days)
        return moment.addDays(rows);
    return moment.addSecs(qint64(rows) * m_minutes * 60);
}

int PlannerRowMap::rowsPerHour(int minutesPerRow)
{
    return minutesPerRow > 0 ? 60 / minutesPerRow : 1;
}

int PlannerRowMap::hourOf(const QString& timeText)
{
    return timeText.left(2).toInt();
}

std::pair<QDate, QDate> PlannerRowMap::weekOf(QDate day)
{
    const QDate sunday = day.addDays(7 - day.dayOfWeek());
    return {sunday.addDays(-6), sunday};
}

} // namespace tarvik::widgets

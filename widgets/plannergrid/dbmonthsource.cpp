#include "dbmonthsource.h"

#include "plannerrowmap.h"
#include "wallclock.h"

namespace tarvik::widgets {

DbMonthSource::DbMonthSource(QObject* parent) : PlannerItemSource(parent) {}

void DbMonthSource::setMonth(int year, int month)
{
    m_year = year;
    m_month = qBound(1, month, 12);
    rangeChanged();
}

void DbMonthSource::arrangeRows(PlannerRowMap& rows) const
{
    rows.setDays(firstDay());
    rows.setRows(0, firstDay().daysInMonth() - 1);
}

bool DbMonthSource::covers(const QDateTime& start, const QDateTime& end) const
{
    const QDateTime first = wallClock(firstDay());
    return start < first.addMonths(1) && end >= first;
}

} // namespace tarvik::widgets

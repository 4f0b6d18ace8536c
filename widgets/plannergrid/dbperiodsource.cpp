#include "dbperiodsource.h"

#include "plannerrowmap.h"
#include "wallclock.h"

namespace tarvik::widgets {

DbPeriodSource::DbPeriodSource(QObject* parent) : PlannerItemSource(parent) {}

void DbPeriodSource::setPeriod(QDate startDate, QDate endDate)
{
    m_start = startDate;
    m_end = endDate < startDate ? startDate : endDate;
    rangeChanged();
}

void DbPeriodSource::arrangeRows(PlannerRowMap& rows) const
{
    rows.setDays(m_start);
    rows.setRows(0, int(m_start.daysTo(m_end)));
}

bool DbPeriodSource::covers(const QDateTime& start, const QDateTime& end) const
{
    return start < wallClock(m_end.addDays(1)) && end >= wallClock(m_start);
}

} // namespace tarvik::widgets

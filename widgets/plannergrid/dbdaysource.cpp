#include "dbdaysource.h"

#include "plannerrowmap.h"
#include "wallclock.h"

namespace tarvik::widgets {

DbDaySource::DbDaySource(QObject* parent) : PlannerItemSource(parent) {}

void DbDaySource::setDay(QDate day)
{
    m_day = day;
    rangeChanged();
}

void DbDaySource::arrangeRows(PlannerRowMap& rows) const
{
    rows.setDay(m_day, rows.minutesPerRow());
}

bool DbDaySource::covers(const QDateTime& start, const QDateTime& end) const
{
    const QDateTime dayStart = wallClock(m_day);
    return start < dayStart.addDays(1) && (end > dayStart || (start == end && start == dayStart));
}

} // namespace tarvik::widgets

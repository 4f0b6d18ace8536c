#include "daymarks.h"

namespace tarvik::widgets {

void DayMarks::addSpan(const QDateTime& start, const QDateTime& end)
{
    if (!start.isValid())
        return;
    QDate last = end.isValid() ? end.date() : start.date();
    if (end.isValid() && end.time() == QTime(0, 0) && end.date() > start.date())
        last = last.addDays(-1);
    int n = 0;
    for (QDate d = start.date(); d <= last && n < kMaxDaysPerEvent; d = d.addDays(1), ++n)
        m_days.insert(d);
}

} // namespace tarvik::widgets

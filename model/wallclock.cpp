#include "wallclock.h"

namespace tarvik {

QDateTime wallClock(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC);
}

QDateTime wallClock(const QDateTime& shown)
{
    if (shown.timeSpec() == Qt::UTC)
        return shown;
    // A local time that falls into a daylight-saving gap is invalid to Qt but
    // still knows the date and time it was made from.
    if (!shown.date().isValid() || !shown.time().isValid())
        return {};
    return wallClock(shown.date(), shown.time());
}

QDateTime wallClockNow()
{
    return wallClock(QDateTime::currentDateTime());
}

} // namespace tarvik

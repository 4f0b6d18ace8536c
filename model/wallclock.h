#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace tarvik {

// Dates in this system are plain wall-clock values: what the clock on the
// wall showed, with no time zone attached. They are held as QDateTime in
// Qt::UTC, which no daylight-saving rule touches, so that adding a day to
// 28.03 10:00 gives 29.03 10:00 and 29.03 02:30 exists on every workstation.
// Every date-time of the program is made by these functions.

// The given date and time of day.
[[nodiscard]] QDateTime wallClock(QDate date, QTime time = QTime(0, 0));

// The date and time of day that the value shows, whether it is in UTC or
// in local time (also a local time that the zone's clock change skips); a
// null value stays null.
[[nodiscard]] QDateTime wallClock(const QDateTime& shown);

// What the workstation's clock shows now.
[[nodiscard]] QDateTime wallClockNow();

} // namespace tarvik

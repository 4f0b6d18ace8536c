#pragma once

#include <QDate>
#include <QDateTime>
#include <QSet>

namespace tarvik::widgets {

// The days a month calendar marks as holding events: every day an event
// touches from its start to its end. An event ending at midnight does not
// mark the day it ends on.
class DayMarks
{
public:
    void clear() { m_days.clear(); }
    void addSpan(const QDateTime& start, const QDateTime& end);
    [[nodiscard]] bool isMarked(QDate day) const { return m_days.contains(day); }
    [[nodiscard]] qsizetype count() const { return m_days.size(); }

private:
    // Guards against a row with absurd dates marking years of days.
    static constexpr int kMaxDaysPerEvent = 366;
    QSet<QDate> m_days;
};

} // namespace tarvik::widgets

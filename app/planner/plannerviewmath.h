#pragma once

#include "planneroptions.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <utility>

namespace tarvik::planner {

// The rows of the day view: first and last row shown (absolute slots from
// midnight, both included) and the working band [workFirst, workEnd)
// counted from the first row shown.
struct DayRows
{
    int minutesPerRow = 30;
    int first = 0;
    int last = 0;
    int workFirst = 0;
    int workEnd = 0;

    friend bool operator==(const DayRows&, const DayRows&) = default;
};

// Date and row arithmetic of the three planner views, without a window.
class PlannerViewMath
{
public:
    [[nodiscard]] static DayRows dayRows(const PlannerOptions& options);
    // Monday and Sunday of the week holding `day`.
    [[nodiscard]] static std::pair<QDate, QDate> week(QDate day);
    // The period a load covers: the first day of the month at 00:00:00 to
    // the last day at 23:59:00.
    [[nodiscard]] static std::pair<QDateTime, QDateTime> monthPeriod(QDate day);

    // Caption titles, with the Russian month and weekday names.
    [[nodiscard]] static QString dayTitle(QDate day);
    [[nodiscard]] static QString weekTitle(QDate monday, QDate sunday);
    [[nodiscard]] static QString monthTitle(QDate day);
};

} // namespace tarvik::planner

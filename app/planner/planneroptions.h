#pragma once

#include <QString>

#include <array>

namespace tarvik::db {
class Connection;
}

namespace tarvik::planner {

// The grid settings of the system options (the one OPTIONS row).
struct PlannerOptions
{
    // Minutes per row of the day view: 15, 30 or 60.
    int step = 30;
    // "HH:MM" texts; only the hour (the first two characters) counts.
    QString startTimeGrid = QStringLiteral("08:00");
    QString endTimeGrid = QStringLiteral("20:00");
    QString startWorkTimeGrid = QStringLiteral("09:00");
    QString endWorkTimeGrid = QStringLiteral("18:00");
    // By Qt::DayOfWeek % 7, Sunday first: a weekday is inactive exactly
    // when its column holds "F".
    std::array<bool, 7> inactiveDays{};

    // Reads the options row through its own statement.
    [[nodiscard]] static PlannerOptions read(db::Connection& connection);
};

} // namespace tarvik::planner

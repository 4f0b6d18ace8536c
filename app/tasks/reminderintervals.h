#pragma once

#include <QList>
#include <QString>

namespace tarvik::tasks {

// A choice of the reminder lead time and of the postpone interval: the two
// boxes offer the same fifteen items.
struct ReminderInterval
{
    QString label;
    int minutes;
};

// From "нет" (0) to "1 нед." (10080), in the order the boxes list them.
[[nodiscard]] const QList<ReminderInterval>& reminderIntervals();
// The position of the item with exactly these minutes; 0 ("нет") for any
// other value.
[[nodiscard]] int reminderIntervalPosition(int minutes);
// The minutes of the item at a position; 0 for a position outside the list.
[[nodiscard]] int reminderIntervalMinutes(int position);

} // namespace tarvik::tasks

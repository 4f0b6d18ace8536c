#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <span>

namespace tarvik::planner {

// One choice of a reminder lead time: the text shown in the drop-down lists
// and the minutes stored in EVENTS.ALARM. The task dialog's reminder box and
// the reminder window's postpone box offer the same fifteen choices.
struct ReminderInterval
{
    QString text;
    int minutes;
};

// The fifteen choices, from "нет" (0) to "1 нед." (10080); a choice's
// position in this table is its position in the drop-down lists.
[[nodiscard]] std::span<const ReminderInterval> reminderIntervals();
[[nodiscard]] QStringList reminderIntervalTexts();
// The position of the choice whose minutes equal the stored ALARM; 0 ("нет")
// for null and for any number the table does not offer.
[[nodiscard]] int reminderPositionOf(const QVariant& minutes);
// The minutes of the choice at a position; 0 outside the table.
[[nodiscard]] int reminderMinutesAt(int position);

} // namespace tarvik::planner

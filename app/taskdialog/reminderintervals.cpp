#include "reminderintervals.h"

#include <array>

namespace tarvik::planner {

namespace {

const std::array<ReminderInterval, 15>& table()
{
    static const std::array<ReminderInterval, 15> intervals{{
        {QStringLiteral("нет"), 0},
        {QStringLiteral("1 мин."), 1},
        {QStringLiteral("5 мин."), 5},
        {QStringLiteral("10 мин."), 10},
        {QStringLiteral("20 мин."), 20},
        {QStringLiteral("40 мин."), 40},
        {QStringLiteral("1 час."), 60},
        {QStringLiteral("2 час."), 120},
        {QStringLiteral("4 час."), 240},
        {QStringLiteral("8 час."), 480},
        {QStringLiteral("16 час."), 960},
        {QStringLiteral("1 сут."), 1440},
        {QStringLiteral("2 сут."), 2880},
        {QStringLiteral("4 сут."), 5760},
        {QStringLiteral("1 нед."), 10080},
    }};
    return intervals;
}

} // namespace

std::span<const ReminderInterval> reminderIntervals()
{
    return table();
}

QStringList reminderIntervalTexts()
{
    QStringList texts;
    for (const ReminderInterval& interval : table())
        texts << interval.text;
    return texts;
}

int reminderPositionOf(const QVariant& minutes)
{
    bool ok = false;
    const int value = minutes.toInt(&ok);
    if (minutes.isNull() || !ok)
        return 0;
    for (int p = 0; p < int(table().size()); ++p) {
        if (table()[p].minutes == value)
            return p;
    }
    return 0;
}

int reminderMinutesAt(int position)
{
    if (position < 0 || position >= int(table().size()))
        return 0;
    return table()[position].minutes;
}

} // namespace tarvik::planner

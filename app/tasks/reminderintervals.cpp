#include "reminderintervals.h"

namespace tarvik::tasks {

const QList<ReminderInterval>& reminderIntervals()
{
    static const QList<ReminderInterval> intervals = {
        {QStringLiteral("нет"), 0},       {QStringLiteral("1 мин."), 1},
        {QStringLiteral("5 мин."), 5},    {QStringLiteral("10 мин."), 10},
        {QStringLiteral("20 мин."), 20},  {QStringLiteral("40 мин."), 40},
        {QStringLiteral("1 час."), 60},   {QStringLiteral("2 час."), 120},
        {QStringLiteral("4 час."), 240},  {QStringLiteral("8 час."), 480},
        {QStringLiteral("16 час."), 960}, {QStringLiteral("1 сут."), 1440},
        {QStringLiteral("2 сут."), 2880}, {QStringLiteral("4 сут."), 5760},
        {QStringLiteral("1 нед."), 10080}};
    return intervals;
}

int reminderIntervalPosition(int minutes)
{
    const QList<ReminderInterval>& all = reminderIntervals();
    for (int i = 0; i < all.size(); ++i)
        if (all.at(i).minutes == minutes)
            return i;
    return 0;
}

int reminderIntervalMinutes(int position)
{
    const QList<ReminderInterval>& all = reminderIntervals();
    return position >= 0 && position < all.size() ? all.at(position).minutes : 0;
}

} // namespace tarvik::tasks

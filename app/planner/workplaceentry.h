#pragma once

#include <QMetaType>

namespace tarvik::planner {

// What a work place tree entry stands for: the group of work places the
// planner loads when it is chosen.
enum class EntryKind
{
    // A boss's or worker's own visible work places.
    Root,
    // The work places of the boss numbered (administrator's tree).
    Boss,
    // One work place: for a worker the number is the rights row's Id,
    // otherwise the work place's ID.
    WorkPlace
};

struct WorkPlaceEntry
{
    EntryKind kind = EntryKind::Root;
    int number = 0;

    friend bool operator==(const WorkPlaceEntry&, const WorkPlaceEntry&) = default;
};

} // namespace tarvik::planner

Q_DECLARE_METATYPE(tarvik::planner::WorkPlaceEntry)

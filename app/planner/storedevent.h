#pragma once

#include <QStringList>

namespace tarvik::db {
class Query;
}

namespace tarvik::planner {

// The events query writes a row back whole (every column of its modify
// statement). Before a change is set on a row put into editing, this takes
// over what the database holds for that event now, except the columns
// named, so that what other workstations committed since the row was
// loaded is kept instead of being overwritten with what was loaded. Does
// nothing when the event is no longer there.
void takeOverStoredEvent(db::Query& events, const QStringList& except = {});

} // namespace tarvik::planner

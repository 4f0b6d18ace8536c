#pragma once

#include "eventcolumns.h"

#include <QList>
#include <QStringList>

namespace tarvik::planner {

// The text of the planner's events query for a group of work places, one
// piece per line, with the period parameters :STARTTIME and :ENDTIME.
class EventsStatement
{
public:
    // The select list every event query of the program shares.

    // `singleEntry`: the group is one work place entry of the tree (its
    // select line carries the condition); otherwise the group of a root or
    // boss entry, whatever its size. Empty for no work places: such a
    // group is not queried. `stamped`: each row carries its change stamp
    // too, as the last column, so that a change is written only to the row
    // as it was read.
    [[nodiscard]] static QStringList lines(const QList<int>& workPlaceIds, bool singleEntry,
                                           bool stamped = false);
    [[nodiscard]] static QString text(const QList<int>& workPlaceIds, bool singleEntry, bool stamped = false)
    {
        return lines(workPlaceIds, singleEntry, stamped).join(QLatin1Char('\n'));
    }
    // The events of the same group changed since the stamp :SINCE, wherever
    // they lie now: the same columns, then STAMP (the stamped query's last
    // column), then BELONGS, 1 for an
    // event the query above would give and 0 for one it would not.
    [[nodiscard]] static QString changesText(const QList<int>& workPlaceIds, bool singleEntry);
};

} // namespace tarvik::planner

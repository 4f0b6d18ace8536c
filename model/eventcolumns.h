#pragma once

#include <QString>

namespace tarvik {

// The select list shared by the planner's, the reminders' and the search's
// event queries.
inline const QString kEventColumns = QStringLiteral(
    "ID, USERSID, WORKTYPE, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, ISPERCENT, IMPORTANCE, COLOR, "
    "IMAGE, WORKPLACE, TEMPLATE, DATEEDIT, ALARM, SOUND, (SELECT Name FROM WorkPlace WHERE WorkPlace.Id = "
    "Events.WorkPlace) AS WorkPlaceName");

} // namespace tarvik

#pragma once

#include <QString>
#include <QVariantMap>

namespace tarvik::db {
class Query;
}

namespace tarvik::planner {

// What became of a change of an event.
enum class StoreOutcome
{
    Stored,     // written
    KeptTheirs, // another user's change of the same fields was kept; nothing written, the row
                // now holds what is stored
    Gone        // the event was deleted meanwhile; nothing written
};

// The event queries write a row only while it still is what the
// workstation read: its stamp (in a database without stamps, its DATEEDIT)
// is compared in the modify statement's condition. This sets the modify
// statement (the given one, ending in its WHERE condition on the key) and
// the insert statement (when given) so, and makes the query check it.
void setEventWriting(db::Query& events, const QString& insertSql, const QString& modifySql, bool stamped);

// The current row's values by column name: the event as the user sees it
// when he begins a change that takes a while (a dialog).
[[nodiscard]] QVariantMap heldEvent(const db::Query& events);

// Writes the events query's row in editing. `seen` is the event as the
// user saw it when he began the change (empty: the row as held).
//
// When another workstation committed a change of the event since, the
// change is merged field by field: a field only one of them changed takes
// that change, so nothing the other user did is lost. When both changed a
// field differently, the user is told who changed the event and when and
// chooses to write over it or to keep the other change. When the event was
// deleted, nothing is written (the caller tells the user). The author and the time of
// the change are always this user's. A database error other than these
// is thrown as it is; the row is then still in editing.
StoreOutcome storeEvent(db::Query& events, const QVariantMap& seen = {});

// storeEvent for a change made at once (a drag, a done mark): tells the
// user when the event is gone. True when the change was written.
bool storeEventChange(db::Query& events);

// "Событие изменено пользователем … в …" with the choice that follows it.
[[nodiscard]] QString changedByQuestion(const QString& userName, const QDateTime& when);

} // namespace tarvik::planner

#pragma once

#include "loadjournal.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QStringList>

namespace tarvik::db {
class Connection;
}

namespace tarvik::bench {

// The columns of an event the load run sets and the checker compares.
[[nodiscard]] const QStringList& checkedEventColumns();

// A checked column's value as the program weighs it: an unset done mark is
// one, whether stored as "F" or as nothing.
[[nodiscard]] QString comparedValue(const QString& column, const QString& text);

// What the database holds after a load run, measured against the
// workstations' journals.
struct CheckResult
{
    int events = 0;  // event rows compared
    int letters = 0; // letters sent and opened compared
    int chat = 0;    // chat lines compared
    int shown = 0;   // reminders closed, compared by event
    // A change a workstation saw committed that is missing or overwritten
    // by nothing later, a committed delete undone, a row gone without one.
    int lost = 0;
    // A row or marker more often than it was committed.
    int duplicated = 0;
    // A row missing what belongs to it, or a trace of an operation that
    // was not committed.
    int halfWritten = 0;
    // Changes of events by their versions: each write's row against the
    // version it replaced. A column the writer did not set that differs from
    // the replaced version is another user's change written over unasked.
    int versionWrites = 0;
    int staleBase = 0; // writes begun from an older version than the one they replaced
    int asked = 0;     // writes whose user was asked and chose to write over
    int unchecked = 0; // writes whose place in the chain is not known for sure
    int overwritten = 0;
    QStringList details; // the first findings, for the report

    [[nodiscard]] bool passed() const
    {
        return lost == 0 && duplicated == 0 && halfWritten == 0 && overwritten == 0;
    }
};

// Checks the database on a connection of its own against the operations of
// every journal and the events the parent put in before the run (key ->
// columns as columnText gives them).
[[nodiscard]] CheckResult checkDatabase(db::Connection& c, const QList<JournalEntry>& operations,
                                        const QMap<int, QJsonObject>& seeded);

} // namespace tarvik::bench

#pragma once

#include <QStringList>

namespace tarvik::db {

class Connection;

// The server chooses its way through a statement by the selectivity of the
// indexes, which it computes only when told: an index made on an empty
// table, or before much of its data came or went, misleads it. Recomputes it
// for every index of the schema (none of the server's own) and commits;
// gives the names of the indexes.
QStringList recomputeIndexStatistics(Connection& connection);

struct MaintenanceReport
{
    QStringList indexes;       // whose statistics were recomputed
    int eventsGoneCleared = 0; // records of deleted events cleared away
    int shownLogCleared = 0;   // records of changes to shown reminders cleared away
};

// What an office runs now and then (e.g. nightly): the statistics of every
// index, and the records that workstations read changes from, cleared when
// older than keepDays by the server's clock. Before records are cleared,
// the floor of their log is raised to the highest stamp cleared, so that a
// workstation whose last look lies below it reads its rows whole.
MaintenanceReport maintainDatabase(Connection& connection, int keepDays = 7);

} // namespace tarvik::db

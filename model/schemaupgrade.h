#pragma once

#include <QStringList>

namespace tarvik::db {

class Connection;

// Brings a database made by an earlier tarvik-db up to the schema of this
// build. The additions come as scripts applied in order; each statement that
// creates a generator, table, column, index, trigger or procedure is skipped
// when that object is already there, so an upgrade stopped half-way is
// finished by running it again, and running it on an up-to-date database
// changes nothing. The additions never take anything older programs use.
//
// Gives one line per object made; empty when there was nothing to do.
QStringList upgradeSchema(Connection& connection);

// Whether the database keeps the change stamps of its events.
[[nodiscard]] bool keepsEventStamps(Connection& connection);

} // namespace tarvik::db

#pragma once

#include <QString>
#include <QStringList>

namespace tarvik::db {

class Connection;

// Splits a script into statements the way isql does: each ends with the
// current terminator (";" at first), "SET TERM x ;" changes it, and quoted
// text and comments never end a statement. Comments are dropped.
[[nodiscard]] QStringList splitSqlScript(const QString& script);

// Runs each statement of a script in the connection's shared transaction,
// committing after every statement that changes the schema so that later
// statements can use what it made.
void runSqlScript(Connection& connection, const QString& script);

} // namespace tarvik::db

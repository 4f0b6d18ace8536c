#pragma once

#include <QString>

namespace tarvik::db {

// Creates a new database with the complete schema and the initial rows;
// with demo, also a small office to try the programs with. Refuses a
// database that already exists. On any failure nothing is left behind and
// DbError carries the server's text.
void createDatabase(const QString& database, bool demo);

// The schema and initial rows as SQL scripts.
[[nodiscard]] QString schemaScript();
[[nodiscard]] QString initialDataScript();

} // namespace tarvik::db

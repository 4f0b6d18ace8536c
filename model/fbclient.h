#pragma once

#include <QString>

namespace tarvik::db {

// Loads the Firebird client library if it is not loaded yet. Returns false
// and fills *why when it cannot be loaded, so that start-up can show its own
// message before anything touches the database.
[[nodiscard]] bool loadClientLibrary(QString* why = nullptr);

} // namespace tarvik::db

#pragma once

#include <QString>
#include <QStringList>

namespace tarvik::db {

// A statement with its ":Name" parameters replaced by "?" markers.
struct ParsedSql
{
    QString sql;
    // One upper-case name per marker, in the order of the markers; a name
    // used several times appears once per use.
    QStringList markers;
};

// Finds ":Name" parameters (letters, digits, "_" and "$", starting with a
// letter or "_"). Text in single or double quotes and comments is copied
// unchanged, so a colon there is never taken for a parameter.
[[nodiscard]] ParsedSql parseNamedParameters(const QString& sql);

} // namespace tarvik::db

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

// What each item of a SELECT's select list is, for naming result columns
// the way the programs expect: an expression the statement leaves without a
// name is called F_1, F_2, ... whatever name the server gives it.
enum class SelectItem
{
    Star,
    Named,
    Unnamed
};

// The select list of the outermost SELECT, item by item; empty when the
// statement is not a SELECT or cannot be read.
[[nodiscard]] QList<SelectItem> selectItems(const QString& sql);

} // namespace tarvik::db

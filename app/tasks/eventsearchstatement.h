#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace tarvik::tasks {

// Where the search looks for its key text.
enum class SearchScope
{
    Everywhere, // "Везде": heading or description
    Header,     // "Заголовок"
    Text        // "Текст": description only
};

// The search's statement, one piece per line, with its parameters. The key
// text and the dates travel as parameters (:KEY, :STARTDATE, :ENDDATE), so a
// key with quotes finds what it says and the period means the same whatever
// the workstation's date format; "%" and "_" in the key still act as the
// LIKE wildcards they are.
struct EventSearchStatement
{
    QStringList lines;
    QVariantMap params;

    // Without a key and without a period there is nothing to search: empty.
    [[nodiscard]] static EventSearchStatement build(const QString& key, SearchScope scope, bool period,
                                                    QDate start, QDate end);
    [[nodiscard]] QString text() const { return lines.join(QLatin1Char('\n')); }
    [[nodiscard]] bool isEmpty() const { return lines.isEmpty(); }
};

// The clearing's statements: the events of a period, or every finished one.
// The period's dates are parameters as well.
[[nodiscard]] QString clearPeriodStatement();
[[nodiscard]] QString clearFinishedStatement();

} // namespace tarvik::tasks

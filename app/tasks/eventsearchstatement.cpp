#include "eventsearchstatement.h"

#include "eventcolumns.h"

namespace tarvik::tasks {

EventSearchStatement EventSearchStatement::build(const QString& key, SearchScope scope, bool period,
                                                 QDate start, QDate end)
{
    EventSearchStatement s;
    if (key.isEmpty() && !period)
        return s;
    s.lines << QStringLiteral("SELECT ") + kEventColumns + QStringLiteral(" FROM Events WHERE");
    if (!key.isEmpty()) {
        switch (scope) {
        case SearchScope::Everywhere:
            s.lines << QStringLiteral("(Header LIKE :KEY OR Comment LIKE :KEY)");
            break;
        case SearchScope::Header:
            s.lines << QStringLiteral("(Header LIKE :KEY)");
            break;
        case SearchScope::Text:
            s.lines << QStringLiteral("(Comment LIKE :KEY)");
            break;
        }
        s.params.insert(QStringLiteral("KEY"), QLatin1Char('%') + key + QLatin1Char('%'));
    }
    if (period) {
        if (!key.isEmpty())
            s.lines << QStringLiteral("AND");
        s.lines << QStringLiteral("(StartTime >= :STARTDATE AND EndTime <= :ENDDATE)");
        // A date alone is midnight at the start of that day.
        s.params.insert(QStringLiteral("STARTDATE"), QDateTime(start, QTime(0, 0)));
        s.params.insert(QStringLiteral("ENDDATE"), QDateTime(end, QTime(0, 0)));
    }
    return s;
}

QString clearPeriodStatement()
{
    return QStringLiteral("DELETE FROM Events WHERE StartTime >= :STARTDATE AND EndTime <= :ENDDATE");
}

QString clearFinishedStatement()
{
    return QStringLiteral("DELETE FROM Events WHERE IsFinish = \"T\"");
}

} // namespace tarvik::tasks

#include "eventsstatement.h"

namespace tarvik::planner {

QStringList EventsStatement::lines(const QList<int>& workPlaceIds, bool singleEntry, bool stamped)
{
    if (workPlaceIds.isEmpty())
        return {};
    const QString select = QStringLiteral("SELECT ") + kEventColumns +
                           (stamped ? QStringLiteral(", STAMP") : QString()) + QStringLiteral(" FROM Events WHERE");
    QStringList out;
    if (singleEntry) {
        out << select + QStringLiteral(" (WorkPlace = ") + QString::number(workPlaceIds.first());
    } else {
        out << select;
        for (qsizetype i = 0; i < workPlaceIds.size(); ++i)
            out << (i == 0 ? QStringLiteral("(WorkPlace = ") : QStringLiteral("OR WorkPlace = ")) +
                       QString::number(workPlaceIds.at(i));
    }
    out << QStringLiteral(") AND (STARTTIME >= :STARTTIME AND ENDTIME <= :ENDTIME)")
        << QStringLiteral("ORDER BY Id");
    return out;
}

QString EventsStatement::changesText(const QList<int>& workPlaceIds, bool singleEntry)
{
    if (workPlaceIds.isEmpty())
        return {};
    QStringList places;
    for (qsizetype i = 0; i < (singleEntry ? 1 : workPlaceIds.size()); ++i)
        places << QStringLiteral("WorkPlace = ") + QString::number(workPlaceIds.at(i));
    return QStringLiteral("SELECT ") + kEventColumns + QStringLiteral(", STAMP, CASE WHEN (") +
           places.join(QStringLiteral(" OR ")) +
           QStringLiteral(
               ") AND (STARTTIME >= :STARTTIME AND ENDTIME <= :ENDTIME) THEN 1 ELSE 0 END AS BELONGS "
               "FROM Events WHERE STAMP > :SINCE");
}

} // namespace tarvik::planner

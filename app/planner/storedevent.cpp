#include "storedevent.h"

#include "query.h"

namespace tarvik::planner {

void takeOverStoredEvent(db::Query& events, const QStringList& except)
{
    db::Query now(events.connection(), QStringLiteral("SELECT * FROM EVENTS WHERE ID = :ID"));
    now.setParam(QStringLiteral("ID"), events.value(QStringLiteral("ID")));
    now.open();
    if (now.isEmpty())
        return;
    for (const QString& column : now.columnNames())
        if (column != QLatin1String("ID") && !except.contains(column) && events.hasColumn(column))
            events.setValue(column, now.value(column));
}

} // namespace tarvik::planner

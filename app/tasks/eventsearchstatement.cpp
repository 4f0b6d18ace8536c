#include "eventsearchstatement.h"

#include "eventcolumns.h"

namespace tarvik::tasks {

QString likeLiteral(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            out += u'\\';
        out += c;
    }
    return out;
}

EventSearchStatement EventSearchStatement::build(const QString& key, SearchScope scope, bool period,
                                                 QDate start, QDate end)
{
    EventSearchStatement s;
    if (key.isEmpty() && !period)
        return s;
    s.lines << QStringLiteral("SELECT ") + kEventColumns + QStringLiteral(" FROM Events WHERE");
    if (!key.isEmpty()) {
        // The escaped key may be longer than the column it is looked for in:
        // typed by its own length, the pattern is never cut by the server.
        const QString pattern = QLatin1Char('%') + likeLiteral(key) + QLatin1Char('%');
        const QString like = QStringLiteral("LIKE CAST(:KEY AS VARCHAR(%1)) ESCAPE '\\'").arg(pattern.size());
        switch (scope) {
        case SearchScope::Everywhere:
            s.lines << QStringLiteral("(Header %1 OR Comment %1)").arg(like);
            break;
        case SearchScope::Header:
            s.lines << QStringLiteral("(Header %1)").arg(like);
            break;
        case SearchScope::Text:
            s.lines << QStringLiteral("(Comment %1)").arg(like);
            break;
        }
        s.params.insert(QStringLiteral("KEY"), pattern);
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

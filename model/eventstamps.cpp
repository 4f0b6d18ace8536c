#include "eventstamps.h"

#include "connection.h"
#include "dberror.h"
#include "query.h"

namespace tarvik::db {

EventStamps::Source EventStamps::eventsSource()
{
    return {QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = 'EVENTS' AND "
                           "RDB$FIELD_NAME = 'STAMP'"),
            QStringLiteral("SELECT GEN_ID(EVENTS_STAMP, 0), GEN_ID(EVENTS_GONE_PURGED, 0) FROM RDB$DATABASE"),
            QStringLiteral("SELECT STAMP, ID FROM EVENTS_GONE WHERE STAMP > :SINCE")};
}

EventStamps::EventStamps(Connection& connection, Source source)
    : m_connection(connection), m_source(std::move(source))
{}

EventStamps::~EventStamps() = default;

bool EventStamps::isKept()
{
    if (!m_kept) {
        Query q(m_connection, m_source.keptSql);
        q.open();
        m_kept = q.value(0).toInt() > 0;
    }
    return *m_kept;
}

void EventStamps::readCounters(qint64& stamp, qint64& purged)
{
    if (!m_counters)
        m_counters = std::make_unique<Query>(m_connection, m_source.countersSql);
    m_counters->reopen();
    stamp = m_counters->value(0).toLongLong();
    purged = m_counters->value(1).toLongLong();
    m_counters->close();
}

void EventStamps::fullReadStarts()
{
    forget();
    if (!isKept())
        return;
    qint64 stamp = 0;
    qint64 purged = 0;
    readCounters(stamp, purged);
    m_mark = qMax<qint64>(0, stamp - kLookBack);
    const Clock::time_point now = Clock::now();
    for (qint64 s = m_mark + 1; s <= stamp; ++s)
        m_missingSince.emplace(s, now);
}

void EventStamps::forget()
{
    m_mark = -1;
    m_seenAbove.clear();
    m_missingSince.clear();
}

std::optional<EventStamps::Look> EventStamps::beginLook()
{
    if (!knowsWhere() || !isKept())
        return std::nullopt;
    // The counters and the records above the mark in one statement: a look
    // is made on every alert by every workstation. A row per record, or one
    // without a record; no more records than a look is worth.
    if (!m_look)
        m_look = std::make_unique<Query>(
            m_connection,
            QStringLiteral("SELECT C.UPTO, C.PURGED, R.STAMP, R.RECORD_KEY FROM (%1) C (UPTO, PURGED) "
                           "LEFT JOIN (%2 ROWS %3) R (STAMP, RECORD_KEY) ON 1 = 1")
                .arg(m_source.countersSql, m_source.recordsSql)
                .arg(kMostChanges + 1));
    m_look->close();
    m_look->setParam(QStringLiteral("SINCE"), m_mark);
    m_look->open();
    Look look;
    look.since = m_mark;
    qint64 purged = 0;
    int records = 0;
    for (int r = 0; r < m_look->recordCount(); ++r) {
        // The counters are read with each row; the highest is the latest.
        look.upTo = qMax(look.upTo, m_look->int64At(r, 0));
        purged = qMax(purged, m_look->int64At(r, 1));
        if (m_look->isNullAt(r, 2))
            continue;
        ++records;
        look.stamps.insert(m_look->int64At(r, 2));
        if (!m_look->isNullAt(r, 3))
            look.goneKeys << m_look->valueAt(r, 3);
    }
    m_look->close();
    if (purged > m_mark || look.upTo - m_mark > kMostChanges || records > kMostChanges)
        return std::nullopt;
    return look;
}

void EventStamps::endLook(Look look, const std::set<qint64>& rowStamps)
{
    m_seenAbove.insert(look.stamps.begin(), look.stamps.end());
    m_seenAbove.insert(rowStamps.begin(), rowStamps.end());
    const qint64 top = qMax(look.upTo, m_seenAbove.empty() ? look.upTo : *m_seenAbove.rbegin());
    const Clock::time_point now = Clock::now();
    bool holding = false;
    for (qint64 s = m_mark + 1; s <= top; ++s) {
        if (m_seenAbove.count(s)) {
            m_missingSince.erase(s);
            if (!holding)
                m_mark = s;
            continue;
        }
        const auto missing = m_missingSince.emplace(s, now).first;
        if (!holding && now - missing->second >= m_grace) {
            m_missingSince.erase(missing);
            m_mark = s;
            continue;
        }
        holding = true;
    }
    m_seenAbove.erase(m_seenAbove.begin(), m_seenAbove.upper_bound(m_mark));
    m_missingSince.erase(m_missingSince.begin(), m_missingSince.upper_bound(m_mark));
}

EventsRefresh::EventsRefresh(Query& events, QObject* parent)
    : QObject(parent), m_events(events), m_stamps(events.connection())
{
    connect(&events, &Query::aboutToOpen, this, &EventsRefresh::fullReadStarts);
}

EventsRefresh::~EventsRefresh() = default;

void EventsRefresh::setChangesSql(const QString& sql)
{
    m_eventsSql = m_events.sql();
    m_changes.reset();
    if (!sql.isEmpty())
        m_changes = std::make_unique<Query>(m_events.connection(), sql);
    m_stamps.forget();
}

// A full read that fails leaves no rows to merge into; one of another
// statement than the changes were written for is never merged into.
void EventsRefresh::fullReadStarts()
{
    m_stamps.forget();
    m_readParams = m_events.params();
    if (m_changes && m_events.sql() == m_eventsSql)
        m_stamps.fullReadStarts();
}

bool EventsRefresh::refresh()
{
    if (!m_changes || m_events.sql() != m_eventsSql || m_events.params() != m_readParams ||
        !m_events.isOpen() || m_events.state() != Query::State::Browse)
        return false;
    std::optional<EventStamps::Look> look = m_stamps.beginLook();
    if (!look)
        return false;
    std::set<qint64> rowStamps;
    if (look->upTo > look->since) {
        for (auto it = m_readParams.cbegin(); it != m_readParams.cend(); ++it)
            m_changes->setParam(it.key(), it.value());
        m_changes->setParam(QStringLiteral("SINCE"), look->since);
        m_changes->reopen();
        const int stampColumn = m_changes->columnIndex(QStringLiteral("STAMP"));
        for (int r = 0; r < m_changes->recordCount(); ++r)
            rowStamps.insert(m_changes->valueAt(r, stampColumn).toLongLong());
        m_events.mergeRows(QStringLiteral("ID"), *m_changes, QStringLiteral("BELONGS"), look->goneKeys);
        m_changes->close();
    }
    m_stamps.endLook(std::move(*look), rowStamps);
    return true;
}

} // namespace tarvik::db

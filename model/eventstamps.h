#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace tarvik::db {

class Connection;
class Query;

// Where one reader of events stands among the change stamps: every stamp up
// to its mark has been seen (or will never come), stamps above it are to be
// looked at. A stamp is drawn when a row is written but shows only once its
// transaction commits, so stamps can show out of order; one still missing
// above the mark holds the mark back for a short grace time, after which it
// counts as a change that was rolled back or written over in its own
// transaction.
class EventStamps
{
public:
    using Clock = std::chrono::steady_clock;

    // Where the stamps are kept: those of the events by default; any other
    // log built the same way (a generator drawn for each record, one that
    // holds the highest stamp cleared away, and a table of records with a
    // stamp and a key) works alike.
    struct Source
    {
        QString keptSql;     // one row, one count: nonzero when the log is kept
        QString countersSql; // one row: the stamp drawn last, the highest stamp purged
        QString recordsSql;  // STAMP and a key (or NULL) of the records above :SINCE
    };
    [[nodiscard]] static Source eventsSource();

    explicit EventStamps(Connection& connection, Source source = eventsSource());
    ~EventStamps();

    // Whether the database keeps stamps (an older one does not); asked once.
    [[nodiscard]] bool isKept();

    // Right before a full read: what is stamped so far counts as read, all
    // but the last few stamps, which are looked at again until the grace
    // time is over, for changes that drew them but commit after the read.
    void fullReadStarts();
    // The reader's rows are gone: only a full read helps.
    void forget();
    [[nodiscard]] bool knowsWhere() const { return m_mark >= 0; }
    [[nodiscard]] qint64 mark() const { return m_mark; }

    struct Look
    {
        qint64 since = 0;        // changes stamped above this
        qint64 upTo = 0;         // the stamp drawn last when the look began
        QVariantList goneKeys;   // keys of events deleted since (records with a key)
        std::set<qint64> stamps; // stamps of those records
    };
    // Begins a look: the keys of the events deleted since the mark. Nothing
    // when a full read is needed instead: no mark, more changes than a look
    // is worth, or the records of deletions it needs were cleared away.
    [[nodiscard]] std::optional<Look> beginLook();
    // Ends a look with the stamps of the changed rows read for it, and moves
    // the mark on.
    void endLook(Look look, const std::set<qint64>& rowStamps);

    // For tests: the grace time of a missing stamp and the look-back of a
    // full read.
    void setGrace(std::chrono::milliseconds grace) { m_grace = grace; }
    static constexpr qint64 kLookBack = 32;
    // More stamps than this since the mark make a full read cheaper.
    static constexpr qint64 kMostChanges = 2000;

private:
    void readCounters(qint64& stamp, qint64& purged);

    Connection& m_connection;
    Source m_source;
    std::unique_ptr<Query> m_counters;
    std::unique_ptr<Query> m_look;
    std::optional<bool> m_kept;
    qint64 m_mark = -1;
    std::set<qint64> m_seenAbove;
    std::map<qint64, Clock::time_point> m_missingSince;
    std::chrono::milliseconds m_grace{10000};
};

// Keeps a query of events up to date on the server's alerts by reading only
// the events changed since its rows were read, and merging them in. The
// query's rows must be ordered by ID. The changes statement gives the
// query's columns, then STAMP, then a column BELONGS that is 1 for an event
// inside the query's condition and 0 for one outside it; it takes :SINCE and
// the query's own parameters. A full read of the query (open) starts over.
class EventsRefresh : public QObject
{
    Q_OBJECT
public:
    explicit EventsRefresh(Query& events, QObject* parent = nullptr);
    ~EventsRefresh() override;

    // The changes statement matching the query's current statement; set it
    // after each Query::setSql, before opening.
    void setChangesSql(const QString& sql);
    [[nodiscard]] EventStamps& stamps() { return m_stamps; }

    // Reads what changed and merges it into the rows. False when it could
    // not be sure of the result: the caller then reads the rows whole.
    bool refresh();

private:
    void fullReadStarts();

    Query& m_events;
    EventStamps m_stamps;
    QString m_eventsSql;
    QVariantMap m_readParams; // those of the last full read
    std::unique_ptr<Query> m_changes;
};

} // namespace tarvik::db

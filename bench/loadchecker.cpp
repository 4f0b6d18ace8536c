#include "loadchecker.h"

#include "connection.h"
#include "query.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace tarvik::bench {

namespace {

constexpr int kMaxDetails = 30;

using Row = QHash<QString, QString>;

bool committed(const JournalEntry& e)
{
    return e.kind == JournalEntry::Kind::Operation && e.outcome == QLatin1String("committed");
}

bool failed(const JournalEntry& e)
{
    return e.kind == JournalEntry::Kind::Operation && e.outcome != QLatin1String("committed") &&
           e.outcome != QLatin1String("skipped");
}

bool onEvents(const JournalEntry& e)
{
    return !e.op.startsWith(QLatin1String("letter")) && e.op != QLatin1String("chat") &&
           e.op != QLatin1String("remind_close");
}

// Every row of a statement, its columns as compared text.
QList<Row> rows(db::Connection& c, const QString& sql)
{
    db::Query q(c, sql);
    q.open();
    QList<Row> out;
    for (int r = 0; r < q.recordCount(); ++r) {
        Row row;
        for (const QString& column : q.columnNames())
            row.insert(column, columnText(q.valueAt(r, column)));
        out << row;
    }
    return out;
}

class Checker
{
public:
    Checker(db::Connection& c, const QList<JournalEntry>& ops, const QMap<int, QJsonObject>& seeded)
        : m_c(c), m_ops(ops), m_seeded(seeded)
    {}

    CheckResult run()
    {
        checkEvents();
        checkLetters();
        checkChat();
        checkShown();
        checkTraces();
        checkVersions();
        return m_r;
    }

private:
    void note(int& counter, const QString& text, int count = 1)
    {
        counter += count;
        if (m_r.details.size() < kMaxDetails)
            m_r.details << text;
    }

    // The value a column must hold: that of the last committed writer, or of
    // any writer that may have committed after it (their times overlap).
    void checkColumn(int key, const QString& column, const QString& actual)
    {
        struct Writer
        {
            qint64 start;
            qint64 end;
            QString value;
            QString what;
        };
        QList<Writer> writers;
        if (m_seeded.contains(key) && m_seeded.value(key).contains(column))
            writers.append({0, 0, comparedValue(column, m_seeded.value(key).value(column).toString()),
                            QStringLiteral("seed")});
        for (const JournalEntry* e : m_byKey.value(key))
            if (e->set.contains(column))
                writers.append({e->startNs, e->endNs, comparedValue(column, e->set.value(column).toString()),
                                e->op + e->marker});
        if (writers.isEmpty())
            return;
        qint64 latestStart = 0;
        for (const Writer& w : writers)
            latestStart = std::max(latestStart, w.start);
        QStringList allowed;
        for (const Writer& w : writers)
            if (w.end >= latestStart)
                allowed << w.value;
        if (!allowed.contains(comparedValue(column, actual))) {
            QStringList history;
            for (const Writer& w : writers)
                history << w.what + QLatin1Char('=') + w.value;
            note(m_r.lost, QStringLiteral("event %1 %2 is '%3', committed: %4")
                               .arg(key)
                               .arg(column, actual, history.join(QStringLiteral(", "))));
        }
    }

    void checkEvents()
    {
        const QList<Row> events = rows(m_c, QStringLiteral("SELECT ID, %1 FROM EVENTS")
                                                .arg(checkedEventColumns().join(QStringLiteral(", "))));
        QHash<int, Row> byId;
        for (const Row& row : events) {
            byId.insert(row.value(QStringLiteral("ID")).toInt(), row);
            for (const char* column : {"HEADER", "STARTTIME", "ENDTIME", "WORKPLACE"})
                if (row.value(QLatin1String(column)).isEmpty())
                    note(m_r.halfWritten, QStringLiteral("event %1 without %2")
                                              .arg(row.value(QStringLiteral("ID")), QLatin1String(column)));
            if (row.value(QStringLiteral("STARTTIME")) > row.value(QStringLiteral("ENDTIME")))
                note(m_r.halfWritten,
                     QStringLiteral("event %1 ends before it starts").arg(row.value(QStringLiteral("ID"))));
        }
        QSet<int> known(m_seeded.keyBegin(), m_seeded.keyEnd());
        for (const JournalEntry& e : m_ops) {
            if (!committed(e) || !onEvents(e))
                continue;
            if (e.key == 0) {
                if (e.creates)
                    note(m_r.lost,
                         QStringLiteral("%1%2 committed but its row was not found").arg(e.op, e.marker));
                continue;
            }
            m_byKey[e.key].append(&e);
            known.insert(e.key);
        }
        for (int key : known) {
            ++m_r.events;
            const QList<const JournalEntry*> ops = m_byKey.value(key);
            const bool removed =
                std::any_of(ops.begin(), ops.end(), [](const JournalEntry* e) { return e->removes; });
            const auto row = byId.constFind(key);
            if (row == byId.constEnd()) {
                if (!removed)
                    note(m_r.lost, QStringLiteral("event %1 is gone without a committed delete").arg(key));
                continue;
            }
            if (removed) {
                note(m_r.lost,
                     QStringLiteral("event %1 was deleted (committed) but is still there").arg(key));
                continue;
            }
            for (const QString& column : checkedEventColumns())
                checkColumn(key, column, row->value(column));
        }
        for (const Row& row : events)
            if (!known.contains(row.value(QStringLiteral("ID")).toInt()))
                note(m_r.duplicated,
                     QStringLiteral("event %1 '%2' was committed by nobody")
                         .arg(row.value(QStringLiteral("ID")), row.value(QStringLiteral("HEADER"))));
        // A marker in more headers than there are rows expected to hold it.
        QHash<QString, int> expected;
        for (int key : known)
            for (const JournalEntry* e : m_byKey.value(key))
                if (e->set.contains(QStringLiteral("HEADER")))
                    expected[e->set.value(QStringLiteral("HEADER")).toString()] += e->creates ? 1 : 0;
        QHash<QString, int> present;
        for (const Row& row : events)
            present[row.value(QStringLiteral("HEADER"))]++;
        for (auto it = present.constBegin(); it != present.constEnd(); ++it)
            if (it.value() > 1 && it.key().startsWith(u'[') &&
                it.value() > std::max(1, expected.value(it.key())))
                note(m_r.duplicated, QStringLiteral("header '%1' in %2 rows").arg(it.key()).arg(it.value()),
                     it.value() - 1);
    }

    // Every committed change of an event made a new version (its STAMP);
    // ordered by version, each write must hold the replaced version's value
    // in every column its user did not set, whatever version he began from.
    void checkVersions()
    {
        QHash<int, QList<const JournalEntry*>> writes;
        QSet<int> unsure;
        for (const JournalEntry& e : m_ops) {
            if (!committed(e) || !onEvents(e) || e.removes || e.key == 0)
                continue;
            if (e.stamp == 0) {
                // Its row had left the workstation's rows by the time it was read.
                unsure.insert(e.key);
                continue;
            }
            if (!e.creates && e.stamp == e.seenStamp)
                continue; // nothing was written (a link to the author, no move)
            writes[e.key].append(&e);
        }
        for (auto it = writes.begin(); it != writes.end(); ++it) {
            QList<const JournalEntry*>& chain = it.value();
            std::sort(chain.begin(), chain.end(),
                      [](const JournalEntry* a, const JournalEntry* b) { return a->stamp < b->stamp; });
            m_r.versionWrites += int(chain.size());
            for (const JournalEntry* w : chain)
                m_r.asked += w->asked ? 1 : 0;
            if (unsure.contains(it.key())) {
                m_r.unchecked += int(chain.size());
                continue;
            }
            for (qsizetype i = 1; i < chain.size(); ++i) {
                const JournalEntry& before = *chain.at(i - 1);
                const JournalEntry& w = *chain.at(i);
                // The same version read back twice: an alert replaced the
                // row before the writer read it.
                if (w.stamp == before.stamp) {
                    ++m_r.unchecked;
                    continue;
                }
                if (w.seenStamp != before.stamp)
                    ++m_r.staleBase;
                for (const QString& column : checkedEventColumns()) {
                    if (w.set.contains(column) || !w.row.contains(column) || !before.row.contains(column))
                        continue;
                    if (comparedValue(column, w.row.value(column).toString()) !=
                        comparedValue(column, before.row.value(column).toString()))
                        note(m_r.overwritten,
                             QStringLiteral("event %1 %2: %3%4 (seen version %5) wrote '%6' over '%7' of "
                                            "%8%9 (version %10)")
                                 .arg(it.key())
                                 .arg(column, w.op, w.marker)
                                 .arg(w.seenStamp)
                                 .arg(w.row.value(column).toString(), before.row.value(column).toString(),
                                      before.op, before.marker)
                                 .arg(before.stamp));
                }
            }
        }
    }

    void checkLetters()
    {
        const QList<Row> letters = rows(m_c, QStringLiteral("SELECT * FROM TEXTS"));
        QHash<QString, QList<Row>> bySubject;
        QHash<int, Row> byId;
        for (const Row& row : letters) {
            bySubject[row.value(QStringLiteral("SUBJ"))].append(row);
            byId.insert(row.value(QStringLiteral("ID")).toInt(), row);
        }
        // A letter is the sender's copy and the recipient's.
        for (auto it = bySubject.constBegin(); it != bySubject.constEnd(); ++it)
            if (it.value().size() != 2)
                note(it.value().size() < 2 ? m_r.halfWritten : m_r.duplicated,
                     QStringLiteral("letter '%1' has %2 rows").arg(it.key()).arg(it.value().size()));
        for (const JournalEntry& e : m_ops) {
            if (!committed(e))
                continue;
            if (e.op == QLatin1String("letter_send")) {
                ++m_r.letters;
                const QList<Row> copies = bySubject.value(e.marker + QStringLiteral(" тема"));
                QSet<QString> owners;
                bool addressed = true;
                for (const Row& row : copies) {
                    owners.insert(row.value(QStringLiteral("IDUSER")));
                    addressed = addressed && row.value(QStringLiteral("IDFROM")).toInt() == e.userId &&
                                row.value(QStringLiteral("IDTO")).toInt() == e.recipient;
                }
                const QSet<QString> wanted = {QString::number(e.userId), QString::number(e.recipient)};
                if (copies.isEmpty())
                    note(m_r.lost, QStringLiteral("letter %1 committed but not there").arg(e.marker));
                else if (owners != wanted || !addressed)
                    note(m_r.halfWritten,
                         QStringLiteral("letter %1 has the wrong owners or address").arg(e.marker));
            } else if (e.op == QLatin1String("letter_open") && e.key != 0) {
                ++m_r.letters;
                const auto row = byId.constFind(e.key);
                if (row != byId.constEnd() && row->value(QStringLiteral("IDUSER")).toInt() == e.userId &&
                    row->value(QStringLiteral("IDTO")).toInt() == e.userId &&
                    row->value(QStringLiteral("ISREAD")) != QLatin1String("T"))
                    note(m_r.lost, QStringLiteral("letter %1 opened but not marked read").arg(e.key));
            }
        }
    }

    void checkChat()
    {
        const QList<Row> lines = rows(m_c, QStringLiteral("SELECT ID, IDFROM, IDTO, BODY FROM MESAGES"));
        QHash<QString, QList<Row>> byBody;
        for (const Row& row : lines)
            byBody[row.value(QStringLiteral("BODY")).section(u' ', 0, 0)].append(row);
        for (const JournalEntry& e : m_ops) {
            if (!committed(e) || e.op != QLatin1String("chat"))
                continue;
            ++m_r.chat;
            const QList<Row> found = byBody.value(e.marker);
            if (found.isEmpty())
                note(m_r.lost, QStringLiteral("chat line %1 committed but not there").arg(e.marker));
            else if (found.size() > 1)
                note(m_r.duplicated,
                     QStringLiteral("chat line %1 in %2 rows").arg(e.marker).arg(found.size()),
                     int(found.size()) - 1);
            else if (found.first().value(QStringLiteral("IDFROM")).toInt() != e.userId)
                note(m_r.halfWritten, QStringLiteral("chat line %1 has the wrong sender").arg(e.marker));
        }
    }

    void checkShown()
    {
        const QList<Row> shown = rows(m_c, QStringLiteral("SELECT S.IDUSER, S.IDEVENTS FROM SHOWALARM S "
                                                          "JOIN EVENTS E ON E.ID = S.IDEVENTS"));
        const QList<Row> events = rows(m_c, QStringLiteral("SELECT ID FROM EVENTS"));
        QSet<QString> pairs;
        for (const Row& row : shown)
            pairs.insert(row.value(QStringLiteral("IDUSER")) + u'/' + row.value(QStringLiteral("IDEVENTS")));
        QSet<int> existing;
        for (const Row& row : events)
            existing.insert(row.value(QStringLiteral("ID")).toInt());
        for (const JournalEntry& e : m_ops) {
            if (!committed(e) || e.op != QLatin1String("remind_close"))
                continue;
            for (int key : e.shownKeys) {
                if (!existing.contains(key))
                    continue;
                ++m_r.shown;
                if (!pairs.contains(QString::number(e.userId) + u'/' + QString::number(key)))
                    note(m_r.lost,
                         QStringLiteral("reminder of event %1 closed by user %2 not recorded as shown")
                             .arg(key)
                             .arg(e.userId));
            }
        }
    }

    // Nothing of an operation that was not committed may be in the
    // database, unless a committed one carried the same text on (a paste of
    // what a failed change left in the clipboard).
    void checkTraces()
    {
        QSet<QString> carried;
        for (const JournalEntry& e : m_ops)
            if (committed(e))
                for (const QString& column : {QStringLiteral("HEADER"), QStringLiteral("COMMENT")})
                    if (e.set.contains(column))
                        carried.insert(e.set.value(column).toString().section(u' ', 0, 0));
        QSet<QString> traces;
        const QList<Row> texts =
            rows(m_c, QStringLiteral("SELECT HEADER AS T FROM EVENTS UNION ALL SELECT COMMENT FROM EVENTS "
                                     "UNION ALL SELECT SUBJ FROM TEXTS UNION ALL SELECT BODY FROM MESAGES"));
        for (const Row& row : texts)
            traces.insert(row.value(QStringLiteral("T")).section(u' ', 0, 0));
        for (const JournalEntry& e : m_ops)
            if (failed(e) && traces.contains(e.marker) && !carried.contains(e.marker))
                note(m_r.halfWritten,
                     QStringLiteral("%1%2 (%3) left a trace").arg(e.op, e.marker, e.outcome));
    }

    db::Connection& m_c;
    const QList<JournalEntry>& m_ops;
    const QMap<int, QJsonObject>& m_seeded;
    QHash<int, QList<const JournalEntry*>> m_byKey;
    CheckResult m_r;
};

} // namespace

QString comparedValue(const QString& column, const QString& text)
{
    if (column == QLatin1String("ISFINISH"))
        return text == QLatin1String("T") ? text : QStringLiteral("F");
    return text;
}

const QStringList& checkedEventColumns()
{
    static const QStringList columns = {QStringLiteral("HEADER"),    QStringLiteral("COMMENT"),
                                        QStringLiteral("STARTTIME"), QStringLiteral("ENDTIME"),
                                        QStringLiteral("WORKPLACE"), QStringLiteral("ISFINISH"),
                                        QStringLiteral("ISPERCENT")};
    return columns;
}

CheckResult checkDatabase(db::Connection& c, const QList<JournalEntry>& operations,
                          const QMap<int, QJsonObject>& seeded)
{
    return Checker(c, operations, seeded).run();
}

} // namespace tarvik::bench

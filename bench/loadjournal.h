#pragma once

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>

#include <chrono>

namespace tarvik::bench {

// One line of a workstation's journal of the load run, as JSON. Times are
// nanoseconds of the steady clock, which all processes of one machine share,
// so that the checker can order operations of different workstations.
struct JournalEntry
{
    enum class Kind
    {
        Operation,
        Alert,         // an alert and the reload that followed it
        AlertUnloaded, // an alert no reload followed before the end
    };

    Kind kind = Kind::Operation;
    int station = 0;
    int userId = 0;
    QString op;     // "add", "edit", "move", "delete", "cut", "paste", "done", ...
    QString marker; // "[W3#17]", unique over the run
    int key = 0;    // the event, letter or first reminder the operation is on
    // Outcome: "committed", "conflict", "error", "refused" or "skipped"
    // (nothing to act on; not counted).
    QString outcome;
    QString text; // what the scripted platform showed
    qint64 startNs = 0;
    qint64 endNs = 0;
    // EVENTS columns the operation set, as compared text (see columnText).
    QJsonObject set;
    bool removes = false; // the event is deleted (delete, cut)
    bool creates = false; // a new event (add, paste)
    // A change of an event: the version (STAMP) of the row the workstation
    // held when the user began, the version its write made, and the row as
    // written (checked columns, as columnText gives them).
    qint64 seenStamp = 0;
    qint64 stamp = 0;
    QJsonObject row;
    bool asked = false; // the user was asked whether to write over another's change
    QList<int> shownKeys; // reminders closed: their events
    int recipient = 0;    // letter or chat line: to whom (0 for all)
    QString alertName;
    double alertMs = 0; // from the alert to the end of the reload

    [[nodiscard]] double ms() const { return double(endNs - startNs) / 1e6; }

    [[nodiscard]] QJsonObject toJson() const;
    [[nodiscard]] static JournalEntry fromJson(const QJsonObject& o);
};

[[nodiscard]] inline qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A column value as the journal and the checker compare it: wall-clock
// times to the second, numbers and texts as they are, NULL as empty.
[[nodiscard]] QString columnText(const QVariant& v);

// Appends entries to a file, one flushed line each, so that a workstation
// that dies still leaves what it did.
class JournalWriter
{
public:
    explicit JournalWriter(const QString& path);
    void write(const JournalEntry& e);

private:
    QFile m_file;
};

[[nodiscard]] QList<JournalEntry> readJournal(const QString& path);

} // namespace tarvik::bench

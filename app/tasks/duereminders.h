#pragma once

#include "eventcolumns.h"

#include "accessrights.h"
#include "roles.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace tarvik::db {
class Connection;
class EventStamps;
class Query;
} // namespace tarvik::db

namespace tarvik::tasks {

// The due-reminder statement, line by line: every event when all is set (an
// administrator), otherwise only those of the given work places, in their
// order. The rows come by ID, so that a tick can merge what changed into
// the list instead of reading it whole. `stamped`: each row carries its
// change stamp as the last column, so that a change is written only to the
// row as it was read.
[[nodiscard]] QString dueReminderSql(bool all, const QList<int>& workPlaces, bool stamped = false);

// The statements a tick merges into the list; each gives the list's
// columns, then BELONGS (1 for a row the full statement gives, 0 for one it
// does not).
struct DueChangesSql
{
    QString changed; // events written since the stamp :SINCE (their STAMP before BELONGS)
    QString fallen;  // events that fell due after :LastDate, up to :ThisDate
    QString shown;   // events whose records of this user changed since :SINCE
};
[[nodiscard]] DueChangesSql dueChangesSql(bool all, const QList<int>& workPlaces);

// The due-reminder query (qAlarmEvents) of the logged-in user and the
// changes the reminder window makes through it. Each change is committed at
// once; a database error leaves the list as it was and is thrown on.
class DueReminders
{
public:
    static const QString kModifySql;
    static const QString kDeleteSql;
    static const QString kShownInsertSql;

    enum class Outcome
    {
        Done,
        Empty,   // nothing listed: nothing done
        NoRight, // a worker without the edit right on the row's work place
        Gone,    // another workstation deleted or moved the event since the list was read
        Kept     // the user kept another workstation's change of the event; nothing written
    };

    explicit DueReminders(db::Connection& connection);
    ~DueReminders();
    DueReminders(const DueReminders&) = delete;
    DueReminders& operator=(const DueReminders&) = delete;

    // Re-reads the user's visible work places and rebuilds the statement
    // (the list is closed). False when a worker or boss sees no work place:
    // such a user gets no reminders until the next build.
    bool build(int userId, UserRole role);
    [[nodiscard]] bool canRemind() const { return m_canRemind; }
    [[nodiscard]] int userId() const { return m_userId; }

    // Brings the list up to now. The event that was current stays current
    // while it is listed; otherwise the first row becomes current. After a
    // full read only what changed since the last refresh is read and merged
    // in; the list is read whole again when that cannot be sure.
    void refresh(const QDateTime& now);
    // Whether the last refresh read the list whole.
    [[nodiscard]] bool lastReadWhole() const { return m_lastReadWhole; }
    // For tests: how long a change stamp that has not shown yet is waited
    // for (see EventStamps); from the next build on.
    void setStampGrace(std::chrono::milliseconds grace) { m_stampGrace = grace; }

    [[nodiscard]] db::Query& qAlarmEvents() const { return *m_query; }
    [[nodiscard]] AccessRights& rights() { return m_rights; }

    // The SOUND of the first listed row that has one; 0 when none has.
    [[nodiscard]] int firstSound() const;

    // Removes the current row's event. The list is re-read as of now first:
    // an event deleted or moved elsewhere since is left alone (Gone).
    Outcome deleteCurrent(const QDateTime& now);
    // Moves the current row's event by that many minutes, for everybody, and
    // re-reads the list as of now. Like deleting, it acts only on the event
    // as the list showed it, and writes it back as it is stored now.
    Outcome postponeCurrent(int minutes, const QDateTime& now);
    // Records every listed reminder as dealt with by the user.
    void recordShown();

private:
    void readWhole(const QDateTime& now);
    [[nodiscard]] bool mergeChanges(const QDateTime& now);
    void forgetChanges();
    Outcome checkCurrent() const;
    // Re-reads the list and makes the event of the current row current again,
    // when it is still listed where it was.
    [[nodiscard]] Outcome findCurrentAgain(const QDateTime& now);

    db::Connection& m_connection;
    AccessRights m_rights;
    std::unique_ptr<db::Query> m_query;
    std::unique_ptr<db::EventStamps> m_eventStamps;
    std::unique_ptr<db::EventStamps> m_shownStamps;
    std::unique_ptr<db::Query> m_changed;
    std::unique_ptr<db::Query> m_fallen;
    std::unique_ptr<db::Query> m_shown;
    QDateTime m_readAt; // :ThisDate of the rows held; invalid when they are not to be trusted
    int m_userId = 0;
    bool m_canRemind = false;
    bool m_lastReadWhole = false;
    std::optional<std::chrono::milliseconds> m_stampGrace;
};

} // namespace tarvik::tasks

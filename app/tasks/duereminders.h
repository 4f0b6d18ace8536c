#pragma once

#include "eventcolumns.h"

#include "accessrights.h"
#include "roles.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::tasks {

// The due-reminder statement, line by line: every event when all is set (an
// administrator), otherwise only those of the given work places, in their
// order. No ORDER BY: "first" means first as the server returns the rows.
[[nodiscard]] QString dueReminderSql(bool all, const QList<int>& workPlaces);

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
        Gone     // another workstation deleted or moved the event since the list was read
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

    // Re-reads the list as of now. The event that was current stays current
    // while it is listed; otherwise the first row becomes current.
    void refresh(const QDateTime& now);

    [[nodiscard]] db::Query& qAlarmEvents() const { return *m_query; }
    [[nodiscard]] AccessRights& rights() { return m_rights; }

    // The SOUND of the first listed row that has one; 0 when none has.
    [[nodiscard]] int firstSound() const;
    // The file of a SOUNDS row; empty when the row is gone or has no path.
    [[nodiscard]] QString soundPath(int soundId) const;

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
    Outcome checkCurrent() const;
    // Re-reads the list and makes the event of the current row current again,
    // when it is still listed where it was.
    [[nodiscard]] Outcome findCurrentAgain(const QDateTime& now);

    db::Connection& m_connection;
    AccessRights m_rights;
    std::unique_ptr<db::Query> m_query;
    int m_userId = 0;
    bool m_canRemind = false;
};

} // namespace tarvik::tasks

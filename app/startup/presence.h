#pragma once

#include "roles.h"

#include <QRect>
#include <QString>

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::startup {

// The logged-in user as the other windows read it for the whole run.
struct LoginProfile
{
    int userId = 0;
    UserRole role = UserRole::Worker;
    bool exclusive = false;
    bool newEventNotices = false;
    bool newLetterNotices = false;
    bool newChatNotices = false;
};

// The window as it stands when the user leaves.
struct LeavingWindow
{
    bool maximized = false;
    bool minimized = false;
    QRect geometry; // the maximised bounds when maximised
    int panelWidth = 0;
};

// The users list kept open for the run, and the presence marks written
// through its one change statement.
namespace presence {

inline const QString kUsersSql = QStringLiteral("SELECT * FROM Users ORDER BY Name");
inline const QString kUserStateUpdateSql = QStringLiteral(
    "UPDATE Users SET InSystem = :Insystem, Mono = :Mono, CPWidth = :CPWidth, StartSystem = :StartSystem, "
    "SNEvent = :SNEvent, SNText = :SNText, SNMesage = :SNMesage, WLeft = :WLeft, WTop = :WTop, WWidth = "
    ":WWidth, "
    "WHeight = :WHeight, WState = :WState WHERE Id = :Id");
inline const QString kDeleteOwnChatSql = QStringLiteral("DELETE FROM Mesages WHERE IdFrom = :IdFrom");

// Gives the users list its statement and its user state update statement.
void configureUsersList(db::Query& users);

// Marks the user at the list position present (and exclusive), commits
// retaining and gives the login profile.
[[nodiscard]] LoginProfile logIn(db::Query& users, int row, bool exclusive);

// The leaving steps: clears the marks, stores the panel width and the
// window placement, deletes the user's own chat messages. Stops at the
// first failure and says whether all went through; writes nothing when the
// user's row is gone. The caller ends the program in every case.
bool leave(db::Connection& connection, db::Query& users, int userId, const LeavingWindow& window) noexcept;

} // namespace presence
} // namespace tarvik::startup

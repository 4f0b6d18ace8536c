#include "presence.h"

#include "connection.h"
#include "dberror.h"
#include "presencemarks.h"
#include "query.h"

namespace tarvik::startup::presence {

namespace {

const QString T = QStringLiteral("T");
const QString F = QStringLiteral("F");

} // namespace

void configureUsersList(db::Query& users)
{
    users.setSql(kUsersSql);
    users.setModifySql(kUserStateUpdateSql);
}

LoginProfile logIn(db::Query& users, int row, bool exclusive)
{
    users.setRecNo(row);
    LoginProfile profile;
    profile.userId = users.integer(QStringLiteral("ID"));
    profile.role = userRoleOf(users);
    profile.exclusive = exclusive;
    profile.newEventNotices = isFlagSet(users.value(QStringLiteral("SNEVENT")));
    profile.newLetterNotices = isFlagSet(users.value(QStringLiteral("SNTEXT")));
    profile.newChatNotices = isFlagSet(users.value(QStringLiteral("SNMESAGE")));
    users.edit();
    users.setValue(QStringLiteral("INSYSTEM"), T);
    if (exclusive)
        users.setValue(QStringLiteral("MONO"), T);
    try {
        users.post();
        // The mark names this workstation's attachment, so that it is known
        // for a dead one's should this workstation die.
        db::recordAttachment(users.connection(), profile.userId);
    } catch (...) {
        users.cancel();
        users.connection().rollbackRetaining();
        throw;
    }
    users.connection().commitRetaining();
    return profile;
}

bool leave(db::Connection& connection, db::Query& users, int userId, const LeavingWindow& window) noexcept
{
    try {
        if (!users.isOpen() || !users.locate(QStringLiteral("ID"), userId))
            return false;
        users.edit();
        users.setValue(QStringLiteral("INSYSTEM"), F);
        users.setValue(QStringLiteral("MONO"), F);
        users.setValue(QStringLiteral("CPWIDTH"), window.panelWidth);
        if (!window.minimized)
            users.setValue(QStringLiteral("WSTATE"), window.maximized ? 1 : 2);
        users.setValue(QStringLiteral("WWIDTH"), window.geometry.width());
        users.setValue(QStringLiteral("WHEIGHT"), window.geometry.height());
        users.setValue(QStringLiteral("WLEFT"), window.geometry.left());
        users.setValue(QStringLiteral("WTOP"), window.geometry.top());
        users.post();
        connection.execute(kDeleteOwnChatSql, {{QStringLiteral("IdFrom"), userId}});
        return true;
    } catch (const db::DbError&) {
        users.cancel();
        return false;
    } catch (...) {
        return false;
    }
}

} // namespace tarvik::startup::presence

#pragma once

#include <QString>
#include <QVariant>

namespace tarvik::db {
class PresenceMarks;
class Query;
} // namespace tarvik::db

namespace tarvik {

enum class UserRole
{
    Administrator,
    Boss,
    Worker
};

// A one-character mark counts as set only when it holds exactly "T":
// "F", "t", " T", empty and null are all unset.
[[nodiscard]] bool isFlagSet(const QVariant& value);

// The role a USERS row gives: boss when BOSS is set, otherwise
// administrator when ADMCHECK is set, otherwise worker.
[[nodiscard]] UserRole userRoleOf(const QVariant& admCheck, const QVariant& boss);
// The same for the current row of a query over USERS.
[[nodiscard]] UserRole userRoleOf(const db::Query& users);

// "Администратор", "Управляющий", "Рабочий".
[[nodiscard]] QString roleName(UserRole role);
// The status bar's role panel: " <b>Администратор</b>" and so on.
[[nodiscard]] QString roleStatusText(UserRole role);

enum class CaptionForm
{
    Role,    // administrators red and bold, bosses bold, workers plain
    Presence // as Role, but silver for anybody not logged in
};

// A user's name in the rich caption markup of the user lists.
[[nodiscard]] QString userCaption(const QString& name, const QVariant& admCheck, const QVariant& boss,
                                  const QVariant& inSystem, CaptionForm form);
// The same for the current row of a query over USERS.
[[nodiscard]] QString userCaption(const db::Query& users, CaptionForm form);
// The same, in the presence form a mark that a dead workstation left counts
// as no mark.
[[nodiscard]] QString userCaption(const db::Query& users, CaptionForm form, const db::PresenceMarks& marks);

} // namespace tarvik

#pragma once

#include "roles.h"

#include <QString>
#include <QStringList>

namespace tarvik::db {
class PresenceMarks;
class Query;
} // namespace tarvik::db

namespace tarvik::startup {

// Why a login is refused, in the order the checks run.
enum class LoginRefusal
{
    None,
    SystemHeldExclusively,
    UsersPresent,
    AlreadyLoggedIn,
    OnlyAdministratorExclusive,
    WrongPassword
};

[[nodiscard]] QString refusalText(LoginRefusal refusal);

// One notice per user whose exclusive mark is set, in list order:
// "Система запущена монопольно пользователем "<name>"". Any notice means
// the program ends without a login.
// With the marks' states, a notice whose mark was left by a workstation that
// died says so on a second line.
[[nodiscard]] QStringList exclusiveStartNotices(const db::Query& users,
                                                const db::PresenceMarks* marks = nullptr);

// The list position to preselect: the first user with the remembered ID, or
// the last user when none has it; -1 for an empty list.
[[nodiscard]] int rememberedPosition(const db::Query& users, int rememberedId);

// Runs the login checks on the users as read when the dialog opened. The
// selected position -1 means the first user. The password is compared last,
// exactly, case included.
// The second line of a refusal caused only by marks that dead workstations
// left: they can be cleared with the clearing utility. Empty otherwise.
[[nodiscard]] QString staleMarkNote(LoginRefusal refusal, const db::Query& users, int selected,
                                    const db::PresenceMarks& marks);

[[nodiscard]] LoginRefusal checkLogin(const db::Query& users, int selected, const QString& password,
                                      bool exclusive);

// Which of the role-dependent menu items a login shows.
struct MenuVisibility
{
    bool systemParameters = false; // "Параметры системы"
    bool workPlaces = false;       // "Рабочие места"
    bool usersManager = false;     // "Менеджер пользователей"
    bool utilities = false;        // "Утилиты"
};

[[nodiscard]] MenuVisibility menuVisibilityFor(UserRole role, bool exclusive);

} // namespace tarvik::startup

#include "loginrules.h"

#include "presencemarks.h"
#include "query.h"

namespace tarvik::startup {

namespace {

const QString kMono = QStringLiteral("MONO");
const QString kInSystem = QStringLiteral("INSYSTEM");

bool anyUser(const db::Query& users, const QString& column)
{
    for (int r = 0; r < users.recordCount(); ++r)
        if (isFlagSet(users.valueAt(r, column)))
            return true;
    return false;
}

const QString kStaleMark = QStringLiteral(
    "Отметка о входе осталась от рабочего места, которое больше не связано с сервером; её можно снять "
    "программой Ruduvo.");
const QString kStaleMarks = QStringLiteral(
    "Отметки о входе остались от рабочих мест, которые больше не связаны с сервером; их можно снять "
    "программой Ruduvo.");

// Whether some user carries the mark and every such mark is stale.
bool onlyStale(const db::Query& users, const QString& column, const db::PresenceMarks& marks)
{
    bool any = false;
    for (int r = 0; r < users.recordCount(); ++r) {
        if (!isFlagSet(users.valueAt(r, column)))
            continue;
        if (!marks.isStale(users.valueAt(r, QStringLiteral("ID")).toInt()))
            return false;
        any = true;
    }
    return any;
}

} // namespace

QString staleMarkNote(LoginRefusal refusal, const db::Query& users, int selected,
                      const db::PresenceMarks& marks)
{
    const int row = selected < 0 || selected >= users.recordCount() ? 0 : selected;
    switch (refusal) {
    case LoginRefusal::SystemHeldExclusively:
        return onlyStale(users, kMono, marks) ? kStaleMark : QString();
    case LoginRefusal::UsersPresent:
        return onlyStale(users, kInSystem, marks) ? kStaleMarks : QString();
    case LoginRefusal::AlreadyLoggedIn:
        return users.recordCount() > 0 && marks.isStale(users.valueAt(row, QStringLiteral("ID")).toInt())
                   ? kStaleMark
                   : QString();
    default:
        return {};
    }
}

QString refusalText(LoginRefusal refusal)
{
    switch (refusal) {
    case LoginRefusal::SystemHeldExclusively:
        return QStringLiteral("Система запущена монопольно другим пользователем!");
    case LoginRefusal::UsersPresent:
        return QStringLiteral("Запуск монопольно невозможен! В системе есть пользователи.");
    case LoginRefusal::AlreadyLoggedIn:
        return QStringLiteral("Этот пользователь уже вошел в систему!");
    case LoginRefusal::OnlyAdministratorExclusive:
        return QStringLiteral("Только администратор системы может войти монопольно!");
    case LoginRefusal::WrongPassword:
        return QStringLiteral("Введен неверный пароль!");
    case LoginRefusal::None:
        break;
    }
    return {};
}

QStringList exclusiveStartNotices(const db::Query& users, const db::PresenceMarks* marks)
{
    QStringList notices;
    for (int r = 0; r < users.recordCount(); ++r) {
        if (!isFlagSet(users.valueAt(r, kMono)))
            continue;
        QString notice = QStringLiteral("Система запущена монопольно пользователем \"%1\"")
                             .arg(users.valueAt(r, QStringLiteral("NAME")).toString());
        if (marks && marks->isStale(users.valueAt(r, QStringLiteral("ID")).toInt()))
            notice += QLatin1Char('\n') + kStaleMark;
        notices << notice;
    }
    return notices;
}

int rememberedPosition(const db::Query& users, int rememberedId)
{
    for (int r = 0; r < users.recordCount(); ++r)
        if (users.valueAt(r, QStringLiteral("ID")).toInt() == rememberedId)
            return r;
    return users.recordCount() - 1;
}

LoginRefusal checkLogin(const db::Query& users, int selected, const QString& password, bool exclusive)
{
    if (users.recordCount() == 0)
        return LoginRefusal::WrongPassword;
    const int row = selected < 0 || selected >= users.recordCount() ? 0 : selected;
    if (anyUser(users, kMono))
        return LoginRefusal::SystemHeldExclusively;
    if (exclusive && anyUser(users, kInSystem))
        return LoginRefusal::UsersPresent;
    if (isFlagSet(users.valueAt(row, kInSystem)))
        return LoginRefusal::AlreadyLoggedIn;
    if (exclusive && !isFlagSet(users.valueAt(row, QStringLiteral("ADMCHECK"))))
        return LoginRefusal::OnlyAdministratorExclusive;
    if (users.valueAt(row, QStringLiteral("PASS")).toString() != password)
        return LoginRefusal::WrongPassword;
    return LoginRefusal::None;
}

MenuVisibility menuVisibilityFor(UserRole role, bool exclusive)
{
    switch (role) {
    case UserRole::Administrator:
        return exclusive ? MenuVisibility{true, false, true, true} : MenuVisibility{false, true, true, false};
    case UserRole::Boss:
        return MenuVisibility{false, true, true, false};
    case UserRole::Worker:
        break;
    }
    return MenuVisibility{};
}

} // namespace tarvik::startup

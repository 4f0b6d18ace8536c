#include "roles.h"

#include "presencemarks.h"
#include "query.h"

namespace tarvik {

bool isFlagSet(const QVariant& value)
{
    return value.isValid() && !value.isNull() && value.typeId() == QMetaType::QString &&
           value.toString() == QLatin1String("T");
}

UserRole userRoleOf(const QVariant& admCheck, const QVariant& boss)
{
    if (isFlagSet(boss))
        return UserRole::Boss;
    if (isFlagSet(admCheck))
        return UserRole::Administrator;
    return UserRole::Worker;
}

UserRole userRoleOf(const db::Query& users)
{
    return userRoleOf(users.value(QStringLiteral("ADMCHECK")), users.value(QStringLiteral("BOSS")));
}

QString roleName(UserRole role)
{
    switch (role) {
    case UserRole::Administrator:
        return QStringLiteral("Администратор");
    case UserRole::Boss:
        return QStringLiteral("Управляющий");
    case UserRole::Worker:
        break;
    }
    return QStringLiteral("Рабочий");
}

QString roleStatusText(UserRole role)
{
    return QStringLiteral(" <b>%1</b>").arg(roleName(role));
}

QString userCaption(const QString& name, const QVariant& admCheck, const QVariant& boss,
                    const QVariant& inSystem, CaptionForm form)
{
    if (form == CaptionForm::Presence && !isFlagSet(inSystem))
        return QStringLiteral("<font color=\"clSilver\">") + name + QStringLiteral("</font>");
    if (isFlagSet(admCheck))
        return QStringLiteral("<font color=\"clRed\"><b>") + name + QStringLiteral("</b></font>");
    if (isFlagSet(boss))
        return QStringLiteral("<b>") + name + QStringLiteral("</b>");
    return name;
}

QString userCaption(const db::Query& users, CaptionForm form)
{
    return userCaption(users.text(QStringLiteral("NAME")), users.value(QStringLiteral("ADMCHECK")),
                       users.value(QStringLiteral("BOSS")), users.value(QStringLiteral("INSYSTEM")), form);
}

QString userCaption(const db::Query& users, CaptionForm form, const db::PresenceMarks& marks)
{
    const bool stale = marks.isStale(users.integer(QStringLiteral("ID")));
    return userCaption(users.text(QStringLiteral("NAME")), users.value(QStringLiteral("ADMCHECK")),
                       users.value(QStringLiteral("BOSS")),
                       stale ? QVariant(QStringLiteral("F")) : users.value(QStringLiteral("INSYSTEM")), form);
}

} // namespace tarvik

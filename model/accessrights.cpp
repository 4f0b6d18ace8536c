#include "accessrights.h"

#include "query.h"

namespace tarvik {

const QString AccessRights::kWorkerRightsSql = QStringLiteral(
    "SELECT Id, UserId, WorkPlaceId, WView, WEdit, (SELECT Name FROM WorkPlace WHERE Id = "
    "UserWorkPlace.WorkPlaceId) AS Name FROM USERWORKPLACE WHERE UserId = :UserId AND WView = \"T\"");
const QString AccessRights::kBossWorkPlacesSql =
    QStringLiteral("SELECT * FROM WORKPLACE WHERE BossId = :BossId");

AccessRights::AccessRights(db::Connection& connection)
    : m_connection(connection), m_rights(std::make_unique<db::Query>(connection, kWorkerRightsSql))
{}

AccessRights::~AccessRights() = default;

void AccessRights::setUser(int userId, UserRole role)
{
    m_userId = userId;
    m_role = role;
    m_rights->close();
}

void AccessRights::reload()
{
    m_rights->close();
    if (m_role != UserRole::Worker)
        return;
    m_rights->setParam(QStringLiteral("UserId"), m_userId);
    m_rights->open();
}

QList<VisibleWorkPlace> AccessRights::visibleWorkPlaces(int bossId)
{
    QList<VisibleWorkPlace> out;
    if (m_role == UserRole::Worker) {
        if (!m_rights->isOpen())
            reload();
        for (int r = 0; r < m_rights->recordCount(); ++r)
            out << VisibleWorkPlace{m_rights->valueAt(r, QStringLiteral("WORKPLACEID")).toInt(),
                                    m_rights->valueAt(r, QStringLiteral("NAME")).toString(),
                                    isFlagSet(m_rights->valueAt(r, QStringLiteral("WEDIT"))),
                                    m_rights->valueAt(r, QStringLiteral("ID")).toInt()};
        return out;
    }
    db::Query places(m_connection, kBossWorkPlacesSql);
    places.setParam(QStringLiteral("BossId"), m_role == UserRole::Boss ? m_userId : bossId);
    places.open();
    for (int r = 0; r < places.recordCount(); ++r)
        out << VisibleWorkPlace{places.valueAt(r, QStringLiteral("ID")).toInt(),
                                places.valueAt(r, QStringLiteral("NAME")).toString(), true, 0};
    return out;
}

bool AccessRights::canEditWorkPlace(int workPlaceId) const
{
    if (m_role != UserRole::Worker)
        return true;
    if (!m_rights->isOpen())
        return false;
    // The first rights row for the work place decides.
    for (int r = 0; r < m_rights->recordCount(); ++r)
        if (m_rights->valueAt(r, QStringLiteral("USERID")).toInt() == m_userId &&
            m_rights->valueAt(r, QStringLiteral("WORKPLACEID")).toInt() == workPlaceId)
            return isFlagSet(m_rights->valueAt(r, QStringLiteral("WEDIT")));
    return false;
}

} // namespace tarvik

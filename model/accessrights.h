#pragma once

#include "roles.h"

#include <QList>
#include <QString>

#include <memory>

namespace tarvik {

namespace db {
class Connection;
class Query;
} // namespace db

inline const QString kNoEditRightMessage =
    QStringLiteral("У вас нет доступа для редактирования этого рабочего места!");
inline const QString kNoMoveRightMessage =
    QStringLiteral("Невозможно перенести задание на это рабочее место!\n"
                   "У вас нет прав для его редактирования.");

struct VisibleWorkPlace
{
    int workPlaceId = 0;
    QString name;
    bool editable = false;
    // For a worker, the ID of the rights row that grants the view; 0 otherwise.
    int rightsRowId = 0;
};

// What the logged-in user may see and change. Checks use the rows read at
// the last reload(); the caller reloads whenever rights may have changed
// (after login, after the administration dialogs, on the rights alerts).
class AccessRights
{
public:
    static const QString kWorkerRightsSql;
    static const QString kBossWorkPlacesSql;

    explicit AccessRights(db::Connection& connection);
    ~AccessRights();

    void setUser(int userId, UserRole role);
    [[nodiscard]] int userId() const { return m_userId; }
    [[nodiscard]] UserRole role() const { return m_role; }

    // Re-reads a worker's rights rows.
    void reload();
    // The rights rows of a worker as last read (open query), for the tree.
    [[nodiscard]] db::Query& workerRights() { return *m_rights; }

    // A worker's or boss's own work places; for an administrator those of
    // the given boss. In the order the database returns them.
    [[nodiscard]] QList<VisibleWorkPlace> visibleWorkPlaces(int bossId = 0);
    [[nodiscard]] bool canEditWorkPlace(int workPlaceId) const;

private:
    db::Connection& m_connection;
    std::unique_ptr<db::Query> m_rights;
    int m_userId = 0;
    UserRole m_role = UserRole::Worker;
};

} // namespace tarvik

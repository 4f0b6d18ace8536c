#pragma once

#include "markuptreeview.h"
#include "workplaceentry.h"

#include <QObject>
#include <QPointer>

#include <optional>

class QModelIndex;

namespace tarvik {
class AccessRights;
}
namespace tarvik::db {
class Query;
}

namespace tarvik::planner {

// The work place tree `tvWorkType`: its entries by the logged-in user's
// role, and the choice of an entry, which asks the planner to load that
// group. Each entry carries a WorkPlaceEntry as its value.
class WorkPlaceTree : public QObject
{
    Q_OBJECT
public:
    static const QString kRootCaption;

    // `users` is the users list in name order, walked for the bosses.
    WorkPlaceTree(AccessRights& rights, db::Query& users, QObject* parent = nullptr);
    ~WorkPlaceTree() override;

    // The view is created here; its owner places it.
    [[nodiscard]] widgets::MarkupTreeView* view() const { return m_view; }

    // Empties the tree and builds it anew for the logged-in user, reading
    // the rights rows or work places afresh. Throws db::DbError.
    void BuildWorkPlaceTree();
    // Makes the first entry current without choosing it, expands the tree
    // and chooses that entry. Nothing when the tree is empty.
    void chooseFirst();
    // An entry was chosen: it becomes current and its group is loaded.
    void tvWorkTypeChange(const WorkPlaceEntry& entry);
    // Loads the current entry's group again (a new month).
    void chooseCurrentAgain();

    [[nodiscard]] const std::optional<WorkPlaceEntry>& currentEntry() const { return m_current; }

signals:
    // The planner loads the group; errors of that load are its own.
    void entryChosen(const tarvik::planner::WorkPlaceEntry& entry);

private:
    void currentIndexChanged(const QModelIndex& current);
    void addBossWorkPlaces(int bossId, const QModelIndex& parent);

    AccessRights& m_rights;
    db::Query& m_users;
    QPointer<widgets::MarkupTreeView> m_view;
    std::optional<WorkPlaceEntry> m_current;
    bool m_quiet = false;
};

} // namespace tarvik::planner

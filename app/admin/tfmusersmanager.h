#pragma once

#include "roles.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QStackedWidget;
class QTableView;
class QToolButton;

namespace tarvik::db {
class Connection;
class DbError;
class Query;
} // namespace tarvik::db
namespace tarvik::widgets {
class DialogBar;
class MarkupTreeView;
} // namespace tarvik::widgets

namespace tarvik::admin {

class TfmOptions;

// True when the database refused a row because its name is already taken.
[[nodiscard]] bool isDuplicateName(const db::DbError& error);

// "Менеджер пользователей": the users as a tree (administrators; bosses with
// their workers) and the workers' rights on their bosses' work places.
// Everything it stores waits in the shared transaction for the caller to
// commit (OK) or roll back (Cancel).
class TfmUsersManager : public QDialog
{
    Q_OBJECT
public:
    enum NodeRole
    {
        GroupNode = 0,
        AdministratorNode = 1,
        BossNode = 2,
        WorkerNode = 3
    };

    TfmUsersManager(db::Connection& connection, TfmOptions& options, int userId, UserRole role,
                    bool exclusive, QWidget* parent = nullptr);
    ~TfmUsersManager() override;

    void BuildTree();
    void tvUsersChange();
    void sbAddAdminClick();
    void sbAddBossClick();
    void sbAddWorkerClick();
    void sbEditClick();
    void sbDelClick();
    void sbAddWorkPlaceClick();
    void sbDelWorkPlaceClick();
    void cbViewClick(bool checked);
    void cbEditClick(bool checked);

    [[nodiscard]] widgets::MarkupTreeView* tree() const { return m_tvUsers; }
    [[nodiscard]] widgets::DialogBar* bar() const { return m_bar; }
    [[nodiscard]] int pageShown() const;
    [[nodiscard]] db::Query& users() const { return *m_qUsers; }
    [[nodiscard]] db::Query& rights() const { return *m_qUserWorkPlace; }
    [[nodiscard]] bool userSelected() const { return m_userSelected; }

private:
    enum class NewUser
    {
        Administrator,
        Boss,
        Worker
    };
    void addUser(NewUser kind);
    // Shows the user dialog until the row is stored or the user gives up.
    void storeUser(const QString& title, QString name, QString password, NewUser kind, bool adding);
    void rightsRowChanged();
    void storeRight(const QString& column, bool on);
    [[nodiscard]] int nodeRole(const QModelIndex& index) const;
    [[nodiscard]] int nodeUser(const QModelIndex& index) const;
    [[nodiscard]] QModelIndex nodeAtPosition(int position) const;

    TfmOptions& m_options;
    int m_userId;
    UserRole m_role;
    std::unique_ptr<db::Query> m_qAdmins;
    std::unique_ptr<db::Query> m_qBosses;
    std::unique_ptr<db::Query> m_qWorkers;
    std::unique_ptr<db::Query> m_qUsers;
    std::unique_ptr<db::Query> m_qUserWorkPlace;
    bool m_userSelected = false;
    bool m_settingRights = false;

    widgets::DialogBar* m_bar = nullptr;
    widgets::MarkupTreeView* m_tvUsers = nullptr;
    QStackedWidget* m_pages = nullptr;
    QToolButton* m_sbAddAdmin = nullptr;
    QToolButton* m_sbAddBoss = nullptr;
    QToolButton* m_sbEdit = nullptr;
    QToolButton* m_sbDel = nullptr;
    QToolButton* m_sbAddWorker = nullptr;
    QToolButton* m_sbAddWorkPlace = nullptr;
    QToolButton* m_sbDelWorkPlace = nullptr;
    QCheckBox* m_cbView = nullptr;
    QCheckBox* m_cbEdit = nullptr;
    QTableView* m_dbgUserWorkPlace = nullptr;
};

} // namespace tarvik::admin

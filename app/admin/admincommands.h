#pragma once

#include "presence.h"

#include <QObject>

#include <functional>

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::admin {

struct GridValues;
class TfmOptions;

// The main window's commands of the menu "Настройка": the options window in
// its full, work places and personal modes and the users manager. They
// commit what the windows stored on OK and roll it back otherwise.
class AdminCommands : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        // The main window's copies of the grid options.
        std::function<GridValues()> gridValues;
        // Re-reads the grid options into the planner after a confirmed full mode.
        std::function<void()> readGridOptions;
        std::function<void()> refreshWorkPlaces;
    };

    // profile is the main window's login profile; its notice switches are
    // changed in place when the personal settings are saved.
    AdminCommands(db::Connection& connection, db::Query& users, TfmOptions& options,
                  startup::LoginProfile& profile, Hooks hooks, QWidget* window);

    void miSystemParamClick();
    void miWorkPlacesClick();
    void miPersonalClick();
    void miUsersManagerClick();
    // Stores the personal page for the logged-in user and commits.
    void savePersonalSettings();

signals:
    // The notice switches of the profile changed.
    void noticesChanged();

private:
    void commit();
    void rollback();
    void reopenLists();

    db::Connection& m_connection;
    db::Query& m_users;
    TfmOptions& m_options;
    startup::LoginProfile& m_profile;
    Hooks m_hooks;
    QWidget* m_window;
};

} // namespace tarvik::admin

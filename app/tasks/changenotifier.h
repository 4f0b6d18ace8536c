#pragma once

#include "eventstamps.h"
#include "query.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

namespace tarvik {
class AccessRights;
}

namespace tarvik::tasks {

class TfmNew;

// The four markup lines announcing a new task.
[[nodiscard]] QStringList newTaskNotice(const QString& header, const QDateTime& start, const QDateTime& end);

// Where the main program reacts to the database's alerts: every workstation
// (the one that made the change included) reloads what it shows, and a new
// task is announced in the notice window when the user wants it and is not
// looking at the planner. Parts that live elsewhere are reached through the
// signals and setters below.
class ChangeNotifier : public QObject
{
    Q_OBJECT
public:
    explicit ChangeNotifier(TfmNew& notice, QObject* parent = nullptr);

    // Alerts are ignored until somebody is logged in.
    void setLoggedIn(bool loggedIn) { m_loggedIn = loggedIn; }
    // The login profile's "Выводить сообщения о новых задачах".
    void setNewEventNotices(bool on) { m_newEventNotices = on; }
    // The planner's events query (qEvents), ordered by ID; none until the
    // planner is built.
    void setEventsQuery(db::Query* qEvents) { m_events = qEvents; }
    // Reads only what changed into the events query when it can; without
    // it, or when it cannot be sure, the query is read whole.
    void setEventsRefresh(db::EventsRefresh* refresh) { m_refresh = refresh; }
    // The user's rights rows, re-read on the rights alerts.
    void setRights(AccessRights* rights) { m_rights = rights; }
    // The main window: a hidden one (in the tray) always gets the notice,
    // a visible one gets the input focus back after it.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }
    // Whether one of the planner pages "День", "Неделя", "Месяц" is on show.
    void setPlannerPageShown(std::function<bool()> shown) { m_plannerPageShown = std::move(shown); }

    // The alert handler, one alert at a time on the user-interface thread.
    void handleAlert(const QString& name);

signals:
    // Around the reload of the events query: the calendar lets go of the
    // rows and takes them again.
    void eventsAboutToReload();
    void eventsReloaded();
    // "INS_TEXTS": the letter list is re-read.
    void lettersChanged();
    // "UPD_USERS": the chat's recipient list is re-read.
    void usersChanged();
    // "INS_MESAGES": new chat messages are fetched.
    void chatChanged();
    // The rights changed: RefreshWorkPlaces rebuilds the tree, the reminders
    // and the planner.
    void workPlacesChanged();

private:
    bool reloadEvents(const QString& name);
    [[nodiscard]] bool noticeWanted() const;

    TfmNew& m_notice;
    bool m_loggedIn = false;
    bool m_newEventNotices = false;
    QPointer<db::Query> m_events;
    QPointer<db::EventsRefresh> m_refresh;
    AccessRights* m_rights = nullptr;
    QPointer<QWidget> m_mainWindow;
    std::function<bool()> m_plannerPageShown;
};

} // namespace tarvik::tasks

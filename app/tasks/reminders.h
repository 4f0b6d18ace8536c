#pragma once

#include "roles.h"

#include <QObject>
#include <QTimer>

#include <memory>

namespace tarvik::admin {
class OptionLists;
}
namespace tarvik::db {
class Connection;
}

namespace tarvik::tasks {

class DueReminders;
class TfmAlarmTask;
class TfmMP;

// The reminders of the logged-in user: the due-reminder query, the 10-second
// timer tmEvents that re-reads it, the reminder window and its sound.
class Reminders : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickInterval = 10000;

    // A reminder's sound is looked up in the sounds list of `lists`.
    Reminders(db::Connection& connection, TfmMP& player, const admin::OptionLists& lists,
              QObject* parent = nullptr);
    ~Reminders() override;

    void setUser(int userId, UserRole role);
    // Rebuilds the due-reminder query from the user's work places as they
    // are now and starts the timer, or leaves it stopped for a user who sees
    // no work place. Run after login and by every RefreshWorkPlaces.
    void buildQuery();
    // One tick of tmEvents: re-reads the list as of the platform's clock and
    // brings the window up with its sound when there is something new.
    void tick();

    [[nodiscard]] QTimer& tmEvents() { return m_timer; }
    [[nodiscard]] DueReminders& due() const { return *m_due; }
    [[nodiscard]] TfmAlarmTask& window() const { return *m_window; }

signals:
    // The reminder window's Open, passed on to whoever shows the task
    // dialog.
    void openEventRequested(int eventId);

private:
    void playSound(int soundId);

    db::Connection& m_connection;
    TfmMP& m_player;
    const admin::OptionLists& m_lists;
    std::unique_ptr<DueReminders> m_due;
    std::unique_ptr<TfmAlarmTask> m_window;
    QTimer m_timer;
    int m_userId = 0;
    UserRole m_role = UserRole::Worker;
    // A tick that shows an error box runs the event loop; ticks arriving
    // meanwhile are dropped rather than stacking boxes.
    bool m_ticking = false;
};

} // namespace tarvik::tasks

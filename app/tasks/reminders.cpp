#include "reminders.h"

#include "connection.h"
#include "dberror.h"
#include "duereminders.h"
#include "optionlists.h"
#include "platform.h"
#include "query.h"
#include "tfmalarmtask.h"
#include "tfmmp.h"

namespace tarvik::tasks {

Reminders::Reminders(db::Connection& connection, TfmMP& player, const admin::OptionLists& lists,
                     QObject* parent)
    : QObject(parent), m_connection(connection), m_player(player), m_lists(lists),
      m_due(std::make_unique<DueReminders>(connection)), m_window(std::make_unique<TfmAlarmTask>(*m_due))
{
    m_timer.setObjectName(QStringLiteral("tmEvents"));
    m_timer.setInterval(kTickInterval);
    connect(&m_timer, &QTimer::timeout, this, &Reminders::tick);
    connect(m_window.get(), &TfmAlarmTask::openEventRequested, this, &Reminders::openEventRequested);
}

Reminders::~Reminders() = default;

void Reminders::setUser(int userId, UserRole role)
{
    m_userId = userId;
    m_role = role;
}

void Reminders::buildQuery()
{
    m_timer.stop();
    try {
        if (m_due->build(m_userId, m_role))
            m_timer.start();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void Reminders::tick()
{
    // Once the server is lost the loss has been shown; the ticks stay quiet
    // instead of showing it again every ten seconds.
    if (m_ticking || !m_due->canRemind() || !m_connection.isOpen())
        return;
    m_ticking = true;
    try {
        m_due->refresh(platform().now());
        const db::Query& list = m_due->qAlarmEvents();
        if (!list.isEmpty()) {
            m_window->setWindowTitle(QStringLiteral("%1 задач").arg(list.recordCount()));
            const int sound = m_player.soundAvailable() ? m_due->firstSound() : 0;
            if (m_window->shownMark() == 0) {
                if (sound > 0)
                    playSound(sound);
                m_window->present();
            }
        }
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    m_ticking = false;
}

void Reminders::playSound(int soundId)
{
    const QString path = m_lists.soundPath(soundId);
    // A sound deleted since, or a file missing on this workstation, is
    // skipped silently, and so is a file the player cannot open.
    if (!path.isEmpty() && platform().fileExists(path))
        m_player.play(path);
}

} // namespace tarvik::tasks

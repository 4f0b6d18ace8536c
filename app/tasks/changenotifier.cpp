#include "changenotifier.h"

#include "accessrights.h"
#include "datetimetext.h"
#include "dberror.h"
#include "platform.h"
#include "query.h"
#include "tfmnew.h"

#include <QWidget>

namespace tarvik::tasks {

namespace {

const QString kId = QStringLiteral("ID");

int idAt(const db::Query& q, int row)
{
    return row >= 0 && row < q.recordCount() ? q.valueAt(row, kId).toInt() : 0;
}

} // namespace

QStringList newTaskNotice(const QString& header, const QDateTime& start, const QDateTime& end)
{
    return {QStringLiteral("<font size=\"12\" face=\"Arial\"><b>Новое задание</b></font><br><br>"),
            QStringLiteral("<b>") + header + QStringLiteral("</b><br>"),
            QStringLiteral("<b>Время начала:</b> ") + dateTimeText(start) + QStringLiteral("<br>"),
            QStringLiteral("<b>Время окончания:</b> ") + dateTimeText(end)};
}

ChangeNotifier::ChangeNotifier(TfmNew& notice, QObject* parent) : QObject(parent), m_notice(notice) {}

void ChangeNotifier::handleAlert(const QString& name)
{
    if (!m_loggedIn)
        return;
    if (!reloadEvents(name))
        return;
    if (name == QLatin1String("INS_TEXTS"))
        emit lettersChanged();
    if (name == QLatin1String("UPD_USERS"))
        emit usersChanged();
    if (name == QLatin1String("INS_MESAGES"))
        emit chatChanged();
    if (name == QLatin1String("INS_UWP") || name == QLatin1String("UPD_UWP") ||
        name == QLatin1String("DEL_UWP")) {
        try {
            if (m_rights)
                m_rights->reload();
        } catch (const db::DbError& e) {
            platform().error(e.text());
            return;
        }
        emit workPlacesChanged();
    }
}

bool ChangeNotifier::noticeWanted() const
{
    const bool mainVisible = m_mainWindow && m_mainWindow->isVisible();
    const bool plannerShown = m_plannerPageShown && m_plannerPageShown();
    return m_newEventNotices && (!plannerShown || !mainVisible);
}

// The event step; false when the reload failed and the alert's other steps
// must not run.
bool ChangeNotifier::reloadEvents(const QString& name)
{
    const bool eventsAlert = name == QLatin1String("INS_EVENTS") || name == QLatin1String("UPD_EVENTS") ||
                             name == QLatin1String("DEL_EVENTS");
    db::Query* q = m_events;
    if (!q || q->sql().isEmpty() || (!eventsAlert && !q->isOpen()))
        return true;
    const int current = q->isOpen() ? idAt(*q, q->recNo()) : 0;
    const int last = q->isOpen() ? idAt(*q, q->recordCount() - 1) : 0;
    bool merged = false;
    if (m_refresh && q->isOpen()) {
        try {
            merged = m_refresh->refresh();
        } catch (const db::DbError&) {
            // Read whole below, which tells the user if the server is away.
        }
    }
    if (!merged) {
        emit eventsAboutToReload();
        try {
            q->close();
            q->open();
        } catch (const db::DbError& e) {
            emit eventsReloaded();
            platform().error(e.text());
            return false;
        }
    }
    emit eventsReloaded();

    const int newLast = idAt(*q, q->recordCount() - 1);
    if (name == QLatin1String("INS_EVENTS") && noticeWanted() && newLast != 0 && newLast != last) {
        const int row = q->recordCount() - 1;
        m_notice.showNotice(newTaskNotice(q->valueAt(row, QStringLiteral("HEADER")).toString(),
                                          q->valueAt(row, QStringLiteral("STARTTIME")).toDateTime(),
                                          q->valueAt(row, QStringLiteral("ENDTIME")).toDateTime()));
        if (m_mainWindow && m_mainWindow->isVisible())
            m_mainWindow->activateWindow();
    }
    if (current != 0 && !merged)
        q->locate(kId, current);
    return true;
}

} // namespace tarvik::tasks

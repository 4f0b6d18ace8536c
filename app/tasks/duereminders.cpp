#include "duereminders.h"

#include "connection.h"
#include "dberror.h"
#include "query.h"

#include <QStringList>

namespace tarvik::tasks {

namespace {
const QString kId = QStringLiteral("ID");
} // namespace

// The list does not read SHOWALARM, so the statement leaves it as stored
// rather than clearing it with every postponement.
const QString DueReminders::kModifySql = QStringLiteral(
    "UPDATE EVENTS SET USERSID = :USERSID, HEADER = :HEADER, COMMENT = :COMMENT, STARTTIME = :STARTTIME, "
    "ENDTIME = :ENDTIME, ISFINISH = :ISFINISH, ISPERCENT = :ISPERCENT, IMPORTANCE = :IMPORTANCE, "
    "COLOR = :COLOR, IMAGE = :IMAGE, WorkPlace = :WorkPlace, Template = :Template, WorkType = :WorkType, "
    "DateEdit = :DateEdit, Alarm = :Alarm, Sound = :Sound WHERE ID = :OLD_ID");
const QString DueReminders::kDeleteSql = QStringLiteral("DELETE FROM EVENTS WHERE ID = :OLD_ID");
const QString DueReminders::kShownInsertSql =
    QStringLiteral("INSERT INTO SHOWALARM VALUES (:Id, :IdUser, :IdEvents)");

QString dueReminderSql(bool all, const QList<int>& workPlaces)
{
    QStringList lines = {
        QStringLiteral("SELECT ") + kEventColumns + QStringLiteral(" FROM Events WHERE"),
        QStringLiteral(":ThisDate >= StartTime - ((Alarm / 24) / 60) AND"), QStringLiteral("Alarm > 0 AND"),
        QStringLiteral(
            "(SELECT Count(Id) FROM ShowAlarm WHERE IdEvents = Events.Id AND IdUser = :IdUser) = 0")};
    if (!all && !workPlaces.isEmpty()) {
        for (int i = 0; i < workPlaces.size(); ++i)
            lines << (i == 0 ? QStringLiteral("AND (WorkPlace=") : QStringLiteral("OR WorkPlace=")) +
                         QString::number(workPlaces.at(i));
        lines << QStringLiteral(")");
    }
    return lines.join(QLatin1Char('\n'));
}

DueReminders::DueReminders(db::Connection& connection)
    : m_connection(connection), m_rights(connection), m_query(std::make_unique<db::Query>(connection))
{
    m_query->setObjectName(QStringLiteral("qAlarmEvents"));
    m_query->setModifySql(kModifySql);
    m_query->setDeleteSql(kDeleteSql);
}

DueReminders::~DueReminders() = default;

bool DueReminders::build(int userId, UserRole role)
{
    m_userId = userId;
    m_canRemind = false;
    m_query->close();
    m_rights.setUser(userId, role);
    QList<int> places;
    if (role != UserRole::Administrator) {
        m_rights.reload();
        for (const VisibleWorkPlace& p : m_rights.visibleWorkPlaces())
            places << p.workPlaceId;
    }
    const bool all = role == UserRole::Administrator;
    m_query->setSql(dueReminderSql(all, places));
    m_canRemind = all || !places.isEmpty();
    return m_canRemind;
}

// The row the user chose stays current while it is listed: a tick every ten
// seconds must not move Delete or Postpone onto another event.
void DueReminders::refresh(const QDateTime& now)
{
    const QVariant chosen = m_query->isOpen() && m_query->recNo() >= 0 ? m_query->value(kId) : QVariant();
    m_query->close();
    m_query->setParam(QStringLiteral("ThisDate"), now);
    m_query->setParam(QStringLiteral("IdUser"), m_userId);
    m_query->open();
    if (chosen.isValid())
        m_query->locate(kId, chosen);
}

int DueReminders::firstSound() const
{
    if (!m_query->isOpen())
        return 0;
    for (int r = 0; r < m_query->recordCount(); ++r) {
        const int sound = m_query->valueAt(r, QStringLiteral("SOUND")).toInt();
        if (sound > 0)
            return sound;
    }
    return 0;
}

QString DueReminders::soundPath(int soundId) const
{
    db::Query sounds(m_connection, QStringLiteral("SELECT Path FROM Sounds WHERE Id = :Id"));
    sounds.setParam(kId, soundId);
    sounds.open();
    return sounds.isEmpty() ? QString() : sounds.text(QStringLiteral("PATH"));
}

DueReminders::Outcome DueReminders::checkCurrent() const
{
    if (!m_query->isOpen() || m_query->isEmpty() || m_query->recNo() < 0)
        return Outcome::Empty;
    if (!m_rights.canEditWorkPlace(m_query->integer(QStringLiteral("WORKPLACE"))))
        return Outcome::NoRight;
    return Outcome::Done;
}

// The list was read at the last tick; the user acts on what it showed him.
// Whatever another workstation did since is seen by re-reading it.
DueReminders::Outcome DueReminders::findCurrentAgain(const QDateTime& now)
{
    const QVariant id = m_query->value(kId);
    const QStringList place = {QStringLiteral("STARTTIME"), QStringLiteral("ENDTIME"),
                               QStringLiteral("WORKPLACE")};
    QVariantList shown;
    for (const QString& column : place)
        shown << m_query->value(column);
    refresh(now);
    if (!m_query->locate(kId, id))
        return Outcome::Gone;
    for (qsizetype i = 0; i < place.size(); ++i)
        if (m_query->value(place.at(i)) != shown.at(i))
            return Outcome::Gone;
    return Outcome::Done;
}

DueReminders::Outcome DueReminders::deleteCurrent(const QDateTime& now)
{
    Outcome outcome = checkCurrent();
    if (outcome == Outcome::Done)
        outcome = findCurrentAgain(now);
    if (outcome != Outcome::Done)
        return outcome;
    m_query->deleteRow();
    m_connection.commitRetaining();
    return outcome;
}

DueReminders::Outcome DueReminders::postponeCurrent(int minutes, const QDateTime& now)
{
    Outcome outcome = checkCurrent();
    if (outcome == Outcome::Done)
        outcome = findCurrentAgain(now);
    if (outcome != Outcome::Done)
        return outcome;
    const qint64 seconds = qint64(minutes) * 60;
    m_query->edit();
    try {
        for (const QString& column : {QStringLiteral("STARTTIME"), QStringLiteral("ENDTIME")}) {
            const QDateTime t = m_query->value(column).toDateTime();
            if (t.isValid())
                m_query->setValue(column, t.addSecs(seconds));
        }
        m_query->post();
    } catch (const db::DbError&) {
        // A refused update (another workstation holds the row) must not leave
        // the list half-edited for the next tick.
        m_query->cancel();
        throw;
    }
    m_connection.commitRetaining();
    refresh(now);
    return outcome;
}

void DueReminders::recordShown()
{
    if (!m_query->isOpen())
        return;
    for (int r = 0; r < m_query->recordCount(); ++r) {
        const QVariantMap key =
            m_connection.executeProcedure(QStringLiteral("EXECUTE PROCEDURE GETSHOWALARM_ID"));
        m_connection.execute(kShownInsertSql, {{QStringLiteral("Id"), key.value(QStringLiteral("IDD"))},
                                               {QStringLiteral("IdUser"), m_userId},
                                               {QStringLiteral("IdEvents"), m_query->valueAt(r, kId)}});
    }
    m_connection.commitRetaining();
}

} // namespace tarvik::tasks

#include "duereminders.h"

#include "storedevent.h"

#include "connection.h"
#include "dberror.h"
#include "eventstamps.h"
#include "query.h"

#include <QStringList>

namespace tarvik::tasks {

namespace {

const QString kId = QStringLiteral("ID");
const QString kBelongs = QStringLiteral("BELONGS");
const QString kThisDate = QStringLiteral("ThisDate");
const QString kIdUser = QStringLiteral("IdUser");
const QString kSince = QStringLiteral("SINCE");

const QString kDueLine = QStringLiteral(":ThisDate >= StartTime - ((Alarm / 24) / 60) AND");
const QString kAlarmLine = QStringLiteral("Alarm > 0 AND");
const QString kNotShownLine =
    QStringLiteral("(SELECT Count(Id) FROM ShowAlarm WHERE IdEvents = Events.Id AND IdUser = :IdUser) = 0");

// The condition of the statement, lines 2 on.
QStringList conditionLines(bool all, const QList<int>& workPlaces)
{
    QStringList lines = {kDueLine, kAlarmLine, kNotShownLine};
    if (!all && !workPlaces.isEmpty()) {
        for (int i = 0; i < workPlaces.size(); ++i)
            lines << (i == 0 ? QStringLiteral("AND (WorkPlace=") : QStringLiteral("OR WorkPlace=")) +
                         QString::number(workPlaces.at(i));
        lines << QStringLiteral(")");
    }
    return lines;
}

// The records of shown reminders, as a log of stamps like that of the
// events; only those of this user name their event.
db::EventStamps::Source shownSource(int userId)
{
    return {QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'SHOWALARM_LOG'"),
            QStringLiteral(
                "SELECT GEN_ID(SHOWALARM_STAMP, 0), GEN_ID(SHOWALARM_LOG_PURGED, 0) FROM RDB$DATABASE"),
            QStringLiteral("SELECT STAMP, CASE WHEN IDUSER = %1 THEN IDEVENTS END FROM SHOWALARM_LOG "
                           "WHERE STAMP > :SINCE")
                .arg(userId)};
}

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

QString dueReminderSql(bool all, const QList<int>& workPlaces, bool stamped)
{
    QStringList lines = {QStringLiteral("SELECT ") + kEventColumns +
                         (stamped ? QStringLiteral(", STAMP") : QString()) + QStringLiteral(" FROM Events WHERE")};
    lines << conditionLines(all, workPlaces) << QStringLiteral("ORDER BY Id");
    return lines.join(QLatin1Char('\n'));
}

// A row changed since the last look may have come into the list or left it;
// one that fell due since was not in it and comes in unless dealt with
// (the index on the due time finds those); one whose record of this user
// was written or removed is looked at again.
DueChangesSql dueChangesSql(bool all, const QList<int>& workPlaces)
{
    const QString condition = conditionLines(all, workPlaces).join(QLatin1Char(' '));
    const QString belongs =
        QStringLiteral("CASE WHEN ") + condition + QStringLiteral(" THEN 1 ELSE 0 END AS BELONGS");
    // Each gives the stamped list's columns, STAMP last, then BELONGS.
    const QString select = QStringLiteral("SELECT ") + kEventColumns + QStringLiteral(", Events.STAMP, ");
    // No ORDER BY: walking the primary key in order would read all of it.
    return {select + belongs +
                QStringLiteral(" FROM Events WHERE STAMP > :SINCE"),
            // The work places are compared as WorkPlace + 0: the server would
            // otherwise combine the due-time index with every index entry of
            // the places, a worker's whole history at each tick.
            select +
                QStringLiteral(
                    "1 AS BELONGS FROM Events WHERE StartTime - ((Alarm / 24) / 60) > :LastDate AND ") +
                QString(condition).replace(QStringLiteral("WorkPlace="), QStringLiteral("WorkPlace + 0=")),
            select + belongs +
                QStringLiteral(" FROM ShowAlarm_Log JOIN Events ON Events.Id = ShowAlarm_Log.IdEvents "
                               "WHERE ShowAlarm_Log.Stamp > :SINCE AND ShowAlarm_Log.IdUser = :IdUser")};
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
    m_eventStamps = std::make_unique<db::EventStamps>(m_connection);
    const bool stamped = m_eventStamps->isKept();
    m_query->setSql(dueReminderSql(all, places, stamped));
    planner::setEventWriting(*m_query, {}, kModifySql, stamped);
    const DueChangesSql changes = dueChangesSql(all, places);
    m_changed = std::make_unique<db::Query>(m_connection, changes.changed);
    m_fallen = std::make_unique<db::Query>(m_connection, changes.fallen);
    m_shown = std::make_unique<db::Query>(m_connection, changes.shown);
    m_shownStamps = std::make_unique<db::EventStamps>(m_connection, shownSource(userId));
    if (m_stampGrace) {
        m_eventStamps->setGrace(*m_stampGrace);
        m_shownStamps->setGrace(*m_stampGrace);
    }
    forgetChanges();
    m_canRemind = all || !places.isEmpty();
    return m_canRemind;
}

// The row the user chose stays current while it is listed: a tick every ten
// seconds must not move Delete or Postpone onto another event.
void DueReminders::refresh(const QDateTime& now)
{
    const QVariant chosen = m_query->isOpen() && m_query->recNo() >= 0 ? m_query->value(kId) : QVariant();
    bool merged = false;
    try {
        merged = mergeChanges(now);
    } catch (const db::DbError&) {
        // Rows merged half-way are not to be built on.
        forgetChanges();
        throw;
    }
    m_lastReadWhole = !merged;
    if (!merged) {
        readWhole(now);
        if (chosen.isValid())
            m_query->locate(kId, chosen);
        return;
    }
    const bool stays = chosen.isValid() && m_query->recNo() >= 0 && m_query->value(kId) == chosen;
    if (!stays && !(chosen.isValid() && m_query->locate(kId, chosen)))
        m_query->first();
}

void DueReminders::forgetChanges()
{
    m_readAt = QDateTime();
    if (m_eventStamps)
        m_eventStamps->forget();
    if (m_shownStamps)
        m_shownStamps->forget();
}

void DueReminders::readWhole(const QDateTime& now)
{
    forgetChanges();
    m_query->close();
    // What is stamped before the read counts as read.
    if (m_eventStamps) {
        m_eventStamps->fullReadStarts();
        m_shownStamps->fullReadStarts();
    }
    m_query->setParam(kThisDate, now);
    m_query->setParam(kIdUser, m_userId);
    m_query->open();
    m_readAt = now;
}

// The rows held are those of the statement at m_readAt. They stay so at now
// with the rows written or deleted since, those that fell due in between,
// and those whose records of this user changed. A clock set back, too many
// changes or records cleared away since leave a full read.
bool DueReminders::mergeChanges(const QDateTime& now)
{
    if (!m_readAt.isValid() || now < m_readAt || !m_eventStamps || !m_query->isOpen() ||
        m_query->state() != db::Query::State::Browse)
        return false;
    std::optional<db::EventStamps::Look> events = m_eventStamps->beginLook();
    if (!events)
        return false;
    std::optional<db::EventStamps::Look> shown = m_shownStamps->beginLook();
    if (!shown)
        return false;
    std::set<qint64> rowStamps;
    if (events->upTo > events->since) {
        m_changed->close();
        m_changed->setParam(kSince, events->since);
        m_changed->setParam(kThisDate, now);
        m_changed->setParam(kIdUser, m_userId);
        m_changed->open();
        const int stamp = m_changed->columnIndex(QStringLiteral("STAMP"));
        for (int r = 0; r < m_changed->recordCount(); ++r)
            rowStamps.insert(m_changed->valueAt(r, stamp).toLongLong());
        m_query->mergeRows(kId, *m_changed, kBelongs, events->goneKeys);
        m_changed->close();
    }
    if (now > m_readAt) {
        m_fallen->close();
        m_fallen->setParam(QStringLiteral("LastDate"), m_readAt);
        m_fallen->setParam(kThisDate, now);
        m_fallen->setParam(kIdUser, m_userId);
        m_fallen->open();
        m_query->mergeRows(kId, *m_fallen, kBelongs, {});
        m_fallen->close();
    }
    if (!shown->goneKeys.isEmpty()) {
        m_shown->close();
        m_shown->setParam(kSince, shown->since);
        m_shown->setParam(kThisDate, now);
        m_shown->setParam(kIdUser, m_userId);
        m_shown->open();
        m_query->mergeRows(kId, *m_shown, kBelongs, {});
        m_shown->close();
    }
    m_eventStamps->endLook(std::move(*events), rowStamps);
    m_shownStamps->endLook(std::move(*shown), {});
    m_readAt = now;
    return true;
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
        switch (planner::storeEvent(*m_query)) {
        case planner::StoreOutcome::Stored:
            break;
        case planner::StoreOutcome::KeptTheirs:
            outcome = Outcome::Kept;
            break;
        case planner::StoreOutcome::Gone:
            outcome = Outcome::Gone;
            break;
        }
    } catch (const db::DbError&) {
        // A refused update (another workstation holds the row) must not leave
        // the list half-edited for the next tick.
        m_query->cancel();
        throw;
    }
    if (outcome == Outcome::Done)
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

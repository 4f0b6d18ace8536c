#include "storedevent.h"

#include "dberror.h"
#include "platform.h"
#include "query.h"
#include "tfmtask.h"

#include <QDateTime>

namespace tarvik::planner {

namespace {

// Who changed the event and when: a change that sets them keeps its own,
// whatever is stored; they never make a clash.
bool isAuthorship(const QString& column)
{
    return column == QLatin1String("USERSID") || column == QLatin1String("DATEEDIT");
}

// Whether two values of a column mean the same to the user: an unset done
// mark is one, whether stored as "F" or as nothing (the task dialog writes
// "F" for a box left unticked).
bool sameValue(const QString& column, const QVariant& a, const QVariant& b)
{
    if (column == QLatin1String("ISFINISH"))
        return (a.toString() == QLatin1String("T")) == (b.toString() == QLatin1String("T"));
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    if (a.typeId() == QMetaType::QDateTime || b.typeId() == QMetaType::QDateTime)
        return a.toDateTime() == b.toDateTime();
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString() == b.toString();
    bool aNumber = false;
    bool bNumber = false;
    const qint64 x = a.toLongLong(&aNumber);
    const qint64 y = b.toLongLong(&bNumber);
    if (aNumber && bNumber)
        return x == y;
    return a == b;
}

// A string of changes by others between a failed write and the next one
// means something keeps rewriting the row; the user is not kept waiting.
constexpr int kMostAttempts = 20;

} // namespace

void setEventWriting(db::Query& events, const QString& insertSql, const QString& modifySql, bool stamped)
{
    if (stamped) {
        events.setModifySql(modifySql +
                            QStringLiteral(" AND STAMP IS NOT DISTINCT FROM :OLD_STAMP RETURNING STAMP"));
        if (!insertSql.isEmpty())
            events.setInsertSql(insertSql + QStringLiteral(" RETURNING STAMP"));
        events.setVersionColumn(QStringLiteral("STAMP"));
    } else {
        events.setModifySql(modifySql + QStringLiteral(" AND DATEEDIT IS NOT DISTINCT FROM :OLD_DATEEDIT"));
        if (!insertSql.isEmpty())
            events.setInsertSql(insertSql);
        events.setVersionColumn(QStringLiteral("DATEEDIT"));
    }
}

QVariantMap heldEvent(const db::Query& events)
{
    QVariantMap row;
    if (events.recNo() < 0)
        return row;
    for (int c = 0; c < events.columnCount(); ++c)
        row.insert(events.columnNames().at(c), events.valueAt(events.recNo(), c));
    return row;
}

QString changedByQuestion(const QString& userName, const QDateTime& when)
{
    return QStringLiteral("Событие изменено пользователем %1 в %2.")
               .arg(userName.isEmpty() ? QStringLiteral("(неизвестен)") : userName,
                    when.toString(QStringLiteral("dd.MM.yyyy hh:mm"))) +
           QLatin1Char('\n') +
           QStringLiteral("Записать ваши изменения поверх? «Нет» оставит изменение другого пользователя.");
}

StoreOutcome storeEvent(db::Query& events, const QVariantMap& seen)
{
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        if (events.hasColumn(it.key()))
            events.setOriginalValue(it.key(), it.value());
    for (int attempt = 1;; ++attempt) {
        try {
            events.post();
            return StoreOutcome::Stored;
        } catch (const db::RowChangedError&) {
            if (attempt >= kMostAttempts)
                throw;
        }
        db::Query now(events.connection(),
                      QStringLiteral("SELECT E.*, (SELECT NAME FROM USERS WHERE USERS.ID = E.USERSID) AS "
                                     "CHANGEDBY FROM EVENTS E WHERE E.ID = :ID"));
        now.setParam(QStringLiteral("ID"), events.value(QStringLiteral("ID")));
        now.open();
        if (now.isEmpty()) {
            events.cancel();
            return StoreOutcome::Gone;
        }
        bool clash = false;
        for (const QString& column : now.columnNames()) {
            if (column == QLatin1String("ID") || !events.hasColumn(column))
                continue;
            const QVariant theirs = now.value(column);
            if (column != events.versionColumn()) {
                const QVariant mine = events.value(column);
                const QVariant base = events.originalValue(column);
                if (sameValue(column, mine, base))
                    events.setValue(column, theirs);
                else if (!isAuthorship(column) && !sameValue(column, theirs, base) &&
                         !sameValue(column, theirs, mine))
                    clash = true;
            }
            // The next write is meant for the row as it is stored now.
            events.setOriginalValue(column, theirs);
        }
        if (clash && !platform().confirm(changedByQuestion(now.text(QStringLiteral("CHANGEDBY")),
                                                           now.value(QStringLiteral("DATEEDIT")).toDateTime()))) {
            // The row shows the other change at once, not only when its
            // alert has come.
            for (const QString& column : now.columnNames())
                if (events.hasColumn(column))
                    events.setValue(column, now.value(column));
            events.keepAsStored();
            return StoreOutcome::KeptTheirs;
        }
    }
}

bool storeEventChange(db::Query& events)
{
    switch (storeEvent(events)) {
    case StoreOutcome::Stored:
        return true;
    case StoreOutcome::Gone:
        platform().notice(TfmTask::kEventGoneMessage);
        return false;
    case StoreOutcome::KeptTheirs:
        break;
    }
    return false;
}

} // namespace tarvik::planner

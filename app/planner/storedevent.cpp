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

// A change of a row in editing, as plain values: what is to be written and
// what it is meant for (the :OLD_ values), by column.
QVariantMap heldChange(const db::Query& events)
{
    QVariantMap change;
    for (const QString& column : events.columnNames()) {
        change.insert(column, events.value(column));
        change.insert(QStringLiteral("OLD_") + column, events.originalValue(column));
    }
    return change;
}

void putChange(db::Query& events, const QVariantMap& change)
{
    for (const QString& column : events.columnNames()) {
        events.setValue(column, change.value(column));
        events.setOriginalValue(column, change.value(QStringLiteral("OLD_") + column));
    }
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
    const QVariant key = events.value(QStringLiteral("ID"));
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
        now.setParam(QStringLiteral("ID"), key);
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
        if (!clash)
            continue;
        // While the question waits for the user, alerts may read the rows
        // again, which a row in editing would not survive: the change is
        // put aside and the row left as it is held meanwhile.
        const QVariantMap change = heldChange(events);
        const QVariant heldVersion = events.valueAt(events.recNo(), events.versionColumn());
        events.cancel();
        const bool overwrite = platform().confirm(changedByQuestion(
            now.text(QStringLiteral("CHANGEDBY")), now.value(QStringLiteral("DATEEDIT")).toDateTime()));
        if (!events.locate(QStringLiteral("ID"), key))
            // Read again without it: moved out of the rows shown or deleted.
            return overwrite ? StoreOutcome::Gone : StoreOutcome::KeptTheirs;
        const bool readAgain = !sameValue(QString(), events.value(events.versionColumn()), heldVersion);
        if (!overwrite) {
            // The row shows the other change at once, not only when its
            // alert has come (unless it has come meanwhile).
            if (!readAgain) {
                events.edit();
                for (const QString& column : now.columnNames())
                    if (events.hasColumn(column))
                        events.setValue(column, now.value(column));
                events.keepAsStored();
            }
            return StoreOutcome::KeptTheirs;
        }
        events.edit();
        putChange(events, change);
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

#include "presencemarks.h"

#include "connection.h"
#include "query.h"
#include "roles.h"

namespace tarvik::db {

bool recordsAttachments(Connection& connection)
{
    Query q(connection, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = "
                                       "'USERS' AND RDB$FIELD_NAME = 'ATTACHMENT'"));
    q.open();
    return q.value(0).toInt() > 0;
}

void recordAttachment(Connection& connection, int userId)
{
    if (recordsAttachments(connection))
        connection.execute(QStringLiteral("UPDATE USERS SET ATTACHMENT = CURRENT_CONNECTION WHERE ID = :ID"),
                           {{QStringLiteral("ID"), userId}});
}

PresenceMarks PresenceMarks::read(Connection& connection)
{
    PresenceMarks marks;
    const bool recorded = recordsAttachments(connection);
    if (recorded) {
        connection.commit();
        connection.startTransaction();
    }
    Query q(connection,
            recorded
                ? QStringLiteral("SELECT U.ID, U.INSYSTEM, U.MONO, U.ATTACHMENT, (SELECT COUNT(*) FROM "
                                 "MON$ATTACHMENTS A WHERE A.MON$ATTACHMENT_ID = U.ATTACHMENT) FROM USERS U")
                : QStringLiteral("SELECT U.ID, U.INSYSTEM, U.MONO, NULL, 0 FROM USERS U"));
    q.open();
    for (int r = 0; r < q.recordCount(); ++r) {
        if (!isFlagSet(q.valueAt(r, 1)) && !isFlagSet(q.valueAt(r, 2)))
            continue;
        const QVariant attachment = q.valueAt(r, 3);
        const MarkState state = !attachment.isValid() || attachment.isNull() ? MarkState::Unknown
                                : q.valueAt(r, 4).toInt() > 0                ? MarkState::Live
                                                                             : MarkState::Stale;
        marks.m_states.insert(q.valueAt(r, 0).toInt(), state);
        marks.m_attachments.insert(q.valueAt(r, 0).toInt(), attachment.toInt());
    }
    return marks;
}

QList<int> PresenceMarks::staleUsers() const
{
    QList<int> out;
    for (auto it = m_states.cbegin(); it != m_states.cend(); ++it)
        if (it.value() == MarkState::Stale)
            out << it.key();
    return out;
}

QString markStateText(MarkState state)
{
    switch (state) {
    case MarkState::Live:
        return QStringLiteral("на связи");
    case MarkState::Stale:
        return QStringLiteral("связь потеряна");
    case MarkState::Unknown:
        return QStringLiteral("связь неизвестна");
    case MarkState::None:
        break;
    }
    return {};
}

} // namespace tarvik::db

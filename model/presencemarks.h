#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace tarvik::db {

class Connection;

// Where a user's presence mark (INSYSTEM or MONO) stands.
enum class MarkState
{
    None,    // not marked
    Live,    // the workstation that set it is still attached to the server
    Stale,   // that attachment is gone: the workstation died
    Unknown, // set without an attachment (an earlier build, or an older database)
};

// The states of all users' marks, read at one moment.
class PresenceMarks
{
public:
    // Reads them now. The server's list of attachments is read in a
    // transaction of its own making (the shared one is committed and a new
    // one started), since the server keeps that list as it was when a
    // transaction first looked at it.
    [[nodiscard]] static PresenceMarks read(Connection& connection);

    [[nodiscard]] MarkState state(int userId) const { return m_states.value(userId, MarkState::None); }
    [[nodiscard]] bool isStale(int userId) const { return state(userId) == MarkState::Stale; }
    // The attachment a mark names; 0 for none.
    [[nodiscard]] int attachment(int userId) const { return m_attachments.value(userId); }
    // The users whose marks are stale, in no particular order.
    [[nodiscard]] QList<int> staleUsers() const;

private:
    QHash<int, MarkState> m_states;
    QHash<int, int> m_attachments;
};

// How the clearing utility names a state after the user's name; empty for
// no mark.
[[nodiscard]] QString markStateText(MarkState state);

// Whether the database keeps the attachments of the marks.
[[nodiscard]] bool recordsAttachments(Connection& connection);
// Records this connection's attachment with the user's mark, just set in the
// shared transaction; nothing on a database that keeps none.
void recordAttachment(Connection& connection, int userId);

} // namespace tarvik::db

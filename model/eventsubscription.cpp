#include "eventsubscription.h"

#include "connection.h"
#include "connection_p.h"
#include "dberror.h"
#include "dberror_p.h"
#include "fbclient_p.h"

#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <mutex>

namespace tarvik::db {

// Shared between the subscription and the client library's thread. Once
// queued, the library may call back until the registration is cancelled, so
// the state outlives the subscription object (see retire()).
struct EventState
{
    std::mutex mutex;
    EventSubscription* owner = nullptr;
    ISC_LONG id = 0;
    bool first = true;
    QByteArray buffer; // the parameter block with the counts last seen
};

namespace {

// Cancelled registrations whose callback may still be in flight keep their
// state here; there are only ever a few per run.
void retire(std::shared_ptr<EventState> state)
{
    static std::mutex mutex;
    static std::vector<std::shared_ptr<EventState>> retired;
    std::lock_guard lock(mutex);
    retired.push_back(std::move(state));
}

QByteArray buildBlock(const QStringList& names)
{
    QByteArray block;
    block += char(1); // EPB_version1
    for (const QString& n : names) {
        const QByteArray name = n.toLatin1().left(255);
        block += char(name.size());
        block += name;
        block += QByteArray(4, '\0');
    }
    return block;
}

quint32 countAt(const QByteArray& block, int offset)
{
    quint32 v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(block.at(offset + i));
    return v;
}

void callback(void* arg, ISC_USHORT length, const ISC_UCHAR* updated)
{
    auto* state = static_cast<EventState*>(arg);
    std::lock_guard lock(state->mutex);
    if (!state->owner || !updated || length == 0)
        return;
    const QByteArray counts(reinterpret_cast<const char*>(updated), length);
    // Posted to the subscription's thread; dropped if the object is gone.
    QMetaObject::invokeMethod(state->owner, "delivered", Qt::QueuedConnection, Q_ARG(QByteArray, counts));
}

} // namespace

EventSubscription::EventSubscription(Connection& connection, const QStringList& names, Handler handler,
                                     QObject* parent)
    : QObject(parent), m_connection(&connection), m_names(names), m_handler(std::move(handler))
{
    m_connection->d()->subscriptions.push_back(this);
    if (!m_connection->isOpen())
        return;
    try {
        arm();
    } catch (...) {
        // No destructor runs for an object whose constructor failed: the
        // connection must not keep a pointer to it.
        disarm();
        auto& subs = m_connection->d()->subscriptions;
        subs.erase(std::remove(subs.begin(), subs.end(), this), subs.end());
        throw;
    }
}

EventSubscription::~EventSubscription()
{
    disarm();
    if (m_connection) {
        auto& subs = m_connection->d()->subscriptions;
        subs.erase(std::remove(subs.begin(), subs.end(), this), subs.end());
    }
}

void EventSubscription::detachFromConnection() noexcept
{
    disarm();
    m_connection = nullptr;
}

void EventSubscription::arm()
{
    disarm();
    if (!m_connection || !m_connection->isOpen() || m_names.isEmpty())
        return;
    m_state = std::make_shared<EventState>();
    m_state->owner = this;
    m_state->buffer = buildBlock(m_names);
    queue();
    m_armed = true;
}

void EventSubscription::disarm() noexcept
{
    if (!m_state)
        return;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->owner = nullptr;
    }
    if (m_armed && m_connection && m_connection->isOpen()) {
        ISC_STATUS_ARRAY ignored;
        fb().cancel_events(ignored, &m_connection->d()->db, &m_state->id);
    }
    m_armed = false;
    retire(std::move(m_state));
}

void EventSubscription::queue()
{
    ISC_STATUS_ARRAY status;
    fb().que_events(status, m_connection->d()->database(), &m_state->id, short(m_state->buffer.size()),
                    reinterpret_cast<const ISC_UCHAR*>(m_state->buffer.constData()), callback, m_state.get());
    m_connection->d()->check(status, QStringLiteral("EVENT WAIT %1").arg(m_names.join(QLatin1Char(','))));
}

void EventSubscription::delivered(const QByteArray& counts)
{
    if (!m_state || !m_armed || counts.size() != m_state->buffer.size())
        return;
    QStringList fired;
    if (!m_state->first) {
        int offset = 1;
        for (const QString& name : m_names) {
            const int len = static_cast<unsigned char>(m_state->buffer.at(offset));
            const int countOffset = offset + 1 + len;
            if (countAt(counts, countOffset) > countAt(m_state->buffer, countOffset))
                fired << name;
            offset = countOffset + 4;
        }
    }
    // The first delivery after registering only reports the counts as they
    // stand; it is not an alert.
    m_state->first = false;
    m_state->buffer = counts;
    // Called from the event loop: a failure to renew is reported, not
    // thrown, and what did arrive is still handed on.
    QString failure;
    try {
        queue();
    } catch (const DbError& e) {
        disarm();
        failure = e.text().isEmpty() ? QStringLiteral("EVENT WAIT") : e.text();
    }
    const QPointer<EventSubscription> self(this);
    for (const QString& name : fired) {
        emit alerted(name);
        if (!self)
            return;
        if (m_handler)
            m_handler(name);
        if (!self)
            return;
    }
    if (!failure.isEmpty())
        emit failed(failure);
}

} // namespace tarvik::db

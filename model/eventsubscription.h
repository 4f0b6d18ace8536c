#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace tarvik::db {

class Connection;
struct EventState;

// A registration for named event alerts on a connection. Each alert the
// server delivers after a commit calls the handler once with its name, on
// the thread the subscription lives in (the user-interface thread): the
// client library's own thread only queues the call. The registration is
// renewed after every delivery and whenever the connection opens again.
class EventSubscription : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const QString& name)>;

    EventSubscription(Connection& connection, const QStringList& names, Handler handler,
                      QObject* parent = nullptr);
    ~EventSubscription() override;

    [[nodiscard]] const QStringList& names() const { return m_names; }
    [[nodiscard]] bool isArmed() const { return m_armed; }

    // Called by the connection when it opens and closes.
    void arm();
    void disarm() noexcept;
    void detachFromConnection() noexcept;

signals:
    void alerted(const QString& name);
    // Renewing the registration after a delivery failed: no further alert
    // comes until the connection opens again. The server's text.
    void failed(const QString& text);

private slots:
    void delivered(const QByteArray& counts);

private:
    void queue();

    Connection* m_connection;
    QStringList m_names;
    Handler m_handler;
    std::shared_ptr<EventState> m_state;
    bool m_armed = false;
};

} // namespace tarvik::db

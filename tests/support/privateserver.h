#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace tarvik::test {

// A Firebird server of the test's own, on a free port and with a root
// folder of its own, that the test can stop and start again without
// disturbing the server every other test uses. Its databases are named
// "<host()>:/path".
class PrivateServer
{
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    // "localhost/<port>"
    [[nodiscard]] QString host() const;
    [[nodiscard]] QString folder() const { return m_root.path(); }

    void start();
    // Kills the server outright, as a failing machine would.
    void stop();

private:
    QTemporaryDir m_root;
    int m_port = 0;
    QProcess m_server;
};

} // namespace tarvik::test

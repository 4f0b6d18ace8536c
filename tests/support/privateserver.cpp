#include "privateserver.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tarvik::test {

namespace {

const char* const kServerProgram = "/usr/sbin/firebird";
const char* const kSecurityDatabase = "/var/lib/firebird/3.0/system/security3.fdb";

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(quint16(port));
    return a;
}

int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t length = sizeof a;
    const bool bound = ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                       ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0;
    ::close(s);
    if (!bound)
        throw std::runtime_error("no free port for a private server");
    return ntohs(a.sin_port);
}

bool listening(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(port);
    const bool open = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return open;
}

// The folder of the server's messages, plug-ins and character sets.
QString serverLibraryFolder()
{
    for (const QString& f : QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*-linux-gnu")}, QDir::Dirs)) {
        const QString dir = QStringLiteral("/usr/lib/%1/firebird/3.0").arg(f);
        if (QFile::exists(dir + QStringLiteral("/firebird.msg")))
            return dir;
    }
    throw std::runtime_error("the Firebird server's library folder is missing");
}

} // namespace

PrivateServer::PrivateServer() : m_root(QStringLiteral("/tmp/tarvik-server-XXXXXX"))
{
    if (!m_root.isValid())
        throw std::runtime_error("cannot make a folder for a private server");
    const QDir root(m_root.path());
    const QString library = serverLibraryFolder();
    for (const char* entry : {"firebird.msg", "lib", "plugins", "plugins.conf", "UDF"})
        QFile::link(library + QLatin1Char('/') + QLatin1String(entry), root.filePath(QLatin1String(entry)));
    // The character sets are found only through a real folder of the root.
    root.mkpath(QStringLiteral("intl"));
    for (const char* entry : {"intl/libfbintl.so", "intl/fbintl.conf"})
        QFile::copy(library + QLatin1Char('/') + QLatin1String(entry), root.filePath(QLatin1String(entry)));
    if (!QFile::copy(QLatin1String(kSecurityDatabase), root.filePath(QStringLiteral("security3.fdb"))))
        throw std::runtime_error("cannot copy the server's security database");
    root.mkpath(QStringLiteral("lock"));
    m_port = freePort();
    QFile conf(root.filePath(QStringLiteral("firebird.conf")));
    conf.open(QIODevice::WriteOnly);
    conf.write(QStringLiteral("RemoteBindAddress = localhost\nRemoteServicePort = %1\nUdfAccess = None\n"
                              "SecurityDatabase = %2\n")
                   .arg(m_port)
                   .arg(root.filePath(QStringLiteral("security3.fdb")))
                   .toLocal8Bit());
    conf.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), m_root.path());
    env.insert(QStringLiteral("FIREBIRD_LOCK"), root.filePath(QStringLiteral("lock")));
    m_server.setProcessEnvironment(env);
    m_server.setProgram(QLatin1String(kServerProgram));
    m_server.setStandardOutputFile(root.filePath(QStringLiteral("server.log")));
    m_server.setStandardErrorFile(root.filePath(QStringLiteral("server.log")));
    start();
}

PrivateServer::~PrivateServer()
{
    stop();
}

QString PrivateServer::host() const
{
    return QStringLiteral("localhost/%1").arg(m_port);
}

void PrivateServer::start()
{
    m_server.start();
    if (!m_server.waitForStarted(5000))
        throw std::runtime_error("the private server did not start");
    for (int i = 0; i < 200 && !listening(m_port); ++i)
        QThread::msleep(25);
    if (!listening(m_port))
        throw std::runtime_error("the private server does not listen");
}

void PrivateServer::stop()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.kill();
    m_server.waitForFinished(5000);
}

} // namespace tarvik::test

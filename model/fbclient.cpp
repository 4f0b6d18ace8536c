#include "fbclient.h"

#include "dberror.h"
#include "fbclient_p.h"

#include <QLibrary>
#include <QStringList>

#include <csignal>
#include <mutex>

namespace tarvik::db {

namespace {

struct Loaded
{
    FbApi api{};
    bool ok = false;
    QString error;
};

template <typename F> bool resolve(QLibrary& lib, F& slot, const char* name, QString& error)
{
    slot = reinterpret_cast<F>(lib.resolve(name));
    if (!slot) {
        error = QStringLiteral("В клиентской библиотеке Firebird нет функции %1").arg(QLatin1String(name));
        return false;
    }
    return true;
}

// Once a database is attached, the client library takes SIGTERM and SIGINT
// for itself: left alone it closes every attachment and the program runs on
// without its database. The signal ends the program instead, as it ends any
// program (the server notices the attachments gone).
int endOnSignal(const int reason, const int, void*)
{
    if (reason == fb_shutrsn_signal) {
        // Which of the two came is not told; both end a program by default.
        std::signal(SIGTERM, SIG_DFL);
        std::raise(SIGTERM);
    }
    return 0;
}

} // namespace

// SIGTERM, as the system sends it to end a program, ends it at once. The
// library's own handling of it goes through a thread of its own, which was
// seen not to end the program within ten seconds on a busy machine; SIGINT
// is still left to it (and to endOnSignal above).
void keepTerminationSignal()
{
    std::signal(SIGTERM, SIG_DFL);
}

namespace {

Loaded load()
{
    Loaded l;
    // TARVIK_FBCLIENT names another library file; used to check how the
    // programs behave without a usable client.
    QStringList candidates;
    const QByteArray forced = qgetenv("TARVIK_FBCLIENT");
    if (!forced.isEmpty())
        candidates << QString::fromLocal8Bit(forced);
    else
        candidates << QStringLiteral("libfbclient.so.2") << QStringLiteral("fbclient")
                   << QStringLiteral("libfbclient.so");

    static QLibrary lib;
    for (const QString& name : candidates) {
        lib.setFileName(name);
        if (lib.load())
            break;
    }
    if (!lib.isLoaded()) {
        l.error = QStringLiteral("Клиентская библиотека Firebird не найдена: %1").arg(lib.errorString());
        return l;
    }
    FbApi& a = l.api;
    QString& e = l.error;
    l.ok = resolve(lib, a.attach_database, "isc_attach_database", e) &&
           resolve(lib, a.detach_database, "isc_detach_database", e) &&
           resolve(lib, a.drop_database, "isc_drop_database", e) &&
           resolve(lib, a.start_multiple, "isc_start_multiple", e) &&
           resolve(lib, a.commit_transaction, "isc_commit_transaction", e) &&
           resolve(lib, a.commit_retaining, "isc_commit_retaining", e) &&
           resolve(lib, a.rollback_transaction, "isc_rollback_transaction", e) &&
           resolve(lib, a.rollback_retaining, "isc_rollback_retaining", e) &&
           resolve(lib, a.dsql_allocate_statement, "isc_dsql_allocate_statement", e) &&
           resolve(lib, a.dsql_prepare, "isc_dsql_prepare", e) &&
           resolve(lib, a.dsql_describe, "isc_dsql_describe", e) &&
           resolve(lib, a.dsql_describe_bind, "isc_dsql_describe_bind", e) &&
           resolve(lib, a.dsql_execute2, "isc_dsql_execute2", e) &&
           resolve(lib, a.dsql_execute_immediate, "isc_dsql_execute_immediate", e) &&
           resolve(lib, a.dsql_fetch, "isc_dsql_fetch", e) &&
           resolve(lib, a.dsql_free_statement, "isc_dsql_free_statement", e) &&
           resolve(lib, a.dsql_sql_info, "isc_dsql_sql_info", e) &&
           resolve(lib, a.open_blob2, "isc_open_blob2", e) &&
           resolve(lib, a.create_blob2, "isc_create_blob2", e) &&
           resolve(lib, a.get_segment, "isc_get_segment", e) &&
           resolve(lib, a.put_segment, "isc_put_segment", e) &&
           resolve(lib, a.close_blob, "isc_close_blob", e) &&
           resolve(lib, a.que_events, "isc_que_events", e) &&
           resolve(lib, a.cancel_events, "isc_cancel_events", e) &&
           resolve(lib, a.interpret, "fb_interpret", e) && resolve(lib, a.sqlcode, "isc_sqlcode", e);
    const auto shutdownCallback =
        reinterpret_cast<decltype(&::fb_shutdown_callback)>(lib.resolve("fb_shutdown_callback"));
    if (l.ok && shutdownCallback) {
        ISC_STATUS_ARRAY status{};
        shutdownCallback(status, endOnSignal, fb_shut_confirmation, nullptr);
    }
    keepTerminationSignal();
    return l;
}

const Loaded& loaded()
{
    static const Loaded l = load();
    return l;
}

} // namespace

bool loadClientLibrary(QString* why)
{
    const Loaded& l = loaded();
    if (!l.ok && why)
        *why = l.error;
    return l.ok;
}

const FbApi& fb()
{
    const Loaded& l = loaded();
    if (!l.ok)
        throw ClientLibraryError(l.error);
    return l.api;
}

} // namespace tarvik::db

#include "dberror.h"

#include "cp1251.h"
#include "dberror_p.h"
#include "fbclient_p.h"

#include <iberror.h>

namespace tarvik::db {

DbError::DbError(const QString& text, long code, long sqlCode, const QString& statement)
    : std::runtime_error(text.toStdString()), m_text(text), m_code(code), m_sqlCode(sqlCode),
      m_statement(statement)
{}

namespace {

enum class Category
{
    Lock,
    Constraint,
    Connection,
    Other
};

Category categoryOf(long code)
{
    switch (code) {
    case isc_lock_conflict:
    case isc_deadlock:
    case isc_update_conflict:
    case isc_concurrent_transaction:
        return Category::Lock;
    case isc_unique_key_violation:
    case isc_no_dup:
    case isc_foreign_key:
    case isc_check_constraint:
    case isc_not_valid:
        return Category::Constraint;
    case isc_network_error:
    case isc_net_read_err:
    case isc_net_write_err:
    case isc_net_connect_err:
    case isc_lost_db_connection:
    case isc_shutdown:
    case isc_att_shutdown:
    case isc_bad_db_handle:
    case isc_login:
        return Category::Connection;
    default:
        return Category::Other;
    }
}

} // namespace

void throwStatus(const ISC_STATUS* status, const QString& statement)
{
    const FbApi& api = fb();
    const long code = status[1];
    const long sqlCode = api.sqlcode(status);
    QString text;
    char buffer[1024];
    const ISC_STATUS* cursor = status;
    while (api.interpret(buffer, sizeof buffer, &cursor) > 0) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        // The server's messages come in the connection's code page.
        text += cp1251::decode(QByteArray(buffer));
    }
    if (text.isEmpty())
        text = QStringLiteral("Ошибка Firebird %1").arg(code);
    switch (categoryOf(code)) {
    case Category::Lock:
        throw LockConflictError(text, code, sqlCode, statement);
    case Category::Constraint:
        throw ConstraintError(text, code, sqlCode, statement);
    case Category::Connection:
        throw ConnectionError(text, code, sqlCode, statement);
    case Category::Other:
        break;
    }
    throw DbError(text, code, sqlCode, statement);
}

} // namespace tarvik::db

#include "connection.h"

#include "connection_p.h"
#include "cp1251.h"
#include "dberror.h"
#include "dberror_p.h"
#include "eventsubscription.h"
#include "fbclient_p.h"
#include "statement_p.h"

#include <QByteArray>

namespace tarvik::db {

namespace {

// The layout isc_start_multiple expects for each database of a transaction.
struct TransactionBlock
{
    isc_db_handle* db;
    long tpbLength;
    const char* tpb;
};

void addDpbString(QByteArray& dpb, char item, const QByteArray& value)
{
    dpb += item;
    dpb += char(qMin<qsizetype>(value.size(), 255));
    dpb += value.left(255);
}

QByteArray quoted(const QString& text)
{
    QString q = text;
    q.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QByteArray("'") + q.toLocal8Bit() + "'";
}

QVariantList valuesFor(const QStringList& markers, const Params& params)
{
    QVariantMap upper;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        upper.insert(it.key().toUpper(), it.value());
    QVariantList values;
    values.reserve(markers.size());
    for (const QString& m : markers)
        values << upper.value(m);
    return values;
}

} // namespace

isc_tr_handle* ConnectionPrivate::transaction(const QString& statement)
{
    if (!db)
        throw ConnectionError(QStringLiteral("Нет подключения к базе данных"), 0, 0, statement);
    if (!tr)
        throw DbError(QStringLiteral("Транзакция не начата"), 0, 0, statement);
    return &tr;
}

void ConnectionPrivate::check(const ISC_STATUS* status, const QString& statement)
{
    if (status[0] == 1 && status[1] != 0)
        fail(status, statement);
}

void ConnectionPrivate::fail(const ISC_STATUS* status, const QString& statement)
{
    try {
        throwStatus(status, statement);
    } catch (const ConnectionError&) {
        markBroken();
        throw;
    }
}

void ConnectionPrivate::markBroken() noexcept
{
    if (!db)
        return;
    // From here on the attachment counts as gone: statements fail at once
    // without reaching the client library, and the alert registrations are
    // known to be dead. The attachment is only detached, which lets the
    // library free its side of it and of the transaction: a rollback sent to
    // an attachment the server has shut down can wait on its socket for ever.
    isc_db_handle gone = db;
    db = 0;
    tr = 0;
    broken = true;
    for (EventSubscription* s : subscriptions)
        s->disarm();
    ISC_STATUS_ARRAY ignored;
    fb().detach_database(ignored, &gone);
    if (lost) {
        try {
            lost();
        } catch (...) {
            // The failing call's own error is what the caller gets to see.
        }
    }
}

isc_db_handle* ConnectionPrivate::database(const QString& statement)
{
    if (!db)
        throw ConnectionError(QStringLiteral("Нет подключения к базе данных"), 0, 0, statement);
    return &db;
}

Connection::Connection(ConnectionParams params) : m_d(std::make_unique<ConnectionPrivate>())
{
    m_d->params = std::move(params);
}

Connection::~Connection()
{
    close();
    for (EventSubscription* s : m_d->subscriptions)
        s->detachFromConnection();
}

const ConnectionParams& Connection::params() const
{
    return m_d->params;
}

void Connection::setDatabase(const QString& database)
{
    m_d->params.database = database;
}

void Connection::open()
{
    if (m_d->db)
        return;
    const FbApi& api = fb();
    QByteArray dpb;
    dpb += char(isc_dpb_version1);
    addDpbString(dpb, isc_dpb_user_name, m_d->params.user.toUtf8());
    addDpbString(dpb, isc_dpb_password, m_d->params.password.toUtf8());
    addDpbString(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("WIN1251"));
    dpb += char(isc_dpb_sql_dialect);
    dpb += char(4);
    dpb += QByteArray("\x01\x00\x00\x00", 4);

    const QByteArray name = m_d->params.database.toLocal8Bit();
    const QString statement = QStringLiteral("CONNECT '%1'").arg(m_d->params.database);
    // The client reads the name up to its first NUL: a name holding one
    // (a damaged init.txt) would otherwise open whatever database its
    // first part names.
    if (name.contains('\0'))
        throw ConnectionError(QStringLiteral("Недопустимое имя базы данных"), 0, 0, statement);
    ISC_STATUS_ARRAY status;
    api.attach_database(status, 0, name.constData(), &m_d->db, short(dpb.size()), dpb.constData());
    keepTerminationSignal();
    if (status[0] == 1 && status[1]) {
        m_d->db = 0;
        // Any refused attachment is a connection failure for the caller.
        try {
            throwStatus(status, statement);
        } catch (const DbError& e) {
            throw ConnectionError(e.text(), e.code(), e.sqlCode(), statement);
        }
    }
    ++m_d->epoch;
    m_d->broken = false;
    for (EventSubscription* s : m_d->subscriptions)
        s->arm();
}

void Connection::close() noexcept
{
    if (!m_d->db)
        return;
    const FbApi& api = fb();
    ISC_STATUS_ARRAY status;
    for (EventSubscription* s : m_d->subscriptions)
        s->disarm();
    if (m_d->tr) {
        api.commit_transaction(status, &m_d->tr);
        if (status[0] == 1 && status[1])
            api.rollback_transaction(status, &m_d->tr);
        m_d->tr = 0;
    }
    api.detach_database(status, &m_d->db);
    m_d->db = 0;
}

bool Connection::isOpen() const
{
    return m_d->db != 0;
}

bool Connection::isBroken() const
{
    return m_d->broken;
}

void Connection::setLostHandler(std::function<void()> handler)
{
    m_d->lost = std::move(handler);
}

void Connection::startTransaction()
{
    if (m_d->tr)
        return;
    static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_nowait, isc_tpb_read_committed,
                               isc_tpb_rec_version};
    TransactionBlock block{m_d->database(), long(sizeof tpb), tpb};
    ISC_STATUS_ARRAY status;
    fb().start_multiple(status, &m_d->tr, 1, &block);
    m_d->check(status, QStringLiteral("START TRANSACTION"));
}

bool Connection::inTransaction() const
{
    return m_d->tr != 0;
}

void Connection::commitRetaining()
{
    ISC_STATUS_ARRAY status;
    fb().commit_retaining(status, m_d->transaction());
    m_d->check(status, QStringLiteral("COMMIT RETAIN"));
}

void Connection::rollbackRetaining()
{
    ISC_STATUS_ARRAY status;
    fb().rollback_retaining(status, m_d->transaction());
    m_d->check(status, QStringLiteral("ROLLBACK RETAIN"));
}

void Connection::commit()
{
    ISC_STATUS_ARRAY status;
    fb().commit_transaction(status, m_d->transaction());
    m_d->check(status, QStringLiteral("COMMIT"));
    m_d->tr = 0;
}

void Connection::rollback()
{
    ISC_STATUS_ARRAY status;
    fb().rollback_transaction(status, m_d->transaction());
    m_d->check(status, QStringLiteral("ROLLBACK"));
    m_d->tr = 0;
}

void Connection::execute(const QString& sql, const Params& params)
{
    Statement st(*m_d, sql);
    st.execute(valuesFor(st.markers(), params));
}

QVariantMap Connection::executeProcedure(const QString& sql, const Params& params)
{
    Statement st(*m_d, sql);
    st.execute(valuesFor(st.markers(), params));
    const QVariantList row = st.outputRow();
    QVariantMap out;
    for (int i = 0; i < st.columnCount(); ++i)
        out.insert(st.columnNames().at(i), row.at(i));
    return out;
}

qint64 Connection::generatorValue(const QString& generator, int step)
{
    const QString sql = QStringLiteral("SELECT GEN_ID(%1, %2) FROM RDB$DATABASE").arg(generator).arg(step);
    Statement st(*m_d, sql);
    st.execute({});
    QVariant v;
    if (!st.fetch(&v))
        throw DbError(QStringLiteral("Генератор %1 не вернул значение").arg(generator), 0, 0, sql);
    st.closeCursor();
    return v.toLongLong();
}

void Connection::create()
{
    if (m_d->db)
        throw DbError(QStringLiteral("Подключение уже открыто"));
    const FbApi& api = fb();
    const QByteArray sql = "CREATE DATABASE " + quoted(m_d->params.database) + " USER " +
                           quoted(m_d->params.user) + " PASSWORD " + quoted(m_d->params.password) +
                           " PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1251";
    ISC_STATUS_ARRAY status;
    isc_tr_handle none = 0;
    api.dsql_execute_immediate(status, &m_d->db, &none, 0, sql.constData(), 1, nullptr);
    if (status[0] == 1 && status[1]) {
        m_d->db = 0;
        throwStatus(status, QString::fromLocal8Bit(sql));
    }
    ++m_d->epoch;
    // The new attachment has no character set of its own: attach again the
    // usual way so that text goes through WIN1251.
    ISC_STATUS_ARRAY ignored;
    api.detach_database(ignored, &m_d->db);
    m_d->db = 0;
    open();
}

void Connection::drop()
{
    const FbApi& api = fb();
    ISC_STATUS_ARRAY status;
    for (EventSubscription* s : m_d->subscriptions)
        s->disarm();
    if (m_d->tr) {
        api.rollback_transaction(status, &m_d->tr);
        m_d->tr = 0;
    }
    api.drop_database(status, m_d->database());
    check(status, QStringLiteral("DROP DATABASE"));
    m_d->db = 0;
}

} // namespace tarvik::db

#include "plainmonthfetch.h"

#include "cp1251.h"
#include "wallclock.h"

#include <ibase.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvik::bench {

namespace {

constexpr unsigned short kDialect = 1;
// Julian day of 17 November 1858, day 0 of the server's dates.
constexpr qint64 kServerEpochJulianDay = 2400001;
constexpr short kOctetsCharset = 1;

void check(const ISC_STATUS* status, const char* what)
{
    if (status[0] != 1 || status[1] == 0)
        return;
    std::string text = what;
    char buf[512];
    const ISC_STATUS* p = status;
    while (fb_interpret(buf, sizeof buf, &p) > 0)
        text += std::string(": ") + buf;
    throw std::runtime_error(text);
}

void addDpbString(QByteArray& dpb, char item, const QByteArray& value)
{
    dpb += item;
    dpb += char(value.size());
    dpb += value;
}

ISC_TIMESTAMP toServer(const QDateTime& dt)
{
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(dt.date().toJulianDay() - kServerEpochJulianDay);
    ts.timestamp_time = ISC_TIME(dt.time().msecsSinceStartOfDay()) * 10;
    return ts;
}

double scaled(qint64 n, short scale)
{
    double d = double(n);
    for (short s = scale; s < 0; ++s)
        d /= 10.0;
    return d;
}

PlainColumn::Kind kindOf(const XSQLVAR& v)
{
    switch (v.sqltype & ~1) {
    case SQL_TEXT:
    case SQL_VARYING:
        if ((v.sqlsubtype & 0xFF) == kOctetsCharset)
            break;
        return PlainColumn::Kind::Text;
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return v.sqlscale < 0 ? PlainColumn::Kind::Real : PlainColumn::Kind::Integer;
    case SQL_DOUBLE:
        return PlainColumn::Kind::Real;
    case SQL_TIMESTAMP:
        return PlainColumn::Kind::DateTime;
    default:
        break;
    }
    throw std::runtime_error("column type not handled by the plain fetch: " + std::to_string(v.sqltype));
}

qint64 integerOf(const XSQLVAR& v)
{
    switch (v.sqltype & ~1) {
    case SQL_SHORT: {
        short n;
        std::memcpy(&n, v.sqldata, sizeof n);
        return n;
    }
    case SQL_LONG: {
        ISC_LONG n;
        std::memcpy(&n, v.sqldata, sizeof n);
        return n;
    }
    default: {
        ISC_INT64 n;
        std::memcpy(&n, v.sqldata, sizeof n);
        return n;
    }
    }
}

void append(PlainColumn& column, const XSQLVAR& v)
{
    if ((v.sqltype & 1) && *v.sqlind < 0) {
        column.appendNull();
        return;
    }
    column.nulls.push_back(false);
    const char* data = v.sqldata;
    switch (column.kind) {
    case PlainColumn::Kind::Text:
        if ((v.sqltype & ~1) == SQL_VARYING) {
            short len;
            std::memcpy(&len, data, 2);
            column.texts.push_back(db::cp1251::decode(data + 2, len));
        } else {
            column.texts.push_back(db::cp1251::decode(data, v.sqllen));
        }
        break;
    case PlainColumn::Kind::Integer:
        column.integers.push_back(integerOf(v));
        break;
    case PlainColumn::Kind::Real:
        if ((v.sqltype & ~1) == SQL_DOUBLE) {
            double d;
            std::memcpy(&d, data, sizeof d);
            column.reals.push_back(d);
        } else {
            column.reals.push_back(scaled(integerOf(v), v.sqlscale));
        }
        break;
    case PlainColumn::Kind::DateTime: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, data, sizeof ts);
        column.dateTimes.push_back(wallClock(QDate::fromJulianDay(kServerEpochJulianDay + ts.timestamp_date),
                                             QTime::fromMSecsSinceStartOfDay(int(ts.timestamp_time / 10))));
        break;
    }
    }
}

// An XSQLDA with room for count variables.
struct Descriptor
{
    explicit Descriptor(int count) : block(XSQLDA_LENGTH(count), 0)
    {
        get()->version = SQLDA_VERSION1;
        get()->sqln = short(count);
    }
    XSQLDA* get() { return reinterpret_cast<XSQLDA*>(block.data()); }
    std::vector<char> block;
};

} // namespace

struct PlainMonthFetch::Handles
{
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
};

PlainMonthFetch::PlainMonthFetch(const QString& database, const QString& user, const QString& password)
    : m_h(std::make_unique<Handles>())
{
    QByteArray dpb;
    dpb += char(isc_dpb_version1);
    addDpbString(dpb, isc_dpb_user_name, user.toUtf8());
    addDpbString(dpb, isc_dpb_password, password.toUtf8());
    addDpbString(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("WIN1251"));
    dpb += char(isc_dpb_sql_dialect);
    dpb += char(4);
    dpb += QByteArray("\x01\x00\x00\x00", 4);
    const QByteArray name = database.toLocal8Bit();
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, name.constData(), &m_h->db, short(dpb.size()), dpb.constData());
    check(status, "attach");
    // The same kind of transaction the data layer runs in.
    static char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_nowait, isc_tpb_read_committed,
                         isc_tpb_rec_version};
    isc_start_transaction(status, &m_h->tr, 1, &m_h->db, short(sizeof tpb), tpb);
    if (status[0] == 1 && status[1]) {
        ISC_STATUS_ARRAY ignored;
        isc_detach_database(ignored, &m_h->db);
        check(status, "start transaction");
    }
}

PlainMonthFetch::~PlainMonthFetch()
{
    ISC_STATUS_ARRAY status;
    if (m_h->tr)
        isc_commit_transaction(status, &m_h->tr);
    if (m_h->db)
        isc_detach_database(status, &m_h->db);
}

void PlainColumn::appendNull()
{
    nulls.push_back(true);
    switch (kind) {
    case Kind::Integer:
        integers.push_back(0);
        break;
    case Kind::Real:
        reals.push_back(0);
        break;
    case Kind::DateTime:
        dateTimes.emplace_back();
        break;
    case Kind::Text:
        texts.emplace_back();
        break;
    }
}

PlainRows PlainMonthFetch::load(const QByteArray& sql, const QDateTime& from, const QDateTime& to)
{
    ISC_STATUS_ARRAY status;
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &m_h->db, &stmt);
    check(status, "allocate statement");
    struct Drop
    {
        isc_stmt_handle* h;
        ~Drop()
        {
            ISC_STATUS_ARRAY ignored;
            isc_dsql_free_statement(ignored, h, DSQL_drop);
        }
    } drop{&stmt};

    Descriptor out(20);
    isc_dsql_prepare(status, &m_h->tr, &stmt, 0, sql.constData(), kDialect, out.get());
    check(status, "prepare");
    if (out.get()->sqld > out.get()->sqln) {
        out = Descriptor(out.get()->sqld);
        isc_dsql_describe(status, &stmt, SQLDA_VERSION1, out.get());
        check(status, "describe");
    }
    const int columns = out.get()->sqld;
    std::vector<std::vector<char>> buffers(static_cast<size_t>(columns));
    std::vector<short> nulls(static_cast<size_t>(columns), 0);
    for (int i = 0; i < columns; ++i) {
        XSQLVAR& v = out.get()->sqlvar[i];
        size_t size = size_t(v.sqllen) + ((v.sqltype & ~1) == SQL_VARYING ? 2 : 0);
        buffers[size_t(i)].assign(qMax<size_t>(size, 8), 0);
        v.sqldata = buffers[size_t(i)].data();
        v.sqlind = &nulls[size_t(i)];
    }

    ISC_TIMESTAMP bounds[2] = {toServer(from), toServer(to)};
    short notNull[2] = {0, 0};
    Descriptor in(2);
    in.get()->sqld = 2;
    for (int i = 0; i < 2; ++i) {
        XSQLVAR& v = in.get()->sqlvar[i];
        v.sqltype = SQL_TIMESTAMP | 1;
        v.sqllen = sizeof(ISC_TIMESTAMP);
        v.sqlscale = 0;
        v.sqldata = reinterpret_cast<char*>(&bounds[i]);
        v.sqlind = &notNull[i];
    }
    isc_dsql_execute(status, &m_h->tr, &stmt, SQLDA_VERSION1, in.get());
    check(status, "execute");

    PlainRows result;
    result.columns.resize(size_t(columns));
    for (int i = 0; i < columns; ++i)
        result.columns[size_t(i)].kind = kindOf(out.get()->sqlvar[i]);
    for (;;) {
        const ISC_STATUS rc = isc_dsql_fetch(status, &stmt, SQLDA_VERSION1, out.get());
        if (rc == 100)
            break;
        check(status, "fetch");
        for (int i = 0; i < columns; ++i)
            append(result.columns[size_t(i)], out.get()->sqlvar[i]);
        ++result.rows;
    }
    return result;
}

} // namespace tarvik::bench

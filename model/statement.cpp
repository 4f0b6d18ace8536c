#include "statement_p.h"

#include "connection_p.h"
#include "cp1251.h"
#include "dberror.h"
#include "dberror_p.h"
#include "fbclient_p.h"
#include "wallclock.h"

#include <QDateTime>
#include <QtEndian>

#include <algorithm>

#include <cmath>
#include <cstring>

namespace tarvik::db {

namespace {

constexpr unsigned short kDialect = 1;
// Julian day of 17 November 1858, day 0 of the server's date values.
constexpr qint64 kServerEpochJulianDay = 2400001;
// Julian day of 1 January 1970, day 0 of the date-times RowStore holds.
constexpr qint64 kUnixEpochJulianDay = 2440588;
constexpr qint64 kMsecsPerDay = 86400000;
// Character set OCTETS: raw bytes, not text.
constexpr short kOctetsCharset = 1;
// The longest text a parameter buffer of the client API can carry.
constexpr qsizetype kMaxTextParameter = 32765;

qint64 readLittleEndian(const char* p, int len)
{
    qint64 v = 0;
    for (int i = len - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

QVariant scaled(qint64 value, short scale, bool wide)
{
    if (scale < 0)
        return double(value) / std::pow(10.0, -scale);
    if (wide)
        return QVariant::fromValue<qlonglong>(value);
    return QVariant::fromValue<int>(int(value));
}

QDate serverDate(ISC_DATE d)
{
    return QDate::fromJulianDay(kServerEpochJulianDay + d);
}

QTime serverTime(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(int(t / 10));
}

ISC_TIMESTAMP toServer(const QDateTime& dt)
{
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(dt.date().toJulianDay() - kServerEpochJulianDay);
    ts.timestamp_time = ISC_TIME(dt.time().msecsSinceStartOfDay()) * 10;
    return ts;
}

bool isInteger(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

void SqlDa::resize(int count)
{
    count = qMax(count, 1);
    m_block.assign(XSQLDA_LENGTH(count), 0);
    XSQLDA* da = get();
    da->version = SQLDA_VERSION1;
    da->sqln = short(count);
    m_data.assign(size_t(count), {});
    m_null.assign(size_t(count), 0);
}

char* SqlDa::buffer(int i, size_t size)
{
    std::vector<char>& b = m_data[size_t(i)];
    if (b.size() < size)
        b.assign(size, 0);
    XSQLVAR& v = var(i);
    v.sqldata = b.data();
    v.sqlind = &m_null[size_t(i)];
    return b.data();
}

void SqlDa::allocateForDescribed()
{
    for (int i = 0; i < count(); ++i) {
        XSQLVAR& v = var(i);
        size_t size = size_t(v.sqllen);
        if ((v.sqltype & ~1) == SQL_VARYING)
            size += 2;
        buffer(i, qMax<size_t>(size, 8));
    }
}

Statement::Statement(ConnectionPrivate& connection, const QString& sql)
    : m_connection(connection), m_epoch(connection.epoch), m_text(sql), m_parsed(parseNamedParameters(sql))
{
    const FbApi& api = fb();
    ISC_STATUS_ARRAY status;
    api.dsql_allocate_statement(status, connection.database(sql), &m_handle);
    m_connection.check(status, sql);
    try {
        const QByteArray bytes = cp1251::encode(m_parsed.sql);
        api.dsql_prepare(status, connection.transaction(sql), &m_handle, 0, bytes.constData(), kDialect,
                         m_out.get());
        m_connection.check(status, sql);
        if (m_out.get()->sqld > m_out.get()->sqln) {
            m_out.resize(m_out.get()->sqld);
            api.dsql_describe(status, &m_handle, SQLDA_VERSION1, m_out.get());
            m_connection.check(status, sql);
        }
        m_out.allocateForDescribed();
        m_columnCount = m_out.count();

        api.dsql_describe_bind(status, &m_handle, SQLDA_VERSION1, m_in.get());
        m_connection.check(status, sql);
        if (m_in.get()->sqld > m_in.get()->sqln) {
            m_in.resize(m_in.get()->sqld);
            api.dsql_describe_bind(status, &m_handle, SQLDA_VERSION1, m_in.get());
            m_connection.check(status, sql);
        }

        const char item = isc_info_sql_stmt_type;
        char info[16] = {};
        api.dsql_sql_info(status, &m_handle, 1, &item, sizeof info, info);
        m_connection.check(status, sql);
        if (info[0] == isc_info_sql_stmt_type) {
            const int len = int(readLittleEndian(info + 1, 2));
            const qint64 type = readLittleEndian(info + 3, len);
            if (type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd)
                m_kind = Kind::Select;
            else if (type == isc_info_sql_stmt_exec_procedure)
                m_kind = Kind::Procedure;
        }
        nameColumns();
    } catch (...) {
        ISC_STATUS_ARRAY ignored;
        api.dsql_free_statement(ignored, &m_handle, DSQL_drop);
        throw;
    }
}

void Statement::nameColumns()
{
    QStringList server;
    for (int i = 0; i < m_columnCount; ++i) {
        const XSQLVAR& v = m_out.var(i);
        server << cp1251::decode(v.aliasname, v.aliasname_length).toUpper();
    }
    // The server names an unaliased expression after what it computes
    // ("ADD", or the inner column of a subquery); the programs know such a
    // column as F_1, F_2, ... in the order of the select list.
    const QList<SelectItem> items = m_kind == Kind::Select ? selectItems(m_text) : QList<SelectItem>{};
    const qsizetype stars = items.count(SelectItem::Star);
    const qsizetype starWidth = m_columnCount - (items.size() - stars);
    int unnamed = 0;
    if (!items.isEmpty() && stars <= 1 && starWidth >= 0 && (stars == 1 || starWidth == 0)) {
        int column = 0;
        for (SelectItem item : items) {
            const qsizetype width = item == SelectItem::Star ? starWidth : 1;
            for (qsizetype k = 0; k < width; ++k, ++column)
                m_columnNames << (item == SelectItem::Unnamed || server.at(column).isEmpty()
                                      ? QStringLiteral("F_%1").arg(++unnamed)
                                      : server.at(column));
        }
        return;
    }
    for (const QString& name : server)
        m_columnNames << (name.isEmpty() ? QStringLiteral("F_%1").arg(++unnamed) : name);
}

Statement::~Statement()
{
    if (m_handle && isCurrent()) {
        ISC_STATUS_ARRAY ignored;
        fb().dsql_free_statement(ignored, &m_handle, DSQL_drop);
    }
}

bool Statement::isCurrent() const
{
    return m_connection.db != 0 && m_connection.epoch == m_epoch;
}

std::vector<QByteArray> Statement::encodeTexts(const QVariantList& values)
{
    const int count = m_in.count();
    std::vector<QByteArray> texts(static_cast<size_t>(count));
    QStringList unencodable;
    for (int i = 0; i < count && i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        if (v.isNull() || (v.typeId() != QMetaType::QString && v.typeId() != QMetaType::QByteArray))
            continue;
        if (v.typeId() == QMetaType::QByteArray) {
            texts[size_t(i)] = v.toByteArray();
        } else {
            const QString text = v.toString();
            for (const QString& c : cp1251::unencodable(text))
                if (!unencodable.contains(c))
                    unencodable << c;
            if (unencodable.isEmpty())
                texts[size_t(i)] = cp1251::encode(text);
        }
        const bool blob = (m_in.var(i).sqltype & ~1) == SQL_BLOB;
        if (!blob && texts[size_t(i)].size() > kMaxTextParameter)
            throw DbError(QStringLiteral("Текст параметра :%1 слишком длинный (%2 байт).")
                              .arg(m_parsed.markers.value(i))
                              .arg(texts[size_t(i)].size()),
                          0, 0, m_text);
    }
    if (!unencodable.isEmpty())
        throw EncodingError(m_kind == Kind::Select ? cp1251::cannotSearchText(unencodable)
                                                   : cp1251::cannotStoreText(unencodable),
                            0, 0, m_text);
    return texts;
}

void Statement::bind(const QVariantList& values)
{
    // Every text is converted before anything is bound: a text the code page
    // cannot hold stops the statement before a blob of it is written.
    const std::vector<QByteArray> texts = encodeTexts(values);
    const int count = m_in.count();
    for (int i = 0; i < count; ++i) {
        XSQLVAR& var = m_in.var(i);
        const short described = short(var.sqltype & ~1);
        const QVariant& v = i < values.size() ? values.at(i) : QVariant();
        if (!v.isValid() || v.isNull()) {
            var.sqltype = short(described | 1);
            m_in.buffer(i, size_t(qMax<short>(var.sqllen, 8)) + 2);
            *var.sqlind = -1;
            continue;
        }
        const bool textual = v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
        var.sqlscale = 0;
        if (described == SQL_BLOB && textual) {
            var.sqltype = SQL_BLOB | 1;
            var.sqllen = sizeof(ISC_QUAD);
            auto* id = reinterpret_cast<ISC_QUAD*>(m_in.buffer(i, sizeof(ISC_QUAD)));
            writeBlob(texts[size_t(i)], id);
        } else if (isInteger(v)) {
            var.sqltype = SQL_INT64 | 1;
            var.sqllen = 8;
            const ISC_INT64 n = v.toLongLong();
            std::memcpy(m_in.buffer(i, 8), &n, 8);
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            var.sqltype = SQL_DOUBLE | 1;
            var.sqllen = 8;
            const double d = v.toDouble();
            std::memcpy(m_in.buffer(i, 8), &d, 8);
        } else if (v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate) {
            // The server's timestamps carry no zone: the value is written as
            // the wall-clock date and time it shows, never converted.
            const QDateTime dt =
                v.typeId() == QMetaType::QDate ? wallClock(v.toDate()) : wallClock(v.toDateTime());
            var.sqltype = SQL_TIMESTAMP | 1;
            var.sqllen = sizeof(ISC_TIMESTAMP);
            const ISC_TIMESTAMP ts = toServer(dt);
            std::memcpy(m_in.buffer(i, sizeof ts), &ts, sizeof ts);
        } else {
            // Text, and anything else as its text: the server converts it to
            // the parameter's type (dates as "d.m.yyyy hh:mm:ss").
            // (Texts were measured against the limit with the encoding.)
            const QByteArray bytes = textual ? texts[size_t(i)] : cp1251::encode(v.toString());
            const bool textColumn = described == SQL_TEXT || described == SQL_VARYING;
            var.sqltype = SQL_TEXT | 1;
            if (!textColumn)
                var.sqlsubtype = 0;
            var.sqllen = short(bytes.size());
            char* buf = m_in.buffer(i, size_t(qMax<qsizetype>(bytes.size(), 1)));
            std::memcpy(buf, bytes.constData(), size_t(var.sqllen));
        }
        *var.sqlind = 0;
    }
}

void Statement::execute(const QVariantList& values)
{
    const FbApi& api = fb();
    closeCursor();
    bind(values);
    ISC_STATUS_ARRAY status;
    XSQLDA* in = m_in.count() > 0 ? m_in.get() : nullptr;
    XSQLDA* out = m_kind == Kind::Procedure && m_columnCount > 0 ? m_out.get() : nullptr;
    api.dsql_execute2(status, m_connection.transaction(m_text), &m_handle, SQLDA_VERSION1, in, out);
    m_connection.check(status, m_text);
    m_cursorOpen = m_kind == Kind::Select;
}

bool Statement::fetchNext()
{
    if (!m_cursorOpen)
        return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = fb().dsql_fetch(status, &m_handle, SQLDA_VERSION1, m_out.get());
    if (rc == 100) {
        closeCursor();
        return false;
    }
    m_connection.check(status, m_text);
    return true;
}

bool Statement::fetch(QVariant* row)
{
    if (!fetchNext())
        return false;
    readRow(row);
    return true;
}

bool Statement::fetch(RowStore& rows)
{
    if (!fetchNext())
        return false;
    readRow(rows);
    return true;
}

std::vector<ColumnKind> Statement::columnKinds()
{
    std::vector<ColumnKind> kinds;
    kinds.reserve(size_t(m_columnCount));
    for (int i = 0; i < m_columnCount; ++i) {
        const XSQLVAR& v = m_out.var(i);
        const bool octets = (v.sqlsubtype & 0xFF) == kOctetsCharset;
        ColumnKind kind = ColumnKind::Variant;
        switch (v.sqltype & ~1) {
        case SQL_TEXT:
        case SQL_VARYING:
            kind = octets ? ColumnKind::Variant : ColumnKind::Text;
            break;
        case SQL_SHORT:
        case SQL_LONG:
            kind = v.sqlscale < 0 ? ColumnKind::Double : ColumnKind::Int;
            break;
        case SQL_INT64:
            kind = v.sqlscale < 0 ? ColumnKind::Double : ColumnKind::Int64;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            kind = ColumnKind::Double;
            break;
        case SQL_TIMESTAMP:
            kind = ColumnKind::DateTime;
            break;
        case SQL_BLOB:
            kind = v.sqlsubtype == isc_blob_text ? ColumnKind::Text : ColumnKind::Variant;
            break;
        default:
            break;
        }
        kinds.push_back(kind);
    }
    return kinds;
}

void Statement::closeCursor() noexcept
{
    if (!m_cursorOpen)
        return;
    m_cursorOpen = false;
    if (isCurrent()) {
        ISC_STATUS_ARRAY ignored;
        fb().dsql_free_statement(ignored, &m_handle, DSQL_close);
    }
}

QVariantList Statement::outputRow()
{
    QVariantList row;
    row.reserve(m_columnCount);
    for (int i = 0; i < m_columnCount; ++i)
        row << readColumn(i);
    return row;
}

qint64 Statement::rowsTouched()
{
    const char item = isc_info_sql_records;
    char info[64] = {};
    ISC_STATUS_ARRAY status;
    fb().dsql_sql_info(status, &m_handle, 1, &item, sizeof info, info);
    m_connection.check(status, m_text);
    if (info[0] != isc_info_sql_records)
        return 0;
    qint64 touched = 0;
    // The records item holds one counter each for selects, inserts,
    // updates and deletes.
    const char* p = info + 3;
    const char* const end = info + sizeof info;
    while (p < end && *p != isc_info_end) {
        const char kind = *p++;
        const int length = int(readLittleEndian(p, 2));
        p += 2;
        if (length < 0 || p + length > end)
            break;
        const qint64 count = readLittleEndian(p, length);
        p += length;
        if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count ||
            kind == isc_info_req_delete_count)
            touched += count;
    }
    return touched;
}

void Statement::readRow(QVariant* row)
{
    for (int i = 0; i < m_columnCount; ++i)
        row[i] = readColumn(i);
}

void Statement::readRow(RowStore& rows)
{
    for (int i = 0; i < m_columnCount; ++i) {
        XSQLVAR& v = m_out.var(i);
        if ((v.sqltype & 1) && *v.sqlind < 0) {
            rows.appendNull(i);
            continue;
        }
        const char* data = v.sqldata;
        const short type = short(v.sqltype & ~1);
        switch (rows.kind(i)) {
        case ColumnKind::Int:
        case ColumnKind::Int64:
            rows.appendNumber(i, type == SQL_SHORT  ? qint64(qFromUnaligned<short>(data))
                                 : type == SQL_LONG ? qint64(qFromUnaligned<ISC_LONG>(data))
                                                    : qint64(qFromUnaligned<ISC_INT64>(data)));
            break;
        case ColumnKind::Double:
            rows.appendReal(i, readColumn(i).toDouble());
            break;
        case ColumnKind::DateTime: {
            ISC_TIMESTAMP ts;
            std::memcpy(&ts, data, sizeof ts);
            rows.appendDateTime(i, (qint64(ts.timestamp_date) + kServerEpochJulianDay - kUnixEpochJulianDay) *
                                           kMsecsPerDay +
                                       qint64(ts.timestamp_time / 10));
            break;
        }
        case ColumnKind::Text:
            if (type == SQL_VARYING) {
                const short len = qFromUnaligned<short>(data);
                rows.appendText(i, data + 2, len);
            } else if (type == SQL_TEXT) {
                rows.appendText(i, data, v.sqllen);
            } else {
                ISC_QUAD id;
                std::memcpy(&id, data, sizeof id);
                const QByteArray bytes = readBlob(&id);
                rows.appendText(i, bytes.constData(), bytes.size());
            }
            break;
        case ColumnKind::Variant:
            rows.appendVariant(i, readColumn(i));
            break;
        }
    }
    rows.endRow();
}

QVariant Statement::readColumn(int i)
{
    XSQLVAR& v = m_out.var(i);
    if ((v.sqltype & 1) && *v.sqlind < 0)
        return {};
    const char* data = v.sqldata;
    switch (v.sqltype & ~1) {
    case SQL_TEXT:
        if ((v.sqlsubtype & 0xFF) == kOctetsCharset)
            return QByteArray(data, v.sqllen);
        return cp1251::decode(data, v.sqllen);
    case SQL_VARYING: {
        short len;
        std::memcpy(&len, data, 2);
        if ((v.sqlsubtype & 0xFF) == kOctetsCharset)
            return QByteArray(data + 2, len);
        return cp1251::decode(data + 2, len);
    }
    case SQL_SHORT: {
        short n;
        std::memcpy(&n, data, sizeof n);
        return scaled(n, v.sqlscale, false);
    }
    case SQL_LONG: {
        ISC_LONG n;
        std::memcpy(&n, data, sizeof n);
        return scaled(n, v.sqlscale, false);
    }
    case SQL_INT64: {
        ISC_INT64 n;
        std::memcpy(&n, data, sizeof n);
        return scaled(n, v.sqlscale, true);
    }
    case SQL_FLOAT: {
        float f;
        std::memcpy(&f, data, sizeof f);
        return double(f);
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double d;
        std::memcpy(&d, data, sizeof d);
        return d;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, data, sizeof ts);
        return wallClock(serverDate(ts.timestamp_date), serverTime(ts.timestamp_time));
    }
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, data, sizeof d);
        return serverDate(d);
    }
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, data, sizeof t);
        return serverTime(t);
    }
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, data, sizeof id);
        if (v.sqlsubtype == isc_blob_text)
            return readTextBlob(&id);
        return readBlob(&id);
    }
    case SQL_BOOLEAN:
        return *reinterpret_cast<const unsigned char*>(data) != 0;
    case SQL_NULL:
        return {};
    default:
        throw DbError(
            QStringLiteral("Неизвестный тип столбца %1 (%2)").arg(m_columnNames.value(i)).arg(v.sqltype), 0,
            0, m_text);
    }
}

QByteArray Statement::readBlob(ISC_QUAD* id)
{
    const FbApi& api = fb();
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    api.open_blob2(status, m_connection.database(m_text), m_connection.transaction(m_text), &blob, id, 0,
                   nullptr);
    m_connection.check(status, m_text);
    QByteArray out;
    char chunk[32768];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = api.get_segment(status, &blob, &got, sizeof chunk, chunk);
        if (rc == 0 || status[1] == isc_segment) {
            out.append(chunk, got);
            continue;
        }
        if (status[1] == isc_segstr_eof)
            break;
        ISC_STATUS_ARRAY ignored;
        api.close_blob(ignored, &blob);
        m_connection.fail(status, m_text);
    }
    api.close_blob(status, &blob);
    return out;
}

QString Statement::readTextBlob(ISC_QUAD* id)
{
    return cp1251::decode(readBlob(id));
}

void Statement::writeBlob(const QByteArray& bytes, ISC_QUAD* id)
{
    const FbApi& api = fb();
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    api.create_blob2(status, m_connection.database(m_text), m_connection.transaction(m_text), &blob, id, 0,
                     nullptr);
    m_connection.check(status, m_text);
    for (qsizetype at = 0; at < bytes.size(); at += 32768) {
        const auto len = static_cast<unsigned short>(qMin<qsizetype>(32768, bytes.size() - at));
        api.put_segment(status, &blob, len, bytes.constData() + at);
        if (status[0] == 1 && status[1]) {
            ISC_STATUS_ARRAY ignored;
            api.close_blob(ignored, &blob);
            m_connection.fail(status, m_text);
        }
    }
    api.close_blob(status, &blob);
    m_connection.check(status, m_text);
}

} // namespace tarvik::db

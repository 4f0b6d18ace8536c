#include "query.h"

#include "connection_p.h"
#include "dberror.h"
#include "rowstore.h"
#include "statement_p.h"
#include "wallclock.h"

namespace tarvik::db {

Query::Query(Connection& connection, const QString& sql, QObject* parent)
    : QObject(parent), m_connection(connection), m_sql(sql), m_rows(std::make_unique<RowStore>())
{}

Query::~Query() = default;

void Query::setSql(const QString& sql)
{
    close();
    m_sql = sql;
    m_statement.reset();
}

void Query::setKeyGenerator(const QString& column, const QString& generator, KeyDrawn when)
{
    m_keyColumn = column;
    m_keyGenerator = generator;
    m_keyDrawn = when;
}

void Query::setParam(const QString& name, const QVariant& value)
{
    m_params.insert(name.toUpper(), value);
}

QVariant Query::param(const QString& name) const
{
    return m_params.value(name.toUpper());
}

void Query::open()
{
    if (isOpen())
        return;
    emit aboutToOpen();
    if (!m_statement || !m_statement->isCurrent()) {
        m_statement.reset();
        m_statement = std::make_unique<Statement>(*m_connection.d(), m_sql);
    }
    Statement& st = *m_statement;
    if (st.kind() != Statement::Kind::Select)
        throw DbError(QStringLiteral("Запрос не возвращает строк"), 0, 0, m_sql);
    QVariantList values;
    values.reserve(st.markers().size());
    for (const QString& m : st.markers())
        values << m_params.value(m);
    st.execute(values);

    m_columns = st.columnNames();
    m_rows->reset(st.columnKinds());
    try {
        while (st.fetch(*m_rows)) {
        }
    } catch (...) {
        // A result cut off part-way is no result: the query stays closed
        // and holds nothing of it.
        m_rows->clear();
        st.closeCursor();
        throw;
    }
    m_state = State::Browse;
    m_current = rowCount() > 0 ? 0 : -1;
    m_eof = m_bof = rowCount() == 0;
    emit opened();
    emit currentChanged(m_current);
}

void Query::close()
{
    if (!isOpen())
        return;
    m_state = State::Inactive;
    m_rows->clear();
    m_buffer.clear();
    m_original.clear();
    m_current = -1;
    m_eof = m_bof = true;
    emit closed();
}

void Query::reopen()
{
    close();
    open();
}

void Query::setCurrent(int row)
{
    if (row == m_current)
        return;
    m_current = row;
    emit currentChanged(row);
}

void Query::requireBrowse(const char* what) const
{
    if (m_state != State::Browse)
        throw DbError(QStringLiteral("%1: набор данных не в режиме просмотра").arg(QLatin1String(what)), 0, 0,
                      m_sql);
}

void Query::requireCurrent(const char* what) const
{
    requireBrowse(what);
    if (m_current < 0)
        throw DbError(QStringLiteral("%1: нет текущей записи").arg(QLatin1String(what)), 0, 0, m_sql);
}

void Query::first()
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    m_bof = true;
    m_eof = rowCount() == 0;
    setCurrent(rowCount() > 0 ? 0 : -1);
}

void Query::last()
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    m_eof = true;
    m_bof = rowCount() == 0;
    setCurrent(rowCount() - 1);
}

void Query::next()
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    m_bof = false;
    if (m_current + 1 < rowCount()) {
        m_eof = false;
        setCurrent(m_current + 1);
    } else {
        m_eof = true;
    }
}

void Query::prior()
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    m_eof = false;
    if (m_current > 0) {
        m_bof = false;
        setCurrent(m_current - 1);
    } else {
        m_bof = true;
    }
}

void Query::setRecNo(int row)
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    if (row < 0 || row >= rowCount())
        return;
    m_eof = m_bof = false;
    setCurrent(row);
}

bool Query::locate(const QString& keyColumns, const QVariantList& values)
{
    const int row = rowOf(keyColumns, values);
    if (row < 0)
        return false;
    setRecNo(row);
    return true;
}

int Query::rowOf(const QString& keyColumns, const QVariantList& values) const
{
    const QStringList keys = keyColumns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (keys.size() != values.size())
        throw DbError(QStringLiteral("Поиск по %1: число значений не совпадает").arg(keyColumns), 0, 0,
                      m_sql);
    std::vector<int> cols;
    for (const QString& k : keys)
        cols.push_back(requireColumn(k.trimmed()));
    for (int r = 0; r < rowCount(); ++r) {
        bool match = true;
        for (size_t i = 0; i < cols.size() && match; ++i)
            match = m_rows->equals(r, cols[i], values.at(qsizetype(i)));
        if (match)
            return r;
    }
    return -1;
}

int Query::columnIndex(const QString& name) const
{
    return int(m_columns.indexOf(name.toUpper()));
}

int Query::requireColumn(const QString& name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Поле '%1' не найдено").arg(name), 0, 0, m_sql);
    return i;
}

QVariant Query::value(int column) const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return m_buffer.value(column);
    if (!holds(m_current, column))
        return {};
    return m_rows->value(m_current, column);
}

QVariant Query::value(const QString& column) const
{
    return value(requireColumn(column));
}

QVariant Query::valueAt(int row, int column) const
{
    if (!holds(row, column))
        return {};
    return m_rows->value(row, column);
}

QVariant Query::valueAt(int row, const QString& column) const
{
    return valueAt(row, requireColumn(column));
}

bool Query::isNull(const QString& column) const
{
    const QVariant v = value(column);
    return !v.isValid() || v.isNull();
}

int Query::intAt(int row, int column) const
{
    if (!holds(row, column))
        return 0;
    const ColumnKind kind = m_rows->kind(column);
    if (kind == ColumnKind::Int || kind == ColumnKind::Int64)
        return int(m_rows->integer(row, column));
    // A text too long for an int gives 0, not its last digits' worth.
    return m_rows->value(row, column).toInt();
}

void Query::edit()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    requireCurrent("Правка");
    m_buffer = m_rows->row(m_current);
    m_original = m_buffer;
    m_state = State::Edit;
}

QVariant Query::drawKey()
{
    return m_connection.generatorValue(m_keyGenerator);
}

void Query::startNewRow(int at)
{
    if (m_state == State::Edit || m_state == State::Insert)
        cancel();
    requireBrowse("Добавление");
    m_buffer = QVariantList(columnCount());
    m_original = m_buffer;
    m_insertAt = at;
    m_state = State::Insert;
    if (!m_keyGenerator.isEmpty() && m_keyDrawn == KeyDrawn::OnNewRow) {
        try {
            m_buffer[requireColumn(m_keyColumn)] = drawKey();
        } catch (...) {
            m_state = State::Browse;
            throw;
        }
    }
}

void Query::append()
{
    startNewRow(rowCount());
}

void Query::insert()
{
    startNewRow(qMax(m_current, 0));
}

void Query::setValue(const QString& column, const QVariant& value)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("Запись не в режиме правки"), 0, 0, m_sql);
    // Rows hold date-times as wall-clock values only, so that what a caller
    // sets compares equal to what the server gives back for it.
    m_buffer[requireColumn(column)] =
        value.typeId() == QMetaType::QDateTime ? QVariant(wallClock(value.toDateTime())) : value;
}

bool Query::runChange(const QString& sql, QVariantList& row, const QVariantList& original, bool checked)
{
    Statement st(*m_connection.d(), sql);
    QVariantList values;
    for (const QString& m : st.markers()) {
        int c = columnIndex(m);
        if (c >= 0) {
            values << row.value(c);
        } else if (m.startsWith(QLatin1String("OLD_")) && (c = columnIndex(m.mid(4))) >= 0) {
            values << original.value(c);
        } else {
            values << QVariant();
        }
    }
    st.execute(values);
    if (st.kind() != Statement::Kind::Procedure)
        // Counting the rows written costs a round trip: only a query that
        // checks the row's version asks.
        return !checked || st.rowsTouched() > 0;
    // A change with a RETURNING clause gives one row of output, all NULL
    // when it touched no row; the version column is never NULL in a row.
    const QVariantList returned = st.outputRow();
    const qsizetype version = st.columnNames().indexOf(m_versionColumn);
    bool wrote = true;
    if (checked)
        wrote = version >= 0 ? !returned.value(version).isNull() : st.rowsTouched() > 0;
    if (wrote)
        for (int i = 0; i < returned.size(); ++i)
            if (const int c = columnIndex(st.columnNames().value(i)); c >= 0 && c < row.size())
                row[c] = returned.at(i);
    return wrote;
}

QVariant Query::originalValue(const QString& column) const
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("Строка не редактируется"), 0, 0, m_sql);
    return m_original.value(requireColumn(column));
}

void Query::setOriginalValue(const QString& column, const QVariant& value)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw DbError(QStringLiteral("Строка не редактируется"), 0, 0, m_sql);
    m_original[requireColumn(column)] = value;
}

void Query::post()
{
    if (m_state == State::Browse)
        return;
    if (m_state == State::Insert) {
        if (m_insertSql.isEmpty())
            throw DbError(QStringLiteral("Для запроса не задана команда добавления"), 0, 0, m_sql);
        if (!m_keyGenerator.isEmpty() && m_keyDrawn == KeyDrawn::OnPost)
            m_buffer[requireColumn(m_keyColumn)] = drawKey();
        runChange(m_insertSql, m_buffer, m_original, false);
        const int at = qBound(0, m_insertAt, rowCount());
        m_rows->insertRow(at, m_buffer);
        m_state = State::Browse;
        m_eof = m_bof = false;
        m_current = at;
        emit rowInserted(at);
        emit currentChanged(at);
    } else if (m_state == State::Edit) {
        if (m_modifySql.isEmpty())
            throw DbError(QStringLiteral("Для запроса не задана команда изменения"), 0, 0, m_sql);
        QVariantList written = m_buffer;
        if (!runChange(m_modifySql, written, m_original, !m_versionColumn.isEmpty()))
            throw RowChangedError(QStringLiteral("Строка изменена или удалена другим пользователем"), 0, 0,
                                  m_modifySql);
        m_rows->setRow(m_current, written);
        m_state = State::Browse;
        emit rowChanged(m_current);
    }
    m_buffer.clear();
    m_original.clear();
}

void Query::keepAsStored()
{
    if (m_state != State::Edit)
        throw DbError(QStringLiteral("Строка не редактируется"), 0, 0, m_sql);
    m_rows->setRow(m_current, m_buffer);
    m_state = State::Browse;
    m_buffer.clear();
    m_original.clear();
    emit rowChanged(m_current);
}

void Query::cancel()
{
    if (m_state == State::Edit || m_state == State::Insert)
        m_state = State::Browse;
    m_buffer.clear();
    m_original.clear();
}

void Query::deleteRow()
{
    requireCurrent("Удаление");
    if (m_deleteSql.isEmpty())
        throw DbError(QStringLiteral("Для запроса не задана команда удаления"), 0, 0, m_sql);
    QVariantList row = m_rows->row(m_current);
    runChange(m_deleteSql, row, row, false);
    const int removed = m_current;
    m_rows->removeRow(removed);
    emit rowRemoved(removed);
    m_current = qMin(removed, rowCount() - 1);
    m_eof = m_bof = rowCount() == 0;
    emit currentChanged(m_current);
}

std::pair<int, bool> Query::findKey(int keyColumn, qint64 key) const
{
    int low = 0;
    int high = rowCount();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (m_rows->integer(mid, keyColumn) < key)
            low = mid + 1;
        else
            high = mid;
    }
    const bool found = low < rowCount() && m_rows->integer(low, keyColumn) == key;
    return {low, found};
}

QVariantList Query::mergeRows(const QString& keyColumn, const Query& fresh, const QString& belongsColumn,
                              const QVariantList& goneKeys)
{
    requireBrowse("Слияние строк");
    const int key = requireColumn(keyColumn);
    const int freshKey = fresh.requireColumn(keyColumn);
    const int belongs = fresh.requireColumn(belongsColumn);
    const int width = columnCount();
    if (fresh.columnCount() < width)
        throw DbError(QStringLiteral("Слияние строк: в новых строках меньше полей"), 0, 0, m_sql);
    const bool hadCurrent = m_current >= 0;
    const qint64 currentKey = hadCurrent ? valueAt(m_current, key).toLongLong() : 0;
    const int currentBefore = m_current;

    QVariantList touched;
    auto removeKey = [&](const QVariant& k) {
        const auto [row, found] = findKey(key, k.toLongLong());
        if (!found)
            return;
        m_rows->removeRow(row);
        touched << k;
    };
    for (const QVariant& k : goneKeys)
        removeKey(k);
    for (int r = 0; r < fresh.rowCount(); ++r) {
        const QVariant k = fresh.valueAt(r, freshKey);
        if (fresh.valueAt(r, belongs).toInt() == 0) {
            removeKey(k);
            continue;
        }
        const auto [row, found] = findKey(key, k.toLongLong());
        QVariantList values = fresh.m_rows->row(r);
        values.resize(width);
        if (found) {
            bool same = true;
            for (int c = 0; c < width && same; ++c)
                same = m_rows->value(row, c) == values.at(c);
            if (same)
                continue;
            m_rows->setRow(row, values);
        } else {
            m_rows->insertRow(row, values);
        }
        touched << k;
    }
    if (touched.isEmpty())
        return touched;

    int current = -1;
    if (hadCurrent && rowCount() > 0) {
        const auto [row, found] = findKey(key, currentKey);
        current = found ? row : qMin(row, rowCount() - 1);
    }
    m_eof = m_bof = rowCount() == 0;
    m_current = current;
    emit rowsMerged(touched);
    if (current != currentBefore ||
        (hadCurrent && current >= 0 && valueAt(current, key).toLongLong() != currentKey))
        emit currentChanged(current);
    return touched;
}

} // namespace tarvik::db

#pragma once

#include "connection.h"
#include "rowstore.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace tarvik::db {

class Statement;

// A SELECT whose result rows are held in the client, with a current row and
// optional insert, modify and delete statements of its own. Parameters are
// named (":Name", case-insensitive) and keep their values across reopening.
// Columns are known by name, case-insensitive; an unnamed computed column is
// F_1, the next F_2, in the order of the select list.
//
// Row changes bind their statements from the row: a parameter named like a
// column takes the row's current value, OLD_<column> the value as read, and
// any other parameter is null.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Inactive,
        Browse,
        Edit,
        Insert
    };
    // When a new row's key is drawn from its generator.
    enum class KeyDrawn
    {
        OnNewRow,
        OnPost
    };

    explicit Query(Connection& connection, const QString& sql = {}, QObject* parent = nullptr);
    ~Query() override;

    [[nodiscard]] Connection& connection() const { return m_connection; }
    void setSql(const QString& sql);
    [[nodiscard]] const QString& sql() const { return m_sql; }
    void setInsertSql(const QString& sql) { m_insertSql = sql; }
    void setModifySql(const QString& sql) { m_modifySql = sql; }
    void setDeleteSql(const QString& sql) { m_deleteSql = sql; }
    void setKeyGenerator(const QString& column, const QString& generator, KeyDrawn when = KeyDrawn::OnNewRow);
    // A change of a row is meant for the row as it was read: the modify
    // statement's condition compares the column's stored value with
    // :OLD_<column>. When it touches no row, post() throws RowChangedError
    // and leaves the row in editing, so that the caller can look at what is
    // stored now and post again. Empty (the default): a modify that touches
    // no row passes unnoticed.
    void setVersionColumn(const QString& column) { m_versionColumn = column; }
    [[nodiscard]] const QString& versionColumn() const { return m_versionColumn; }

    void setParam(const QString& name, const QVariant& value);
    [[nodiscard]] QVariant param(const QString& name) const;
    // All parameters set so far, by upper-case name.
    [[nodiscard]] const QVariantMap& params() const { return m_params; }

    void open();
    void close();
    void reopen();
    [[nodiscard]] bool isOpen() const { return m_state != State::Inactive; }
    [[nodiscard]] State state() const { return m_state; }

    // Navigation. eof() turns true when next() finds no further row (or the
    // result is empty); bof() likewise for prior().
    void first();
    void next();
    void prior();
    void last();
    [[nodiscard]] bool eof() const { return m_eof; }
    [[nodiscard]] bool bof() const { return m_bof; }
    [[nodiscard]] bool isEmpty() const { return rowCount() == 0; }
    [[nodiscard]] int recordCount() const { return rowCount(); }
    // The current row's position from 0; -1 when there is none.
    [[nodiscard]] int recNo() const { return m_current; }
    void setRecNo(int row);
    // Makes the first row whose columns equal the values current. keyColumns
    // names one column or several separated by ";".
    bool locate(const QString& keyColumns, const QVariantList& values);
    bool locate(const QString& keyColumn, const QVariant& value)
    {
        return locate(keyColumn, QVariantList{value});
    }
    // The first row whose columns equal the values, as locate() finds it,
    // without making it current; -1 when there is none.
    [[nodiscard]] int rowOf(const QString& keyColumns, const QVariantList& values) const;

    [[nodiscard]] int columnCount() const { return int(m_columns.size()); }
    [[nodiscard]] const QStringList& columnNames() const { return m_columns; }
    // -1 when the result has no such column.
    [[nodiscard]] int columnIndex(const QString& name) const;
    [[nodiscard]] bool hasColumn(const QString& name) const { return columnIndex(name) >= 0; }
    // The current row's value (the edited one while a row is being changed).
    [[nodiscard]] QVariant value(const QString& column) const;
    [[nodiscard]] QVariant value(int column) const;
    [[nodiscard]] QVariant valueAt(int row, int column) const;
    [[nodiscard]] QVariant valueAt(int row, const QString& column) const;
    [[nodiscard]] QString text(const QString& column) const { return value(column).toString(); }
    [[nodiscard]] int integer(const QString& column) const { return value(column).toInt(); }
    [[nodiscard]] bool isNull(const QString& column) const;
    // A held row's cell read without a QVariant: each gives what
    // valueAt(row, column).toInt() (toLongLong, toDateTime, toString) gives,
    // and 0, a null date-time or a null text for NULL or no such cell.
    [[nodiscard]] bool isNullAt(int row, int column) const
    {
        return !holds(row, column) || m_rows->isNull(row, column);
    }
    [[nodiscard]] int intAt(int row, int column) const;
    [[nodiscard]] qint64 int64At(int row, int column) const
    {
        return holds(row, column) ? m_rows->integer(row, column) : 0;
    }
    [[nodiscard]] QDateTime dateTimeAt(int row, int column) const
    {
        return holds(row, column) ? m_rows->dateTime(row, column) : QDateTime();
    }
    [[nodiscard]] QString textAt(int row, int column) const
    {
        return holds(row, column) ? m_rows->text(row, column) : QString();
    }

    // Row changes.
    void edit();
    void append();
    void insert();
    void setValue(const QString& column, const QVariant& value);
    // For a row in editing: a column's value as it was read, and the value
    // the modify statement is to take for it (:OLD_<column>), e.g. to base
    // the change on a later state of the row than the one held.
    [[nodiscard]] QVariant originalValue(const QString& column) const;
    void setOriginalValue(const QString& column, const QVariant& value);
    // Writes the row in editing or being added. Columns that the insert's
    // or the modify's RETURNING clause gives take the returned values.
    void post();
    // Ends editing with the values set as the row's without writing them:
    // for a row set to what the database holds already.
    void keepAsStored();
    void cancel();
    void deleteRow();

    // Brings the held rows in line with rows read again since, without
    // reading the whole result: each row of `fresh` (whose first columns are
    // this query's, in order) replaces the row of its key, or comes in where
    // a full read would put it, when its column `belongsColumn` is nonzero,
    // and takes the row of its key out when it is 0; the rows of `goneKeys`
    // go. The held rows must be ordered by the integer `keyColumn`,
    // ascending. Rows whose values did not change are left alone. The
    // current row stays on its key. Emits rowsMerged with the keys of the
    // rows changed, added or removed; gives them too.
    QVariantList mergeRows(const QString& keyColumn, const Query& fresh, const QString& belongsColumn,
                           const QVariantList& goneKeys);

signals:
    // Before a full read (open), and after it.
    void aboutToOpen();
    void opened();
    void closed();
    void currentChanged(int row);
    void rowChanged(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowsMerged(const QVariantList& keys);

private:
    [[nodiscard]] int rowCount() const { return m_columns.isEmpty() ? 0 : m_rows->rowCount(); }
    [[nodiscard]] bool holds(int row, int column) const
    {
        return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
    }
    [[nodiscard]] int requireColumn(const QString& name) const;
    void requireBrowse(const char* what) const;
    void requireCurrent(const char* what) const;
    void setCurrent(int row);
    void startNewRow(int at);
    // Runs a change statement bound from the row. What its RETURNING clause
    // gives goes into `row` by column name. False only when `checked` (the
    // version column is compared) and the statement touched no row.
    bool runChange(const QString& sql, QVariantList& row, const QVariantList& original, bool checked);
    QVariant drawKey();
    // The row holding `key` (found) or where it would go, by binary search.
    [[nodiscard]] std::pair<int, bool> findKey(int keyColumn, qint64 key) const;

    Connection& m_connection;
    QString m_sql;
    QString m_insertSql;
    QString m_modifySql;
    QString m_deleteSql;
    QString m_keyColumn;
    QString m_keyGenerator;
    QString m_versionColumn;
    KeyDrawn m_keyDrawn = KeyDrawn::OnNewRow;
    QVariantMap m_params; // upper-case names
    std::unique_ptr<Statement> m_statement;

    State m_state = State::Inactive;
    QStringList m_columns;
    std::unique_ptr<RowStore> m_rows;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;

    // The row being edited or added, and the values it had when read.
    QVariantList m_buffer;
    QVariantList m_original;
    int m_insertAt = -1;
};

} // namespace tarvik::db

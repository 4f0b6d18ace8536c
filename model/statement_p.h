#pragma once

#include "rowstore.h"
#include "sqlparams.h"

#include <QStringList>
#include <QVariant>

#include <ibase.h>

#include <memory>
#include <vector>

namespace tarvik::db {

class ConnectionPrivate;

// An XSQLDA with buffers for its variables.
class SqlDa
{
public:
    SqlDa() { resize(1); }
    void resize(int count);
    [[nodiscard]] XSQLDA* get() { return reinterpret_cast<XSQLDA*>(m_block.data()); }
    [[nodiscard]] XSQLVAR& var(int i) { return get()->sqlvar[i]; }
    [[nodiscard]] int count() const { return reinterpret_cast<const XSQLDA*>(m_block.data())->sqld; }
    // Allocates a data buffer and indicator for every described variable.
    void allocateForDescribed();
    // A buffer of size bytes for variable i, replacing its old one.
    char* buffer(int i, size_t size);

private:
    std::vector<char> m_block;
    std::vector<std::vector<char>> m_data;
    std::vector<short> m_null;
};

// A prepared DSQL statement on the shared transaction. Owns its handle and
// descriptor buffers; the destructor frees the handle and never throws.
class Statement
{
public:
    enum class Kind
    {
        Select,
        Procedure,
        Other
    };

    Statement(ConnectionPrivate& connection, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    [[nodiscard]] const QString& text() const { return m_text; }
    [[nodiscard]] const QStringList& markers() const { return m_parsed.markers; }
    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] int columnCount() const { return m_columnCount; }
    [[nodiscard]] const QStringList& columnNames() const { return m_columnNames; }
    // True while the handle belongs to the connection's current attachment.
    [[nodiscard]] bool isCurrent() const;

    // Binds one value per "?" marker and executes. A select opens its
    // cursor; a procedure fills the output row.
    void execute(const QVariantList& values);
    // Reads the next row of an open cursor into row[0..columnCount).
    bool fetch(QVariant* row);
    // How RowStore holds each column, by its description.
    [[nodiscard]] std::vector<ColumnKind> columnKinds();
    // Appends the next row of an open cursor to rows, which was reset to
    // columnKinds().
    bool fetch(RowStore& rows);
    void closeCursor() noexcept;
    // The output parameters of an executed procedure, or what a change's
    // RETURNING clause gave.
    [[nodiscard]] QVariantList outputRow();
    // The rows the last executed insert, update or delete wrote.
    [[nodiscard]] qint64 rowsTouched();

private:
    void nameColumns();
    // The texts among values in the code page (empty for the others);
    // throws EncodingError naming every character none of them can hold.
    [[nodiscard]] std::vector<QByteArray> encodeTexts(const QVariantList& values);
    void bind(const QVariantList& values);
    bool fetchNext();
    void readRow(QVariant* row);
    void readRow(RowStore& rows);
    [[nodiscard]] QVariant readColumn(int i);
    [[nodiscard]] QString readTextBlob(ISC_QUAD* id);
    [[nodiscard]] QByteArray readBlob(ISC_QUAD* id);
    void writeBlob(const QByteArray& bytes, ISC_QUAD* id);

    ConnectionPrivate& m_connection;
    int m_epoch;
    QString m_text;
    ParsedSql m_parsed;
    isc_stmt_handle m_handle = 0;
    Kind m_kind = Kind::Other;
    bool m_cursorOpen = false;
    int m_columnCount = 0;
    QStringList m_columnNames;
    SqlDa m_in;
    SqlDa m_out;
};

} // namespace tarvik::db

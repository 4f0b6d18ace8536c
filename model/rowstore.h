#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <vector>

namespace tarvik::db {

// Texts as the database holds them (code page 1251, a byte per character),
// in blocks that never move: filling takes a new block now and then, never
// one per text, and copies nothing already written. Cleared, the blocks stay
// for the next filling: a result read again takes no new memory.
class TextBlocks
{
public:
    struct Span
    {
        quint32 block = 0;
        quint32 at = 0;
        qsizetype size = 0;
    };

    // A copy of size bytes.
    Span append(const char* data, qsizetype size);
    [[nodiscard]] QByteArrayView view(const Span& s) const
    {
        return {s.size ? m_blocks[s.block].bytes.get() + s.at : "", s.size};
    }
    // Bytes handed out since the last clear.
    [[nodiscard]] qsizetype held() const { return m_held; }
    void clear();

private:
    // Room for size bytes, to be written by the caller.
    char* allocate(qsizetype size, Span& span);

    struct Block
    {
        std::unique_ptr<char[]> bytes;
        qsizetype size = 0;
    };
    // Those in use first, then spare ones of the usual size.
    std::vector<Block> m_blocks;
    size_t m_inUse = 0;
    qsizetype m_used = 0; // of the last block in use
    qsizetype m_room = 0;
    qsizetype m_held = 0;
};

// How a column of a result is held.
enum class ColumnKind : unsigned char
{
    Int,      // QVariant int
    Int64,    // QVariant qlonglong
    Double,   // QVariant double
    DateTime, // wall-clock QDateTime
    Text,     // QString
    Variant   // anything else, and a column given a value of another type
};

// The rows of a result, held column by column (for Query; the programs read
// them through Query): numbers and date-times in plain vectors, texts as
// spans of code page bytes decoded when read, with a null flag per cell. A
// value of a type its column does not hold (or a text the code page cannot
// hold) turns that column into one of QVariants, so that what was put in
// comes back unchanged.
class RowStore
{
public:
    void reset(const std::vector<ColumnKind>& kinds);
    void clear();
    [[nodiscard]] int rowCount() const { return m_rows; }
    [[nodiscard]] int columnCount() const { return int(m_columns.size()); }
    [[nodiscard]] ColumnKind kind(int column) const { return m_columns[size_t(column)].kind; }

    [[nodiscard]] bool isNull(int row, int column) const
    {
        return m_columns[size_t(column)].nulls[size_t(row)];
    }
    [[nodiscard]] QVariant value(int row, int column) const;
    // The value converted as QVariant::toLongLong() etc. would convert it.
    [[nodiscard]] qint64 integer(int row, int column) const
    {
        // A NULL number is held as 0.
        const Column& c = m_columns[size_t(column)];
        if (c.kind == ColumnKind::Int || c.kind == ColumnKind::Int64)
            return c.numbers[size_t(row)];
        return isNull(row, column) ? 0 : value(row, column).toLongLong();
    }
    [[nodiscard]] QDateTime dateTime(int row, int column) const
    {
        const Column& c = m_columns[size_t(column)];
        if (c.nulls[size_t(row)])
            return {};
        if (c.kind == ColumnKind::DateTime)
            return fromMsecs(c.numbers[size_t(row)]);
        return value(row, column).toDateTime();
    }
    [[nodiscard]] QString text(int row, int column) const
    {
        const Column& c = m_columns[size_t(column)];
        if (c.nulls[size_t(row)])
            return {};
        if (c.kind == ColumnKind::Text)
            return decoded(c, row);
        return value(row, column).toString();
    }
    // True when the cell equals want as QVariant's == compares them, with
    // NULL (an invalid QVariant) equal only to NULL.
    [[nodiscard]] bool equals(int row, int column, const QVariant& want) const;

    // Filling, a row at a time: one call per column, in order, then
    // endRow().
    void appendNull(int column);
    void appendNumber(int column, qint64 n) { push(column).numbers.push_back(n); }
    void appendReal(int column, double d) { push(column).reals.push_back(d); }
    // Milliseconds from 1 January 1970 00:00 of the wall clock.
    void appendDateTime(int column, qint64 msecs) { push(column).numbers.push_back(msecs); }
    // The cell's text as size code page bytes.
    void appendText(int column, const char* data, qsizetype size)
    {
        push(column).spans.push_back(m_texts.append(data, size));
    }
    void appendVariant(int column, const QVariant& v) { push(column).variants.push_back(v); }
    void endRow() { ++m_rows; }

    [[nodiscard]] QVariantList row(int row) const;
    void setRow(int row, const QVariantList& values);
    void insertRow(int at, const QVariantList& values);
    void removeRow(int row);

private:
    using Span = TextBlocks::Span;
    struct Column
    {
        ColumnKind kind = ColumnKind::Variant;
        std::vector<bool> nulls;
        std::vector<qint64> numbers; // Int, Int64, DateTime
        std::vector<double> reals;
        std::vector<Span> spans;
        std::vector<QVariant> variants;
    };

    Column& push(int column)
    {
        Column& c = m_columns[size_t(column)];
        c.nulls.push_back(false);
        return c;
    }
    [[nodiscard]] QByteArrayView view(const Column& c, int row) const
    {
        return m_texts.view(c.spans[size_t(row)]);
    }
    [[nodiscard]] QString decoded(const Column& c, int row) const;
    // The wall-clock date-time of milliseconds from 1 January 1970 00:00.
    [[nodiscard]] static QDateTime fromMsecs(qint64 msecs);
    void put(int column, int row, const QVariant& v);
    void insertCell(int column, int row);
    void makeVariant(int column);
    void compact();

    std::vector<Column> m_columns;
    TextBlocks m_texts;
    qsizetype m_unused = 0; // bytes of m_texts no span refers to
    int m_rows = 0;
};

} // namespace tarvik::db

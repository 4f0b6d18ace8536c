#include "rowstore.h"

#include "cp1251.h"

#include <algorithm>
#include <cstring>

namespace tarvik::db {

namespace {

// Unused text is dropped once there is this much of it and it is more than
// half of all held.
constexpr qsizetype kCompactAfter = 64 * 1024;
// Bytes of a text block: small enough for the heap to hand the same blocks
// out again to the next result.
constexpr qsizetype kBlockBytes = 32 * 1024;

bool holds(ColumnKind kind, const QVariant& v)
{
    switch (kind) {
    case ColumnKind::Int:
        return v.typeId() == QMetaType::Int;
    case ColumnKind::Int64:
        return v.typeId() == QMetaType::LongLong;
    case ColumnKind::Double:
        return v.typeId() == QMetaType::Double;
    case ColumnKind::DateTime: {
        if (v.typeId() != QMetaType::QDateTime)
            return false;
        const QDateTime dt = v.toDateTime();
        return dt.isValid() && dt.timeSpec() == Qt::UTC;
    }
    case ColumnKind::Text:
        return v.typeId() == QMetaType::QString && cp1251::canEncode(v.toString());
    case ColumnKind::Variant:
        return true;
    }
    return false;
}

} // namespace

QDateTime RowStore::fromMsecs(qint64 msecs)
{
    // The wall-clock values are held in UTC (see wallClock()): the same
    // value, without going through the calendar.
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

char* TextBlocks::allocate(qsizetype size, Span& span)
{
    span = {};
    if (size <= 0)
        return nullptr;
    if (size > m_room - m_used) {
        // The next spare block, or a new one: one of the usual size, or one
        // just for a longer text, which is not kept when cleared.
        m_room = std::max(size, kBlockBytes);
        if (m_inUse == m_blocks.size() || size > kBlockBytes)
            m_blocks.insert(m_blocks.begin() + qsizetype(m_inUse),
                            {std::make_unique_for_overwrite<char[]>(size_t(m_room)), m_room});
        ++m_inUse;
        m_used = 0;
    }
    span = {quint32(m_inUse - 1), quint32(m_used), size};
    char* out = m_blocks[m_inUse - 1].bytes.get() + m_used;
    m_used += size;
    m_held += size;
    return out;
}

TextBlocks::Span TextBlocks::append(const char* data, qsizetype size)
{
    Span span;
    if (char* out = allocate(size, span))
        std::memcpy(out, data, size_t(size));
    return span;
}

void TextBlocks::clear()
{
    // The block of a longer text goes; those of the usual size stay spare.
    std::erase_if(m_blocks, [](const Block& b) { return b.size > kBlockBytes; });
    m_inUse = 0;
    m_used = m_room = m_held = 0;
}

void RowStore::reset(const std::vector<ColumnKind>& kinds)
{
    // The vectors keep their room: a query read again fills them anew.
    m_columns.resize(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i)
        m_columns[i].kind = kinds[i];
    clear();
}

void RowStore::clear()
{
    for (Column& c : m_columns) {
        c.nulls.clear();
        c.numbers.clear();
        c.reals.clear();
        c.spans.clear();
        c.variants.clear();
    }
    m_texts.clear();
    m_unused = 0;
    m_rows = 0;
}

QVariant RowStore::value(int row, int column) const
{
    const Column& c = m_columns[size_t(column)];
    const auto r = size_t(row);
    if (c.nulls[r])
        return {};
    switch (c.kind) {
    case ColumnKind::Int:
        return QVariant::fromValue<int>(int(c.numbers[r]));
    case ColumnKind::Int64:
        return QVariant::fromValue<qlonglong>(c.numbers[r]);
    case ColumnKind::Double:
        return c.reals[r];
    case ColumnKind::DateTime:
        return fromMsecs(c.numbers[r]);
    case ColumnKind::Text:
        return decoded(c, row);
    case ColumnKind::Variant:
        return c.variants[r];
    }
    return {};
}

bool RowStore::equals(int row, int column, const QVariant& want) const
{
    const Column& c = m_columns[size_t(column)];
    const bool null = c.nulls[size_t(row)];
    if (null || !want.isValid())
        return null && !want.isValid();
    if (c.kind == ColumnKind::Text && want.typeId() == QMetaType::QString)
        return cp1251::sameText(view(c, row), *static_cast<const QString*>(want.constData()));
    if ((c.kind == ColumnKind::Int || c.kind == ColumnKind::Int64) &&
        (want.typeId() == QMetaType::Int || want.typeId() == QMetaType::LongLong))
        return c.numbers[size_t(row)] == want.toLongLong();
    return value(row, column) == want;
}

void RowStore::appendNull(int column)
{
    Column& c = m_columns[size_t(column)];
    c.nulls.push_back(true);
    switch (c.kind) {
    case ColumnKind::Int:
    case ColumnKind::Int64:
    case ColumnKind::DateTime:
        c.numbers.push_back(0);
        break;
    case ColumnKind::Double:
        c.reals.push_back(0);
        break;
    case ColumnKind::Text:
        c.spans.push_back({0, 0});
        break;
    case ColumnKind::Variant:
        c.variants.emplace_back();
        break;
    }
}

QString RowStore::decoded(const Column& c, int row) const
{
    const QByteArrayView bytes = view(c, row);
    return cp1251::decode(bytes.data(), bytes.size());
}

QVariantList RowStore::row(int row) const
{
    QVariantList values;
    values.reserve(columnCount());
    for (int c = 0; c < columnCount(); ++c)
        values << value(row, c);
    return values;
}

void RowStore::put(int column, int row, const QVariant& v)
{
    if (v.isValid() && !holds(m_columns[size_t(column)].kind, v))
        makeVariant(column);
    Column& c = m_columns[size_t(column)];
    const auto r = size_t(row);
    const bool null = !v.isValid();
    c.nulls[r] = null;
    switch (c.kind) {
    case ColumnKind::Int:
    case ColumnKind::Int64:
        c.numbers[r] = null ? 0 : v.toLongLong();
        break;
    case ColumnKind::Double:
        c.reals[r] = null ? 0 : v.toDouble();
        break;
    case ColumnKind::DateTime:
        c.numbers[r] = null ? 0 : v.toDateTime().toMSecsSinceEpoch();
        break;
    case ColumnKind::Text: {
        m_unused += c.spans[r].size;
        c.spans[r] = {};
        if (null)
            break;
        const QByteArray bytes = cp1251::encode(v.toString());
        c.spans[r] = m_texts.append(bytes.constData(), bytes.size());
        break;
    }
    case ColumnKind::Variant:
        c.variants[r] = v;
        break;
    }
}

void RowStore::insertCell(int column, int row)
{
    Column& c = m_columns[size_t(column)];
    const auto r = qsizetype(row);
    c.nulls.insert(c.nulls.begin() + r, true);
    switch (c.kind) {
    case ColumnKind::Int:
    case ColumnKind::Int64:
    case ColumnKind::DateTime:
        c.numbers.insert(c.numbers.begin() + r, 0);
        break;
    case ColumnKind::Double:
        c.reals.insert(c.reals.begin() + r, 0.0);
        break;
    case ColumnKind::Text:
        c.spans.insert(c.spans.begin() + r, Span{});
        break;
    case ColumnKind::Variant:
        c.variants.insert(c.variants.begin() + r, QVariant());
        break;
    }
}

void RowStore::setRow(int row, const QVariantList& values)
{
    for (int c = 0; c < columnCount(); ++c)
        put(c, row, values.value(c));
    compact();
}

void RowStore::insertRow(int at, const QVariantList& values)
{
    for (int c = 0; c < columnCount(); ++c)
        insertCell(c, at);
    ++m_rows;
    setRow(at, values);
}

void RowStore::removeRow(int row)
{
    const auto r = qsizetype(row);
    for (Column& c : m_columns) {
        c.nulls.erase(c.nulls.begin() + r);
        switch (c.kind) {
        case ColumnKind::Int:
        case ColumnKind::Int64:
        case ColumnKind::DateTime:
            c.numbers.erase(c.numbers.begin() + r);
            break;
        case ColumnKind::Double:
            c.reals.erase(c.reals.begin() + r);
            break;
        case ColumnKind::Text:
            m_unused += c.spans[size_t(r)].size;
            c.spans.erase(c.spans.begin() + r);
            break;
        case ColumnKind::Variant:
            c.variants.erase(c.variants.begin() + r);
            break;
        }
    }
    --m_rows;
    compact();
}

void RowStore::makeVariant(int column)
{
    std::vector<QVariant> values;
    values.reserve(size_t(m_rows));
    for (int r = 0; r < m_rows; ++r)
        values.push_back(value(r, column));
    Column& c = m_columns[size_t(column)];
    for (const Span& s : c.spans)
        m_unused += s.size;
    c.numbers = {};
    c.reals = {};
    c.spans = {};
    c.variants = std::move(values);
    c.kind = ColumnKind::Variant;
}

void RowStore::compact()
{
    if (m_unused < kCompactAfter || m_unused * 2 < m_texts.held())
        return;
    TextBlocks texts;
    for (Column& c : m_columns) {
        for (Span& s : c.spans) {
            const QByteArrayView bytes = m_texts.view(s);
            s = texts.append(bytes.data(), bytes.size());
        }
    }
    m_texts = std::move(texts);
    m_unused = 0;
}

} // namespace tarvik::db

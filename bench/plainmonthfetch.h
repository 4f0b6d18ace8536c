#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QVariant>

#include <memory>
#include <vector>

namespace tarvik::bench {

// The shortest path from the server to client-side values: the client
// library's DSQL calls on an attachment of its own, each column converted to
// the QVariant the data layer gives for it. What tarvik::db::Query costs
// beyond this is the layer's own overhead.
class PlainMonthFetch
{
public:
    PlainMonthFetch(const QString& database, const QString& user, const QString& password);
    ~PlainMonthFetch();
    PlainMonthFetch(const PlainMonthFetch&) = delete;
    PlainMonthFetch& operator=(const PlainMonthFetch&) = delete;

    // Prepares sql (dialect 1, two "?" markers taking from and to), runs it
    // and appends every row to cells, row-major. Returns the column count.
    int load(const QByteArray& sql, const QDateTime& from, const QDateTime& to, std::vector<QVariant>& cells);

private:
    struct Handles;
    std::unique_ptr<Handles> m_h;
};

} // namespace tarvik::bench

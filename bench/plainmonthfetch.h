#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

namespace tarvik::bench {

// A result as plain values, column by column: integers, reals, wall-clock
// date-times and texts, each column with its own flags for NULL.
struct PlainColumn
{
    enum class Kind
    {
        Integer,
        Real,
        DateTime,
        Text
    };
    Kind kind = Kind::Integer;
    std::vector<qint64> integers;
    std::vector<double> reals;
    std::vector<QDateTime> dateTimes;
    std::vector<QString> texts;
    std::vector<bool> nulls;

    void appendNull();
    bool operator==(const PlainColumn&) const = default;
};

struct PlainRows
{
    std::vector<PlainColumn> columns;
    int rows = 0;
    bool operator==(const PlainRows&) const = default;
};

// The shortest path from the server to client-side values: the client
// library's DSQL calls on an attachment of its own, every column converted
// straight into plain values, no QVariant on the way. What
// tarvik::db::Query costs beyond this is the layer's own overhead.
class PlainMonthFetch
{
public:
    PlainMonthFetch(const QString& database, const QString& user, const QString& password);
    ~PlainMonthFetch();
    PlainMonthFetch(const PlainMonthFetch&) = delete;
    PlainMonthFetch& operator=(const PlainMonthFetch&) = delete;

    // Prepares sql (dialect 1, two "?" markers taking from and to), runs it
    // and reads every row into a fresh result.
    PlainRows load(const QByteArray& sql, const QDateTime& from, const QDateTime& to);

private:
    struct Handles;
    std::unique_ptr<Handles> m_h;
};

} // namespace tarvik::bench

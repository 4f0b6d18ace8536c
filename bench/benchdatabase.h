#pragma once

#include "connection.h"

#include <QDateTime>
#include <QList>
#include <QTemporaryDir>

#include <memory>

namespace tarvik::bench {

// A throwaway database on the local server filled with a year (or a month)
// of planner events, dropped again when the object goes.
class BenchDatabase
{
public:
    struct Size
    {
        int events = 200000;
        int workPlaces = 50;
        int year = 2026;
        // 1 to 12 puts every event into that month of the year; 0 spreads
        // them over the whole year.
        int month = 0;
    };

    explicit BenchDatabase(Size size);
    ~BenchDatabase();
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;

    // "localhost:/tmp/.../bench.gdb"
    [[nodiscard]] const QString& name() const { return m_name; }
    [[nodiscard]] const Size& size() const { return m_size; }
    // Work place keys in the order they were created.
    [[nodiscard]] const QList<int>& workPlaces() const { return m_workPlaces; }
    // A new connection, opened, with its shared transaction started.
    [[nodiscard]] std::unique_ptr<db::Connection> connect() const;

    // Adds the work places and events and, unless left, recomputes the index
    // statistics as maintenance does; returns the seconds the filling took.
    enum class Statistics
    {
        Recompute,
        Leave // as a database filled since its indexes were made, never maintained
    };
    double fill(Statistics statistics = Statistics::Recompute);

private:
    void addWorkPlaces(db::Connection& c);
    void addEvents(db::Connection& c);

    Size m_size;
    QTemporaryDir m_dir;
    QString m_name;
    QList<int> m_workPlaces;
};

} // namespace tarvik::bench

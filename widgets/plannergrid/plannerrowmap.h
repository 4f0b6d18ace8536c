#pragma once

#include <QDate>
#include <QDateTime>

#include <optional>
#include <utility>

namespace tarvik::widgets {

// The arithmetic between grid rows and time. A row is either a slot of a
// given number of minutes on one day (day layout) or a whole day counted
// from a base date (period and month layouts). Rows are absolute: row r of a
// day layout starts r slots after midnight, so that the first row shown can
// be set from the first hour ("08:00" with 15 minutes per row is row 32).
class PlannerRowMap
{
public:
    enum class Unit
    {
        Minutes,
        Days
    };

    // A day layout of `day`, with the rows shown left as they are.
    void setDay(QDate day, int minutesPerRow);
    // A layout of one row per day starting at `firstDay` (row 0).
    void setDays(QDate firstDay);
    // First and last row shown, both included.
    void setRows(int first, int last);

    [[nodiscard]] bool operator==(const PlannerRowMap& other) const = default;

    [[nodiscard]] Unit unit() const { return m_unit; }
    [[nodiscard]] QDate baseDate() const { return m_base; }
    [[nodiscard]] int minutesPerRow() const { return m_minutes; }
    [[nodiscard]] int firstRow() const { return m_first; }
    [[nodiscard]] int lastRow() const { return m_last; }
    [[nodiscard]] int rowCount() const { return m_last >= m_first ? m_last - m_first + 1 : 0; }

    [[nodiscard]] QDateTime rowStart(int row) const;
    [[nodiscard]] QDateTime rowEnd(int row) const { return rowStart(row + 1); }
    // The absolute row position of a moment, fractional inside a row; in
    // the days units a moment counts only by its day, so that an item
    // occupies whole day rows.
    [[nodiscard]] double rowAt(const QDateTime& moment) const;
    // Rows covered by [start, end), relative to the first row shown and
    // clipped to the rows shown; nothing when no shown row is touched.
    [[nodiscard]] std::optional<std::pair<double, double>> span(const QDateTime& start,
                                                                const QDateTime& end) const;
    // The moment `rows` rows after (or before) `moment`: minutes in the day
    // layout, days otherwise.
    [[nodiscard]] QDateTime shifted(const QDateTime& moment, int rows) const;

    // 60 divided by the minutes per row, whole division (4, 2 or 1).
    [[nodiscard]] static int rowsPerHour(int minutesPerRow);
    // The hour of a time text "HH:MM": its first two characters, minutes
    // ignored ("08:30" gives 8).
    [[nodiscard]] static int hourOf(const QString& timeText);
    // Monday and Sunday of the week holding `day`.
    [[nodiscard]] static std::pair<QDate, QDate> weekOf(QDate day);

private:
    Unit m_unit = Unit::Minutes;
    QDate m_base = QDate::currentDate();
    int m_minutes = 30;
    int m_first = 0;
    int m_last = 47;
};

} // namespace tarvik::widgets

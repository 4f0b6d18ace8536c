#pragma once

#include "daymarks.h"
#include "query.h"

#include <QDate>
#include <QPointer>
#include <QWidget>

namespace tarvik::widgets {

// A month calendar bound to the planner's rows: one month, weeks from
// Monday, no week numbers; days that hold events are marked by a rectangle
// in the accent colour, weekends are red and today is framed. The marks can
// be switched off while the rows are being reloaded.
//
// Keys: the arrows move the date by a day or a week, Page Up and Page Down
// by a month, Enter or Space choose it as a click does. A move into another
// month is reported as the month buttons report it.
class PlannerCalendar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTitleHeight = 24;
    static constexpr int kWeekdayHeight = 18;

    explicit PlannerCalendar(QWidget* parent = nullptr);

    void setQuery(db::Query* query, const QString& startField = QStringLiteral("STARTTIME"),
                  const QString& endField = QStringLiteral("ENDTIME"));
    [[nodiscard]] db::Query* query() const { return m_query; }

    // Moves the calendar without notifying: the program sets the date, the
    // user's clicks are what is reported.
    void setDate(QDate date);
    [[nodiscard]] QDate date() const { return m_date; }

    void setMarksEnabled(bool enabled);
    [[nodiscard]] bool marksEnabled() const { return m_marksEnabled; }
    // Reads the marks from the rows again.
    void refreshMarks();
    [[nodiscard]] bool isMarked(QDate day) const { return m_marksEnabled && m_marks.isMarked(day); }

    [[nodiscard]] static QString monthName(int month);
    // "янв" to "дек", as the date pickers' calendars title their months.
    [[nodiscard]] static QString shortMonthName(int month);
    void setShortMonthTitle(bool shortTitle);
    [[nodiscard]] static QString weekdayName(Qt::DayOfWeek day);
    [[nodiscard]] QString title() const;

    // Geometry, for hit tests and tests: an empty rectangle for a day of
    // another month.
    [[nodiscard]] QRect dayRect(QDate day) const;
    [[nodiscard]] QRect previousMonthRect() const;
    [[nodiscard]] QRect nextMonthRect() const;
    [[nodiscard]] QSize sizeHint() const override;

signals:
    void daySelected(QDate date);
    // The user moved to another month; `date` lies in the new month.
    void monthChanged(QDate date);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class PlannerCalendarAccessible;
    [[nodiscard]] QSizeF cellSize() const;
    [[nodiscard]] int leadingBlanks() const;
    void stepMonth(int months);
    // Moves the date by days, reporting a move into another month.
    void stepDays(int days);
    // A day of the month shown chosen, by a click or its accessible press.
    void chooseDay(QDate day);
    void paintTitle(QPainter& p) const;
    void paintWeekdays(QPainter& p) const;
    void paintDay(QPainter& p, QDate day) const;

    QPointer<db::Query> m_query;
    QString m_startField;
    QString m_endField;
    QList<QMetaObject::Connection> m_connections;
    QDate m_date = QDate::currentDate();
    bool m_marksEnabled = true;
    bool m_shortMonthTitle = false;
    DayMarks m_marks;
};

} // namespace tarvik::widgets

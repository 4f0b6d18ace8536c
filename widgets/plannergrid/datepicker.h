#pragma once

#include <QDate>
#include <QWidget>

class QFrame;
class QLineEdit;
class QToolButton;

namespace tarvik::widgets {

class PlannerCalendar;

// A date box whose date is chosen only from its drop-down month calendar
// (weekdays "Пн" to "Вс", months "янв" to "дек"); its text cannot be typed.
// The text is the date as "dd.MM.yyyy".
class DatePicker : public QWidget
{
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

    [[nodiscard]] QDate date() const { return m_date; }
    void setDate(QDate date);
    [[nodiscard]] QString text() const;
    // Opens the drop-down calendar at the picker's date.
    void showCalendar();
    [[nodiscard]] PlannerCalendar* calendar() const { return m_calendar; }
    [[nodiscard]] bool isCalendarShown() const;

signals:
    void dateChanged(QDate date);

protected:
    // F4 and Alt+Down open the calendar, as in a drop-down box.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void daySelected(QDate day);

    QDate m_date;
    QLineEdit* m_text;
    QToolButton* m_drop;
    QFrame* m_popup;
    PlannerCalendar* m_calendar;
};

} // namespace tarvik::widgets

#pragma once

#include "accessibletable.h"

#include <QDate>

namespace tarvik::widgets {

class PlannerCalendar;

// What a screen reader sees of the month calendar: a table of six weeks by
// seven weekdays under the weekday names, each cell a day of the month
// shown (the cells before the 1st and after the last day are empty), and
// the two buttons that move to the previous and the next month. The
// calendar's name is its title, month and year. Pressing a day chooses it
// as a click does.
//
// Children: 0 and 1 the month buttons, 2 to 8 the weekday headers, then
// the 42 cells row by row. Their interfaces read the calendar each time,
// so that they stay right when the month changes.
class PlannerCalendarAccessible : public AccessibleTable
{
public:
    static constexpr int kButtons = 2;
    static constexpr int kWeeks = 6;
    static constexpr int kDays = 7;

    explicit PlannerCalendarAccessible(PlannerCalendar* calendar);
    ~PlannerCalendarAccessible() override;

    [[nodiscard]] PlannerCalendar* calendar() const;

    void* interface_cast(QAccessible::InterfaceType type) override;
    [[nodiscard]] QString text(QAccessible::Text type) const override;
    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;
    [[nodiscard]] QAccessibleInterface* focusChild() const override;

    [[nodiscard]] QAccessibleInterface* cellAt(int row, int column) const override;
    [[nodiscard]] int selectedCellCount() const override;
    [[nodiscard]] QList<QAccessibleInterface*> selectedCells() const override;
    [[nodiscard]] QString columnDescription(int column) const override;
    [[nodiscard]] QString rowDescription(int) const override { return {}; }
    [[nodiscard]] int columnCount() const override { return kDays; }
    [[nodiscard]] int rowCount() const override { return kWeeks; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // The day in a cell; invalid for the empty cells.
    [[nodiscard]] QDate dayAt(int row, int column) const;
    [[nodiscard]] QRect cellRect(int row, int column) const;
    // What the children do when pressed.
    void chooseDay(QDate day);
    void stepMonth(int months);

    // Sent by the calendar while an accessibility client listens: the date
    // moved, within the month or to another one.
    static void dateChanged(PlannerCalendar* calendar, bool monthChanged);

private:
    [[nodiscard]] QRect toGlobal(const QRect& local) const;

    mutable QList<QAccessible::Id> m_children; // by child index, made on demand
};

// The factory's part for the calendar: its interface when `object` is one.
[[nodiscard]] QAccessibleInterface* plannerCalendarAccessible(const QString& key, QObject* object);

} // namespace tarvik::widgets

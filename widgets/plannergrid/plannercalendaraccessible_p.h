#pragma once

#include "accessibletable.h"

namespace tarvik::widgets {

class PlannerCalendarAccessible;

// One child of the calendar by its index: a month button, a weekday header
// or a day cell.
class PlannerCalendarPartAccessible : public AccessibleCell
{
public:
    PlannerCalendarPartAccessible(PlannerCalendarAccessible* calendar, int index);

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QAccessibleInterface* parent() const override;
    [[nodiscard]] QString text(QAccessible::Text type) const override;
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override;
    [[nodiscard]] QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] bool isSelected() const override;
    [[nodiscard]] QList<QAccessibleInterface*> columnHeaderCells() const override;
    [[nodiscard]] QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    [[nodiscard]] int columnIndex() const override;
    [[nodiscard]] int rowIndex() const override;
    [[nodiscard]] QAccessibleInterface* table() const override;

    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    [[nodiscard]] int index() const { return m_index; }

private:
    enum class Kind
    {
        Button,
        Header,
        Day
    };
    [[nodiscard]] Kind kind() const;
    // Index among the day cells (row * 7 + column), or among the headers.
    [[nodiscard]] int offset() const;
    [[nodiscard]] QDate day() const;

    PlannerCalendarAccessible* m_calendar;
    int m_index;
};

} // namespace tarvik::widgets

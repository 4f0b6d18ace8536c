#pragma once

#include "accessibletable.h"

namespace tarvik::widgets {

class PlannerGridAccessible;
struct PlannerItem;

// A cell, a header or the corner of the planner grid's table, in
// header-inclusive coordinates (row 0 the column headers, column 0 the row
// headers). It reads the grid each time it is asked, so that it follows
// scrolling and resizing.
class PlannerGridCellAccessible : public AccessibleCell
{
public:
    PlannerGridCellAccessible(PlannerGridAccessible* table, int row, int column);

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QAccessibleInterface* parent() const override;
    [[nodiscard]] QString text(QAccessible::Text type) const override;
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override;
    [[nodiscard]] QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] bool isSelected() const override;
    [[nodiscard]] QList<QAccessibleInterface*> columnHeaderCells() const override;
    [[nodiscard]] QList<QAccessibleInterface*> rowHeaderCells() const override;
    [[nodiscard]] int columnIndex() const override { return m_column - 1; }
    [[nodiscard]] int rowIndex() const override { return m_row - 1; }
    [[nodiscard]] QAccessibleInterface* table() const override;

    // A cell is chosen as a click chooses it.
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    [[nodiscard]] bool isCell() const { return m_row > 0 && m_column > 0; }

    PlannerGridAccessible* m_table;
    int m_row;
    int m_column;
};

// An item over the grid's cells: its header and times as its name, the
// rest of its text and its work place as its description.
class PlannerGridItemAccessible : public AccessiblePart
{
public:
    PlannerGridItemAccessible(PlannerGridAccessible* table, const PlannerItem* item);

    [[nodiscard]] const PlannerItem* item() const { return m_item; }

    [[nodiscard]] bool isValid() const override;
    [[nodiscard]] QAccessibleInterface* parent() const override;
    [[nodiscard]] QString text(QAccessible::Text type) const override;
    [[nodiscard]] QRect rect() const override;
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }
    [[nodiscard]] QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // Pressing an item selects it, as a click does.
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    PlannerGridAccessible* m_table;
    const PlannerItem* m_item;
};

} // namespace tarvik::widgets

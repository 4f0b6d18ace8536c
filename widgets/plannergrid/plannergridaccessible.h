#pragma once

#include "accessibletable.h"

#include <QHash>

namespace tarvik::widgets {

class PlannerGrid;
struct PlannerItem;

// What a screen reader sees of the planner grid: a table of the rows shown
// (time slots or days) by the positions (work places), with the header
// captions as column headers and the sidebar labels as row headers, and
// the items laid out over it as further children after the cells.
//
// Children are numbered as a table with its headers: index
// r * (columns + 1) + c, where row 0 holds the corner and the column
// headers and column 0 the row headers; the items follow in the order they
// are drawn. Cell and item interfaces are made only when asked for and
// kept until what they stand for goes: an item's interface is deleted with
// the item, so that its id never leads to a deleted item; the cells' ones
// go on every change of the grid's shape.
class PlannerGridAccessible : public AccessibleTable
{
public:
    explicit PlannerGridAccessible(PlannerGrid* grid);
    ~PlannerGridAccessible() override;

    [[nodiscard]] PlannerGrid* grid() const { return m_grid; }

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
    [[nodiscard]] QString rowDescription(int row) const override;
    [[nodiscard]] int columnCount() const override;
    [[nodiscard]] int rowCount() const override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The interface of a shown item, made when first asked for; null for an
    // item that is not laid out (outside the rows or columns shown).
    [[nodiscard]] QAccessibleInterface* itemInterface(const PlannerItem* item) const;
    // A cell or header in header-inclusive coordinates: row 0 and column 0
    // are the headers.
    [[nodiscard]] QAccessibleInterface* tableChild(int row, int column) const;

    // What the children read of the grid. Rows and columns count from the
    // first row shown and from position 0.
    [[nodiscard]] QString rowLabel(int row) const;
    [[nodiscard]] QString columnLabel(int column) const;
    [[nodiscard]] QString cellName(int row, int column) const;
    [[nodiscard]] QString cellDescription(int row, int column) const;
    [[nodiscard]] QRect tableRect(int row, int column) const;
    [[nodiscard]] bool isCellSelected(int row, int column) const;
    [[nodiscard]] bool isCellCurrent(int row, int column) const;
    [[nodiscard]] bool isShown(const QRect& global) const;
    [[nodiscard]] bool holds(const PlannerItem* item) const;
    [[nodiscard]] QString itemName(const PlannerItem& item) const;
    [[nodiscard]] QString itemDescription(const PlannerItem& item) const;
    [[nodiscard]] QRect itemRect(const PlannerItem& item) const;
    [[nodiscard]] int itemIndex(const PlannerItem* item) const;
    void selectCell(int row, int column);
    void selectItem(PlannerItem* item);

    // Called by the grid: an item is about to be deleted; the grid itself
    // is being destroyed.
    void forgetItem(const PlannerItem* item);
    void forgetGrid();

    // Notifications the grid sends while an accessibility client listens;
    // nothing is built otherwise.
    static void itemsReset(PlannerGrid* grid);
    static void itemEvent(PlannerGrid* grid, const PlannerItem* item, QAccessible::Event type);
    static void cellEvent(PlannerGrid* grid, int position, int absoluteRow, QAccessible::Event type);

private:
    [[nodiscard]] int cellChildren() const;
    void forgetCells();

    PlannerGrid* m_grid;
    mutable QHash<qint64, QAccessible::Id> m_cells; // by header-inclusive row and column
    mutable QHash<const PlannerItem*, QAccessible::Id> m_items;
};

// Makes the planner's custom-painted widgets known to the accessibility
// framework; safe to call more than once.
void installPlannerAccessibility();

} // namespace tarvik::widgets

#pragma once

#include <QAccessibleInterface>
#include <QAccessibleWidget>

namespace tarvik::widgets {

// A custom-painted table for screen readers: whole rows and columns are
// never selected there, and it has no caption or summary of its own.
class AccessibleTable : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    [[nodiscard]] QAccessibleInterface* caption() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* summary() const override { return nullptr; }
    [[nodiscard]] int selectedColumnCount() const override { return 0; }
    [[nodiscard]] int selectedRowCount() const override { return 0; }
    [[nodiscard]] QList<int> selectedColumns() const override { return {}; }
    [[nodiscard]] QList<int> selectedRows() const override { return {}; }
    [[nodiscard]] bool isColumnSelected(int) const override { return false; }
    [[nodiscard]] bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
};

// A part of such a table (a cell, a header, an item over the cells) that is
// no object of its own and has no children; its text is read only, and it
// is pressed, not worked with keys of its own.
class AccessiblePart : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    [[nodiscard]] QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    [[nodiscard]] QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

// A part that is one cell of the table.
class AccessibleCell : public AccessiblePart, public QAccessibleTableCellInterface
{
public:
    [[nodiscard]] int columnExtent() const override { return 1; }
    [[nodiscard]] int rowExtent() const override { return 1; }
};

} // namespace tarvik::widgets

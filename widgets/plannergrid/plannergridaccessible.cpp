#include "plannergridaccessible.h"

#include "plannercalendaraccessible.h"
#include "plannergrid.h"
#include "plannergridaccessible_p.h"
#include "plannermarkup.h"

#include <QScrollBar>

namespace tarvik::widgets {

namespace {

qint64 cellKey(int row, int column)
{
    return (qint64(row) << 32) | quint32(column);
}

QString timeSpan(const QDateTime& start, const QDateTime& end, bool withDate)
{
    const QString time = QStringLiteral("HH:mm");
    const QString dated = QStringLiteral("dd.MM.yyyy HH:mm");
    if (start.date() != end.date())
        return start.toString(dated) + QStringLiteral(" - ") + end.toString(dated);
    return start.toString(withDate ? dated : time) + QStringLiteral(" - ") + end.toString(time);
}

QAccessibleInterface* accessibleFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String(PlannerGrid::staticMetaObject.className()))
        if (auto* grid = qobject_cast<PlannerGrid*>(object))
            return new PlannerGridAccessible(grid);
    return plannerCalendarAccessible(key, object);
}

} // namespace

void installPlannerAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

PlannerGridAccessible::PlannerGridAccessible(PlannerGrid* grid)
    : AccessibleTable(grid, QAccessible::Table), m_grid(grid)
{
    grid->m_accessible = this;
}

PlannerGridAccessible::~PlannerGridAccessible()
{
    if (m_grid && m_grid->m_accessible == this)
        m_grid->m_accessible = nullptr;
    forgetGrid();
}

void PlannerGridAccessible::forgetGrid()
{
    forgetCells();
    const auto items = std::exchange(m_items, {});
    for (QAccessible::Id id : items)
        QAccessible::deleteAccessibleInterface(id);
    m_grid = nullptr;
}

void PlannerGridAccessible::forgetCells()
{
    const auto cells = std::exchange(m_cells, {});
    for (QAccessible::Id id : cells)
        QAccessible::deleteAccessibleInterface(id);
}

void PlannerGridAccessible::forgetItem(const PlannerItem* item)
{
    const auto it = m_items.constFind(item);
    if (it == m_items.constEnd())
        return;
    const QAccessible::Id id = *it;
    m_items.erase(it);
    QAccessible::deleteAccessibleInterface(id);
}

void* PlannerGridAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

// Without a name of its own the grid is called by its caption title (the
// day, the week or the month shown).
QString PlannerGridAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Name && m_grid && m_grid->accessibleName().isEmpty())
        return m_grid->captionTitle();
    return QAccessibleWidget::text(type);
}

int PlannerGridAccessible::columnCount() const
{
    return m_grid ? m_grid->positions() : 0;
}

int PlannerGridAccessible::rowCount() const
{
    return m_grid ? m_grid->rowMap().rowCount() : 0;
}

int PlannerGridAccessible::cellChildren() const
{
    return (rowCount() + 1) * (columnCount() + 1);
}

int PlannerGridAccessible::childCount() const
{
    if (!m_grid)
        return 0;
    m_grid->ensureLayout();
    return cellChildren() + int(m_grid->m_views.size());
}

QAccessibleInterface* PlannerGridAccessible::child(int index) const
{
    if (!m_grid || index < 0)
        return nullptr;
    const int cells = cellChildren();
    if (index < cells)
        return tableChild(index / (columnCount() + 1), index % (columnCount() + 1));
    m_grid->ensureLayout();
    const size_t view = size_t(index - cells);
    return view < m_grid->m_views.size() ? itemInterface(m_grid->m_views[view].item) : nullptr;
}

int PlannerGridAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (const auto* item = dynamic_cast<const PlannerGridItemAccessible*>(child)) {
        const int index = itemIndex(item->item());
        return index < 0 ? -1 : cellChildren() + index;
    }
    if (auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface()) {
        if (cell->table() != this)
            return -1;
        return (cell->rowIndex() + 1) * (columnCount() + 1) + cell->columnIndex() + 1;
    }
    return -1;
}

QAccessibleInterface* PlannerGridAccessible::tableChild(int row, int column) const
{
    if (!m_grid || row < 0 || column < 0 || row > rowCount() || column > columnCount())
        return nullptr;
    const qint64 key = cellKey(row, column);
    if (const auto it = m_cells.constFind(key); it != m_cells.constEnd())
        return QAccessible::accessibleInterface(*it);
    auto* cell = new PlannerGridCellAccessible(const_cast<PlannerGridAccessible*>(this), row, column);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface* PlannerGridAccessible::cellAt(int row, int column) const
{
    if (row < 0 || column < 0)
        return nullptr;
    return tableChild(row + 1, column + 1);
}

QAccessibleInterface* PlannerGridAccessible::itemInterface(const PlannerItem* item) const
{
    if (!m_grid || !item || itemIndex(item) < 0)
        return nullptr;
    if (const auto it = m_items.constFind(item); it != m_items.constEnd())
        return QAccessible::accessibleInterface(*it);
    auto* iface = new PlannerGridItemAccessible(const_cast<PlannerGridAccessible*>(this), item);
    m_items.insert(item, QAccessible::registerAccessibleInterface(iface));
    return iface;
}

int PlannerGridAccessible::itemIndex(const PlannerItem* item) const
{
    if (!m_grid)
        return -1;
    m_grid->ensureLayout();
    const auto& views = m_grid->m_views;
    for (size_t i = 0; i < views.size(); ++i)
        if (views[i].item == item)
            return int(i);
    return -1;
}

bool PlannerGridAccessible::holds(const PlannerItem* item) const
{
    return m_grid && m_grid->holds(item);
}

// The caption bar above the headers belongs to the grid itself.
QAccessibleInterface* PlannerGridAccessible::childAt(int x, int y) const
{
    if (!m_grid)
        return nullptr;
    const QPoint pos = m_grid->viewport()->mapFromGlobal(QPoint(x, y));
    if (!m_grid->viewport()->rect().contains(pos) || pos.y() < PlannerGrid::kCaptionHeight)
        return nullptr;
    const bool sidebar = pos.x() < m_grid->sidebarWidth();
    const int column = sidebar ? 0 : m_grid->columnAt(pos.x()) + 1;
    if (pos.y() < m_grid->contentTop())
        return tableChild(0, column);
    if (!sidebar)
        if (const PlannerItem* item = m_grid->itemAt(pos))
            return itemInterface(item);
    return tableChild(m_grid->rowAt(pos.y()) - m_grid->rowMap().firstRow() + 1, column);
}

// The selected item, otherwise the current cell.
QAccessibleInterface* PlannerGridAccessible::focusChild() const
{
    if (!m_grid || !m_grid->hasFocus())
        return nullptr;
    if (const PlannerItem* item = m_grid->selectedItem())
        if (QAccessibleInterface* iface = itemInterface(item))
            return iface;
    const QPoint cell = m_grid->currentCell();
    return cellAt(cell.y() - m_grid->rowMap().firstRow(), cell.x());
}

int PlannerGridAccessible::selectedCellCount() const
{
    if (!m_grid || !m_grid->hasCellSelection())
        return 0;
    return qAbs(m_grid->m_cellCurrent - m_grid->m_cellAnchor) + 1;
}

QList<QAccessibleInterface*> PlannerGridAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    if (!m_grid || !m_grid->hasCellSelection())
        return cells;
    const int first = qMin(m_grid->m_cellAnchor, m_grid->m_cellCurrent) - m_grid->rowMap().firstRow();
    for (int i = 0; i < selectedCellCount(); ++i)
        cells << cellAt(first + i, m_grid->selectionPosition());
    return cells;
}

QString PlannerGridAccessible::columnDescription(int column) const
{
    return columnLabel(column);
}

QString PlannerGridAccessible::rowDescription(int row) const
{
    return rowLabel(row);
}

// The children of the former shape go with it; items keep their
// interfaces for as long as they live.
void PlannerGridAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    if (event->modelChangeType() == QAccessibleTableModelChangeEvent::ModelReset)
        forgetCells();
}

QString PlannerGridAccessible::rowLabel(int row) const
{
    return m_grid ? m_grid->rowLabel(row + m_grid->rowMap().firstRow()) : QString();
}

QString PlannerGridAccessible::columnLabel(int column) const
{
    return m_grid ? m_grid->headerCaptions().value(column + 1) : QString();
}

QString PlannerGridAccessible::cellName(int row, int column) const
{
    return rowLabel(row) + QStringLiteral(", ") + columnLabel(column);
}

// The headers of the items over a cell.
QString PlannerGridAccessible::cellDescription(int row, int column) const
{
    if (!m_grid)
        return {};
    m_grid->ensureLayout();
    const double top = row * m_grid->rowHeight();
    const double bottom = top + m_grid->rowHeight();
    QStringList headers;
    for (const auto& view : m_grid->m_views)
        if (view.item->position == column && view.rect.top() < bottom && view.rect.bottom() > top)
            headers << plannerMarkupLines(view.item->text).value(0);
    return headers.join(QStringLiteral("; "));
}

QRect PlannerGridAccessible::tableRect(int row, int column) const
{
    if (!m_grid)
        return {};
    const PlannerGrid& g = *m_grid;
    const int firstRow = g.rowMap().firstRow();
    const QRect cell = g.cellRect(qMax(0, column - 1), firstRow + qMax(0, row - 1));
    QRect r(cell.left(), PlannerGrid::kCaptionHeight, cell.width(), PlannerGrid::kHeaderHeight);
    if (row > 0)
        r = QRect(r.left(), cell.top(), r.width(), cell.height());
    if (column == 0)
        r = QRect(0, r.top(), g.sidebarWidth(), r.height());
    return QRect(g.viewport()->mapToGlobal(r.topLeft()), r.size());
}

bool PlannerGridAccessible::isCellSelected(int row, int column) const
{
    if (!m_grid || !m_grid->hasCellSelection() || column != m_grid->selectionPosition())
        return false;
    const int absolute = row + m_grid->rowMap().firstRow();
    return absolute >= qMin(m_grid->m_cellAnchor, m_grid->m_cellCurrent) &&
           absolute <= qMax(m_grid->m_cellAnchor, m_grid->m_cellCurrent);
}

bool PlannerGridAccessible::isCellCurrent(int row, int column) const
{
    if (!m_grid || !m_grid->hasFocus() || m_grid->selectedItem())
        return false;
    return m_grid->currentCell() == QPoint(column, row + m_grid->rowMap().firstRow());
}

bool PlannerGridAccessible::isShown(const QRect& global) const
{
    if (!m_grid || !m_grid->isVisible())
        return false;
    const QWidget* vp = m_grid->viewport();
    return QRect(vp->mapToGlobal(QPoint(0, 0)), vp->size()).intersects(global);
}

QString PlannerGridAccessible::itemName(const PlannerItem& item) const
{
    const bool days = m_grid && m_grid->rowMap().unit() == PlannerRowMap::Unit::Days;
    const QString header = plannerMarkupLines(item.text).value(0);
    const QString times = timeSpan(item.start, item.end, days);
    return header.isEmpty() ? times : header + QStringLiteral(", ") + times;
}

QString PlannerGridAccessible::itemDescription(const PlannerItem& item) const
{
    QStringList parts = plannerMarkupLines(item.text).mid(1);
    const QString place = columnLabel(item.position);
    if (!place.isEmpty())
        parts << place;
    return parts.join(QStringLiteral(", "));
}

QRect PlannerGridAccessible::itemRect(const PlannerItem& item) const
{
    if (!m_grid)
        return {};
    const QRect r = m_grid->itemRect(&item);
    return QRect(m_grid->viewport()->mapToGlobal(r.topLeft()), r.size());
}

void PlannerGridAccessible::selectCell(int row, int column)
{
    if (!m_grid)
        return;
    const int absolute = row + m_grid->rowMap().firstRow();
    m_grid->selectCells(column, absolute, absolute);
    m_grid->m_currentPosition = column;
    m_grid->m_currentRow = absolute;
    emit m_grid->cellsSelected(column, m_grid->selectionStart(), m_grid->selectionEnd());
}

void PlannerGridAccessible::selectItem(PlannerItem* item)
{
    if (!m_grid || !m_grid->holds(item))
        return;
    // Whoever follows the selection may reload the items: the item is
    // found again by its key.
    const QVariant key = item->key;
    const bool bound = item->bound;
    m_grid->selectItem(item);
    if (m_grid && bound)
        item = m_grid->itemByKey(key);
    if (m_grid && item && m_grid->holds(item))
        m_grid->ensureVisible(item);
}

void PlannerGridAccessible::itemsReset(PlannerGrid* grid)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent event(grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void PlannerGridAccessible::itemEvent(PlannerGrid* grid, const PlannerItem* item, QAccessible::Event type)
{
    if (!QAccessible::isActive())
        return;
    // Asking for the grid's interface makes it when the client has not
    // yet looked at the grid.
    QAccessible::queryAccessibleInterface(grid);
    PlannerGridAccessible* table = grid->m_accessible;
    QAccessibleInterface* iface = table ? table->itemInterface(item) : nullptr;
    if (!iface)
        return;
    QAccessibleEvent event(iface, type);
    QAccessible::updateAccessibility(&event);
}

void PlannerGridAccessible::cellEvent(PlannerGrid* grid, int position, int absoluteRow,
                                      QAccessible::Event type)
{
    if (!QAccessible::isActive())
        return;
    QAccessible::queryAccessibleInterface(grid);
    PlannerGridAccessible* table = grid->m_accessible;
    QAccessibleInterface* iface =
        table ? table->cellAt(absoluteRow - grid->rowMap().firstRow(), position) : nullptr;
    if (!iface)
        return;
    QAccessibleEvent event(iface, type);
    QAccessible::updateAccessibility(&event);
}

// Cells and headers.

PlannerGridCellAccessible::PlannerGridCellAccessible(PlannerGridAccessible* table, int row, int column)
    : m_table(table), m_row(row), m_column(column)
{}

bool PlannerGridCellAccessible::isValid() const
{
    return m_table->grid() && m_row <= m_table->rowCount() && m_column <= m_table->columnCount();
}

QAccessibleInterface* PlannerGridCellAccessible::parent() const
{
    return m_table;
}

QAccessibleInterface* PlannerGridCellAccessible::table() const
{
    return m_table;
}

QString PlannerGridCellAccessible::text(QAccessible::Text type) const
{
    if (!isValid())
        return {};
    const int row = m_row - 1;
    const int column = m_column - 1;
    if (type == QAccessible::Name) {
        if (isCell())
            return m_table->cellName(row, column);
        if (m_row == 0 && m_column == 0)
            return m_table->grid()->headerCaptions().value(0);
        return m_row == 0 ? m_table->columnLabel(column) : m_table->rowLabel(row);
    }
    if (type == QAccessible::Description && isCell())
        return m_table->cellDescription(row, column);
    return {};
}

QRect PlannerGridCellAccessible::rect() const
{
    return isValid() ? m_table->tableRect(m_row, m_column) : QRect();
}

QAccessible::Role PlannerGridCellAccessible::role() const
{
    if (isCell())
        return QAccessible::Cell;
    return m_row == 0 ? QAccessible::ColumnHeader : QAccessible::RowHeader;
}

QAccessible::State PlannerGridCellAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    if (!m_table->isShown(rect())) {
        s.offscreen = true;
        s.invisible = !m_table->grid()->isVisible();
    }
    if (isCell()) {
        s.selectable = true;
        s.focusable = true;
        s.selected = isSelected();
        s.focused = m_table->isCellCurrent(m_row - 1, m_column - 1);
    }
    return s;
}

void* PlannerGridCellAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface && isCell())
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool PlannerGridCellAccessible::isSelected() const
{
    return isCell() && isValid() && m_table->isCellSelected(m_row - 1, m_column - 1);
}

QList<QAccessibleInterface*> PlannerGridCellAccessible::columnHeaderCells() const
{
    if (m_row == 0)
        return {};
    return {m_table->tableChild(0, m_column)};
}

QList<QAccessibleInterface*> PlannerGridCellAccessible::rowHeaderCells() const
{
    if (m_column == 0)
        return {};
    return {m_table->tableChild(m_row, 0)};
}

QStringList PlannerGridCellAccessible::actionNames() const
{
    return {pressAction(), setFocusAction()};
}

void PlannerGridCellAccessible::doAction(const QString& actionName)
{
    if (!isValid() || !isCell())
        return;
    if (actionName == setFocusAction())
        m_table->grid()->setFocus();
    if (actionName == pressAction() || actionName == setFocusAction())
        m_table->selectCell(m_row - 1, m_column - 1);
}

// Items.

PlannerGridItemAccessible::PlannerGridItemAccessible(PlannerGridAccessible* table, const PlannerItem* item)
    : m_table(table), m_item(item)
{}

// The table deletes this interface before the item goes; the check is for
// an item the grid no longer lays out.
bool PlannerGridItemAccessible::isValid() const
{
    return m_table->holds(m_item);
}

QAccessibleInterface* PlannerGridItemAccessible::parent() const
{
    return m_table;
}

QString PlannerGridItemAccessible::text(QAccessible::Text type) const
{
    if (!isValid())
        return {};
    if (type == QAccessible::Name)
        return m_table->itemName(*m_item);
    if (type == QAccessible::Description)
        return m_table->itemDescription(*m_item);
    return {};
}

QRect PlannerGridItemAccessible::rect() const
{
    return isValid() ? m_table->itemRect(*m_item) : QRect();
}

QAccessible::State PlannerGridItemAccessible::state() const
{
    QAccessible::State s;
    if (!isValid()) {
        s.invalid = true;
        return s;
    }
    s.selectable = true;
    s.focusable = true;
    s.selected = m_item->selected;
    s.focused = m_item->selected && m_table->grid()->hasFocus();
    s.movable = m_item->isMovable();
    s.sizeable = !m_item->fixedSize;
    s.readOnly = m_item->readOnly;
    if (!m_table->isShown(rect())) {
        s.offscreen = true;
        s.invisible = !m_table->grid()->isVisible();
    }
    return s;
}

void* PlannerGridItemAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList PlannerGridItemAccessible::actionNames() const
{
    return {pressAction(), setFocusAction()};
}

void PlannerGridItemAccessible::doAction(const QString& actionName)
{
    if (!isValid())
        return;
    if (actionName == setFocusAction())
        m_table->grid()->setFocus();
    if (actionName == pressAction() || actionName == setFocusAction())
        m_table->selectItem(const_cast<PlannerItem*>(m_item));
}

} // namespace tarvik::widgets

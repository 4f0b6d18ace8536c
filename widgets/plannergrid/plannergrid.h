#pragma once

#include "planneritem.h"
#include "planneritempictures.h"
#include "planneritemsource.h"
#include "plannerrowmap.h"

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class QElapsedTimer;
class QPainter;
class QTimer;

namespace tarvik::widgets {

// The planner grid: positions (columns) side by side after a sidebar, rows
// of time slots (day layout) or of days (period and month layouts), and the
// items of one attached item source laid over them. It is drawn by itself;
// layout arithmetic lives in PlannerRowMap and PlannerOverlapLayout, the
// items' boxes in PlannerItemPictures.
//
// Painting stays within a frame on a month of thousands of items: only the
// exposed part is painted, a scroll moves what is already on screen, and
// items are drawn from kept pictures, which idle time draws ahead for the
// page above and below the one shown.
//
// Mouse: a press on an item selects it (its row becomes current), a drag
// moves it in time and across columns, a drag of its bottom edge resizes it;
// a press on empty cells selects cells of one column. Links inside an item
// are reported by their target text instead of starting a drag.
//
// Keys, so that the grid can be worked without a mouse (and followed by a
// screen reader): the arrows, Page Up/Down, Home and End move the current
// cell and select it, with Shift they stretch the selected cells within
// the column; Space selects the items over the current cell one after the
// other; Enter opens the selected item as a double click does, Delete asks
// to delete it.
class PlannerGridAccessible;

class PlannerGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // Height of the caption bar above the header captions.
    static constexpr int kCaptionHeight = 32;
    static constexpr int kHeaderHeight = 22;
    // Width of the track stripe at an item's left edge.
    static constexpr int kTrackWidth = 5;
    // How close to an item's bottom edge a press resizes instead of moving.
    static constexpr int kResizeMargin = 4;

    explicit PlannerGrid(QWidget* parent = nullptr);
    ~PlannerGrid() override;

    void setPositions(int count);
    [[nodiscard]] int positions() const { return m_positions; }
    // Caption 0 stands over the sidebar, caption i + 1 over position i.
    void setHeaderCaptions(const QStringList& captions);
    [[nodiscard]] const QStringList& headerCaptions() const { return m_captions; }
    void setSidebarWidth(int width);
    [[nodiscard]] int sidebarWidth() const { return m_sidebarWidth; }
    void setCaptionTitle(const QString& title);
    [[nodiscard]] const QString& captionTitle() const { return m_title; }

    // Rows: minutes per row of the day layout, first and last row shown
    // (both included), and the working rows [first, end) counted from the
    // first row shown.
    void setMinutesPerRow(int minutes);
    [[nodiscard]] int minutesPerRow() const { return m_rows.minutesPerRow(); }
    void setFirstRow(int row);
    void setLastRow(int row);
    void setWorkingRows(int first, int end);
    [[nodiscard]] int workingFirst() const { return m_workFirst; }
    [[nodiscard]] int workingEnd() const { return m_workEnd; }
    void setRowHeight(int height);
    [[nodiscard]] int rowHeight() const { return m_rowHeight; }
    [[nodiscard]] const PlannerRowMap& rowMap() const { return m_rows; }
    // Weekdays drawn as non-working days.
    void setInactiveDay(Qt::DayOfWeek day, bool inactive);
    [[nodiscard]] bool isInactiveDay(Qt::DayOfWeek day) const { return m_inactiveDays[day % 7]; }
    [[nodiscard]] static QString weekdayName(Qt::DayOfWeek day);
    // The sidebar's label of an absolute row: its time, or its weekday and
    // date in the days layouts.
    [[nodiscard]] QString rowLabel(int row) const;

    // Pictures the item markup shows by index ("idx:N").
    void setImages(const QList<QPixmap>& images);

    // The one attached source; attaching another detaches the former.
    void setItemSource(PlannerItemSource* source);
    [[nodiscard]] PlannerItemSource* itemSource() const { return m_source; }

    // Every new item starts as a copy of this one.
    [[nodiscard]] PlannerItem& defaultItem() { return m_defaultItem; }
    [[nodiscard]] const PlannerItem& defaultItem() const { return m_defaultItem; }
    PlannerItem* addItem(PlannerItem item);
    void removeItem(PlannerItem* item);
    void clearItems();
    [[nodiscard]] int itemCount() const { return int(m_items.size()); }
    [[nodiscard]] PlannerItem* item(int index) const { return m_items.at(size_t(index)).get(); }
    [[nodiscard]] PlannerItem* itemByKey(const QVariant& key) const;
    // Call after changing items directly.
    void itemsChanged();
    // Puts an item to a new place, as a program refusing a move does.
    void moveItem(PlannerItem* item, const QDateTime& start, const QDateTime& end, int position);

    [[nodiscard]] PlannerItem* selectedItem() const;
    void selectItem(PlannerItem* item);
    void unselectAll();
    void ensureVisible(const PlannerItem* item);

    // Cells of one column, rows absolute and both included (kept to the
    // columns and rows shown). The first row becomes the current cell.
    void selectCells(int position, int firstRow, int lastRow);
    [[nodiscard]] bool hasCellSelection() const { return m_cellPosition >= 0; }
    [[nodiscard]] int selectionPosition() const { return m_cellPosition; }
    // The selection's span. A span ending at midnight ends at 23:59 of its
    // last day instead, so that what is created there stays within that
    // day (and within the month the day belongs to).
    [[nodiscard]] QDateTime selectionStart() const;
    [[nodiscard]] QDateTime selectionEnd() const;
    // The cell last clicked (an item's cell or a right-clicked one
    // included); after the columns or rows changed, the top left cell in
    // view. Always one of the cells shown.
    [[nodiscard]] QPoint currentCell() const;
    // Without selected cells the current cell becomes the selection, so that
    // a command acting on cells always has some, and only ones shown.
    void selectCurrentCellIfNone();
    // Forgets the selected cells and the current cell. The grid does this
    // itself whenever its columns, its rows or its item source change.
    void resetSelection();
    // An item over the selected cells. A bound one is inserted as a row
    // through the item source and becomes selected; an unbound one lives
    // only in the grid. Nothing when no cells are selected.
    PlannerItem* createItemAtSelection(bool bound);

    // Geometry in viewport coordinates, for hit tests and tests.
    [[nodiscard]] QRect cellRect(int position, int row) const;
    [[nodiscard]] QRect itemRect(const PlannerItem* item) const;
    [[nodiscard]] PlannerItem* itemAt(const QPoint& pos) const;

signals:
    void itemSelected(tarvik::widgets::PlannerItem* item);
    // End of a drag or resize, before the item is written to its row; a
    // handler may put the item back with moveItem().
    void itemMoved(tarvik::widgets::PlannerItem* item, const tarvik::widgets::PlannerMove& move);
    void itemDoubleClicked(tarvik::widgets::PlannerItem* item);
    void itemDeleteRequested(tarvik::widgets::PlannerItem* item);
    void anchorClicked(tarvik::widgets::PlannerItem* item, const QString& target);
    void cellsSelected(int position, const QDateTime& start, const QDateTime& end);
    // Writing an item to its row failed; the items are reloaded from the rows.
    void storeFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class PlannerItemSource;
    friend class PlannerGridAccessible;
    enum class DragMode
    {
        None,
        Move,
        Resize,
        Cells
    };
    struct ItemView
    {
        PlannerItem* item = nullptr;
        QRectF rect; // content coordinates: y from the first row shown
        QString pictureName;
    };

    [[nodiscard]] int contentTop() const { return kCaptionHeight + kHeaderHeight; }
    [[nodiscard]] double columnWidth() const;
    [[nodiscard]] int columnAt(int x) const;
    // Absolute row under a viewport y.
    [[nodiscard]] int rowAt(int y) const;
    [[nodiscard]] bool isWorkingRow(int row) const;
    // The end of a row as a span's end: midnight becomes 23:59 before it.
    [[nodiscard]] QDateTime spanEnd(int row) const;
    void rowsChanged();
    // The row map was set anew by the source: when it now means other
    // times, the selection goes.
    void rowsArranged(const PlannerRowMap& before);
    void updateScrollBar();
    void ensureLayout() const;
    void removeBoundItems();
    // Puts the items of rows in the order a full reload gives them: other
    // items first, then the rows' items by key.
    void orderBoundItems();
    [[nodiscard]] bool holds(const PlannerItem* item) const;
    // An item is about to be deleted: its accessible interface goes first.
    void forgetAccessible(const PlannerItem* item);
    // A bound item is known by its row key, so that its picture outlives
    // a reload of the items; an unbound one by itself.
    [[nodiscard]] static QString pictureName(const PlannerItem& item);
    [[nodiscard]] PlannerItemLook lookOf(const ItemView& view) const;
    [[nodiscard]] QString anchorAt(const PlannerItem& item, const QPoint& pos) const;

    void paintCaption(QPainter& p) const;
    void paintRows(QPainter& p, const QRect& exposed) const;
    void paintSidebar(QPainter& p, const QRect& exposed) const;
    void paintCellSelection(QPainter& p) const;
    void paintItems(QPainter& p, const QRect& exposed);
    // Draws, a slice of time at a go, the pictures of the items shown,
    // then of those on the page above and below.
    void prepareAhead();
    // Prepares the pictures missing in `area` (content coordinates) until
    // the slice is over; false when it ran out.
    bool prepareIn(const QRectF& area, const QElapsedTimer& slice);

    // A movement key applied to the current cell; false for other keys.
    bool moveByKey(const QKeyEvent* event);
    void ensureCellVisible(int row);
    // The next item over the current cell after the selected one.
    void selectNextItemAtCurrentCell();

    void rightPress(const QPoint& pos);
    void startDrag(PlannerItem* item, const QPoint& pos);
    void dragTo(const QPoint& pos);
    void finishDrag();
    void storeItem(const QVariant& key, PlannerItem* item);

    PlannerRowMap m_rows;
    int m_positions = 1;
    QStringList m_captions;
    int m_sidebarWidth = 40;
    QString m_title;
    int m_workFirst = 0;
    int m_workEnd = 0;
    int m_rowHeight = 20;
    bool m_inactiveDays[7] = {}; // by Qt::DayOfWeek % 7, Sunday first
    QPointer<PlannerItemSource> m_source;

    PlannerItem m_defaultItem;
    std::vector<std::unique_ptr<PlannerItem>> m_items;
    mutable std::vector<ItemView> m_views;
    mutable bool m_layoutDirty = true;
    // Items went without each being forgotten; idle time drops the
    // pictures of those that did not come back.
    bool m_picturesToSweep = false;
    PlannerItemPictures m_pictures;
    QTimer* m_prepareTimer = nullptr;

    int m_cellPosition = -1;
    int m_cellAnchor = 0;
    int m_cellCurrent = 0;
    // The current cell; a negative position stands for the top left cell.
    int m_currentPosition = -1;
    int m_currentRow = 0;

    DragMode m_drag = DragMode::None;
    PlannerItem* m_dragItem = nullptr;
    QPoint m_pressPos;
    int m_pressRow = 0;
    PlannerMove m_move;

    // Set by the accessible interface while it exists.
    PlannerGridAccessible* m_accessible = nullptr;
};

} // namespace tarvik::widgets

#include "plannergrid.h"

#include "plannergridaccessible.h"
#include "planneritemsource.h"
#include "planneroverlaplayout.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSet>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tarvik::widgets {

namespace {

const QColor kAccent(177, 185, 207);
const QColor kNonWorking(234, 234, 234);
const QColor kGridLine(208, 208, 208);
// Idle time spent on drawing pictures ahead at one go, short enough for
// input to wait no longer than a frame.
constexpr int kPrepareSliceMs = 8;

} // namespace

PlannerGrid::PlannerGrid(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("Planner"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    // Every paint covers what it exposes, so that a scroll may move the
    // pixels already shown instead of painting them again.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_prepareTimer = new QTimer(this);
    m_prepareTimer->setInterval(0);
    connect(m_prepareTimer, &QTimer::timeout, this, &PlannerGrid::prepareAhead);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_captions << QString();
    m_defaultItem.selectColor = QToolTip::palette().color(QPalette::ToolTipBase);
    m_defaultItem.selectFontColor = Qt::red;
    m_defaultItem.font = font();
    m_defaultItem.captionFont = font();
    m_defaultItem.captionFont.setBold(true);
    installPlannerAccessibility();
}

PlannerGrid::~PlannerGrid()
{
    if (m_accessible)
        m_accessible->forgetGrid();
    if (m_source)
        m_source->attachTo(nullptr);
}

// New columns are another group of work places: a column chosen before
// would now stand for another one.
void PlannerGrid::setPositions(int count)
{
    m_positions = qMax(1, count);
    resetSelection();
    itemsChanged();
}

void PlannerGrid::setHeaderCaptions(const QStringList& captions)
{
    if (captions != m_captions)
        resetSelection();
    m_captions = captions;
    viewport()->update();
}

void PlannerGrid::setSidebarWidth(int width)
{
    m_sidebarWidth = qMax(0, width);
    itemsChanged();
}

void PlannerGrid::setCaptionTitle(const QString& title)
{
    m_title = title;
    viewport()->update();
}

void PlannerGrid::setMinutesPerRow(int minutes)
{
    const PlannerRowMap before = m_rows;
    m_rows.setDay(m_rows.baseDate(), minutes);
    rowsArranged(before);
    rowsChanged();
}

void PlannerGrid::setFirstRow(int row)
{
    const PlannerRowMap before = m_rows;
    m_rows.setRows(row, m_rows.lastRow());
    rowsArranged(before);
    rowsChanged();
}

void PlannerGrid::setLastRow(int row)
{
    const PlannerRowMap before = m_rows;
    m_rows.setRows(m_rows.firstRow(), row);
    rowsArranged(before);
    rowsChanged();
}

void PlannerGrid::rowsArranged(const PlannerRowMap& before)
{
    if (!(before == m_rows))
        resetSelection();
}

void PlannerGrid::setWorkingRows(int first, int end)
{
    m_workFirst = first;
    m_workEnd = end;
    viewport()->update();
}

void PlannerGrid::setRowHeight(int height)
{
    m_rowHeight = qMax(4, height);
    rowsChanged();
}

void PlannerGrid::setInactiveDay(Qt::DayOfWeek day, bool inactive)
{
    m_inactiveDays[day % 7] = inactive;
    viewport()->update();
}

QString PlannerGrid::weekdayName(Qt::DayOfWeek day)
{
    static const char16_t* const names[] = {u"Вс", u"Пн", u"Вт", u"Ср", u"Чт", u"Пт", u"Сб"};
    return QString::fromUtf16(names[day % 7]);
}

QString PlannerGrid::rowLabel(int row) const
{
    const QDateTime start = m_rows.rowStart(row);
    if (m_rows.unit() == PlannerRowMap::Unit::Days)
        return weekdayName(Qt::DayOfWeek(start.date().dayOfWeek())) + QLatin1Char(' ') +
               start.toString(QStringLiteral("d.MM"));
    return start.time().minute() == 0 ? start.toString(QStringLiteral("HH:mm"))
                                      : start.toString(QStringLiteral(":mm"));
}

void PlannerGrid::setImages(const QList<QPixmap>& images)
{
    m_pictures.setImages(images);
    viewport()->update();
}

void PlannerGrid::setItemSource(PlannerItemSource* source)
{
    if (m_source == source)
        return;
    if (m_source)
        m_source->attachTo(nullptr);
    removeBoundItems();
    // Another view: its rows are days where the former had minutes, or the
    // other way round.
    resetSelection();
    m_source = source;
    if (source) {
        if (source->grid() && source->grid() != this)
            source->grid()->setItemSource(nullptr);
        source->attachTo(this);
        source->rangeChanged();
    }
    itemsChanged();
}

PlannerItem* PlannerGrid::addItem(PlannerItem item)
{
    m_items.push_back(std::make_unique<PlannerItem>(std::move(item)));
    m_layoutDirty = true;
    return m_items.back().get();
}

void PlannerGrid::removeItem(PlannerItem* item)
{
    if (item == m_dragItem) {
        m_dragItem = nullptr;
        m_drag = DragMode::None;
    }
    m_pictures.forget(pictureName(*item));
    forgetAccessible(item);
    std::erase_if(m_items, [item](const auto& p) { return p.get() == item; });
    itemsChanged();
}

void PlannerGrid::clearItems()
{
    m_dragItem = nullptr;
    m_drag = DragMode::None;
    for (const auto& p : m_items)
        forgetAccessible(p.get());
    m_items.clear();
    m_picturesToSweep = true;
    itemsChanged();
}

void PlannerGrid::orderBoundItems()
{
    m_layoutDirty = true;
    const auto bound =
        std::stable_partition(m_items.begin(), m_items.end(), [](const auto& p) { return !p->bound; });
    // Each key read once: after a merge of a few rows the items are nearly
    // always in order already, and every workstation orders them on every
    // alert.
    std::vector<qlonglong> keys;
    keys.reserve(size_t(m_items.end() - bound));
    for (auto it = bound; it != m_items.end(); ++it)
        keys.push_back((*it)->key.toLongLong());
    if (std::is_sorted(keys.begin(), keys.end()))
        return;
    std::vector<size_t> order(keys.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<std::unique_ptr<PlannerItem>> ordered;
    ordered.reserve(order.size());
    for (size_t i : order)
        ordered.push_back(std::move(*(bound + qsizetype(i))));
    std::move(ordered.begin(), ordered.end(), bound);
}

void PlannerGrid::removeBoundItems()
{
    if (m_dragItem && m_dragItem->bound) {
        m_dragItem = nullptr;
        m_drag = DragMode::None;
    }
    std::erase_if(m_items, [this](const auto& p) {
        if (p->bound)
            forgetAccessible(p.get());
        return p->bound;
    });
    m_picturesToSweep = true;
    m_layoutDirty = true;
}

PlannerItem* PlannerGrid::itemByKey(const QVariant& key) const
{
    // Row keys are numbers nearly always: compared as such, without
    // QVariant's general comparison, which a merge would call for every item.
    const int type = key.typeId();
    if (type == QMetaType::Int || type == QMetaType::LongLong) {
        const qlonglong k = key.toLongLong();
        for (const auto& p : m_items) {
            if (!p->bound)
                continue;
            const int t = p->key.typeId();
            if (t == QMetaType::Int ? *static_cast<const int*>(p->key.constData()) == k
                : t == QMetaType::LongLong ? *static_cast<const qlonglong*>(p->key.constData()) == k
                                           : p->key == key)
                return p.get();
        }
        return nullptr;
    }
    for (const auto& p : m_items)
        if (p->bound && p->key == key)
            return p.get();
    return nullptr;
}

bool PlannerGrid::holds(const PlannerItem* item) const
{
    return std::any_of(m_items.begin(), m_items.end(), [item](const auto& p) { return p.get() == item; });
}

void PlannerGrid::forgetAccessible(const PlannerItem* item)
{
    if (m_accessible)
        m_accessible->forgetItem(item);
}

void PlannerGrid::itemsChanged()
{
    m_layoutDirty = true;
    updateScrollBar();
    viewport()->update();
    PlannerGridAccessible::itemsReset(this);
}

void PlannerGrid::rowsChanged()
{
    itemsChanged();
}

void PlannerGrid::moveItem(PlannerItem* item, const QDateTime& start, const QDateTime& end, int position)
{
    item->start = start;
    item->end = end;
    item->position = position;
    m_layoutDirty = true;
    viewport()->update();
    PlannerGridAccessible::itemEvent(this, item, QAccessible::LocationChanged);
}

PlannerItem* PlannerGrid::selectedItem() const
{
    for (const auto& p : m_items)
        if (p->selected)
            return p.get();
    return nullptr;
}

void PlannerGrid::selectItem(PlannerItem* item)
{
    for (const auto& p : m_items)
        p->selected = p.get() == item;
    if (item) {
        m_cellPosition = -1;
        if (m_source)
            m_source->makeCurrent(*item);
    }
    viewport()->update();
    if (!item)
        return;
    if (hasFocus())
        PlannerGridAccessible::itemEvent(this, item, QAccessible::Focus);
    PlannerGridAccessible::itemEvent(this, item, QAccessible::Selection);
    emit itemSelected(item);
}

void PlannerGrid::unselectAll()
{
    for (const auto& p : m_items)
        p->selected = false;
    viewport()->update();
}

void PlannerGrid::ensureVisible(const PlannerItem* item)
{
    const QRect r = itemRect(item);
    if (r.isNull())
        return;
    if (r.top() < contentTop())
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (contentTop() - r.top()));
    else if (r.bottom() > viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                      qMin(r.top() - contentTop(), r.bottom() - viewport()->height()));
}

void PlannerGrid::selectCells(int position, int firstRow, int lastRow)
{
    unselectAll();
    m_cellPosition = qBound(0, position, m_positions - 1);
    m_cellAnchor = qBound(m_rows.firstRow(), firstRow, m_rows.lastRow());
    m_cellCurrent = qBound(m_rows.firstRow(), lastRow, m_rows.lastRow());
    m_currentPosition = m_cellPosition;
    m_currentRow = m_cellAnchor;
    viewport()->update();
    if (hasFocus())
        PlannerGridAccessible::cellEvent(this, m_cellPosition, m_cellAnchor, QAccessible::Focus);
    PlannerGridAccessible::cellEvent(this, m_cellPosition, m_cellAnchor, QAccessible::Selection);
}

QDateTime PlannerGrid::selectionStart() const
{
    return hasCellSelection() ? m_rows.rowStart(qMin(m_cellAnchor, m_cellCurrent)) : QDateTime();
}

QDateTime PlannerGrid::selectionEnd() const
{
    return hasCellSelection() ? spanEnd(qMax(m_cellAnchor, m_cellCurrent)) : QDateTime();
}

QDateTime PlannerGrid::spanEnd(int row) const
{
    const QDateTime end = m_rows.rowEnd(row);
    return end.time() == QTime(0, 0) ? end.addSecs(-60) : end;
}

QPoint PlannerGrid::currentCell() const
{
    if (m_currentPosition < 0)
        return {0, rowAt(contentTop())};
    return {qBound(0, m_currentPosition, m_positions - 1),
            qBound(m_rows.firstRow(), m_currentRow, m_rows.lastRow())};
}

void PlannerGrid::selectCurrentCellIfNone()
{
    if (hasCellSelection())
        return;
    const QPoint cell = currentCell();
    selectCells(cell.x(), cell.y(), cell.y());
}

void PlannerGrid::resetSelection()
{
    m_cellPosition = -1;
    m_currentPosition = -1;
    m_currentRow = 0;
    if (m_drag == DragMode::Cells)
        m_drag = DragMode::None;
    viewport()->update();
}

PlannerItem* PlannerGrid::createItemAtSelection(bool bound)
{
    if (!hasCellSelection())
        return nullptr;
    if (!bound) {
        PlannerItem item = m_defaultItem;
        item.start = selectionStart();
        item.end = selectionEnd();
        item.position = m_cellPosition;
        PlannerItem* added = addItem(std::move(item));
        itemsChanged();
        return added;
    }
    if (!m_source)
        return nullptr;
    const QVariant key = m_source->insertRow(selectionStart(), selectionEnd(), m_cellPosition);
    PlannerItem* added = itemByKey(key);
    if (added)
        selectItem(added);
    return added;
}

double PlannerGrid::columnWidth() const
{
    return qMax(1.0, double(viewport()->width() - m_sidebarWidth) / m_positions);
}

int PlannerGrid::columnAt(int x) const
{
    return qBound(0, int(std::floor((x - m_sidebarWidth) / columnWidth())), m_positions - 1);
}

int PlannerGrid::rowAt(int y) const
{
    const int contentY = y - contentTop() + verticalScrollBar()->value();
    const int row = int(std::floor(double(contentY) / m_rowHeight)) + m_rows.firstRow();
    return qBound(m_rows.firstRow(), row, m_rows.lastRow());
}

bool PlannerGrid::isWorkingRow(int row) const
{
    const int relative = row - m_rows.firstRow();
    if (relative < m_workFirst || relative >= m_workEnd)
        return false;
    const QDate day =
        m_rows.unit() == PlannerRowMap::Unit::Days ? m_rows.rowStart(row).date() : m_rows.baseDate();
    return !isInactiveDay(Qt::DayOfWeek(day.dayOfWeek()));
}

void PlannerGrid::updateScrollBar()
{
    const int content = m_rows.rowCount() * m_rowHeight;
    const int page = qMax(0, viewport()->height() - contentTop());
    verticalScrollBar()->setRange(0, qMax(0, content - page));
    verticalScrollBar()->setPageStep(page);
    verticalScrollBar()->setSingleStep(m_rowHeight);
}

QRect PlannerGrid::cellRect(int position, int row) const
{
    const double w = columnWidth();
    const int top = contentTop() - verticalScrollBar()->value() + (row - m_rows.firstRow()) * m_rowHeight;
    return QRect(int(m_sidebarWidth + position * w), top, int(w), m_rowHeight);
}

// Lays all items out at once: spans from the row map, lanes from the
// overlap layout. Runs only after items or rows changed.
void PlannerGrid::ensureLayout() const
{
    if (!m_layoutDirty)
        return;
    m_layoutDirty = false;
    m_views.clear();
    std::vector<PlannerSpan> spans;
    for (const auto& p : m_items) {
        const auto span = m_rows.span(p->start, p->end);
        if (!span || p->position < 0 || p->position >= m_positions)
            continue;
        m_views.push_back({p.get(), {}, pictureName(*p)});
        spans.push_back({span->first, span->second, p->position});
    }
    const std::vector<PlannerLane> lanes = PlannerOverlapLayout::arrange(spans);
    const double w = columnWidth();
    for (size_t i = 0; i < m_views.size(); ++i) {
        const double laneWidth = (w - 2) / lanes[i].lanes;
        const double x = m_sidebarWidth + spans[i].column * w + 1 + lanes[i].lane * laneWidth;
        const double top = spans[i].top * m_rowHeight;
        m_views[i].rect = QRectF(x, top, laneWidth, (spans[i].bottom - spans[i].top) * m_rowHeight);
    }
}

QRect PlannerGrid::itemRect(const PlannerItem* item) const
{
    ensureLayout();
    for (const ItemView& v : m_views)
        if (v.item == item)
            return v.rect.translated(0, contentTop() - verticalScrollBar()->value()).toRect();
    return {};
}

PlannerItem* PlannerGrid::itemAt(const QPoint& pos) const
{
    if (pos.y() < contentTop())
        return nullptr;
    ensureLayout();
    const QPointF content(pos.x(), pos.y() - contentTop() + verticalScrollBar()->value());
    // Later items are drawn over earlier ones, so they are hit first.
    for (auto it = m_views.rbegin(); it != m_views.rend(); ++it)
        if (it->rect.contains(content))
            return it->item;
    return nullptr;
}

QString PlannerGrid::pictureName(const PlannerItem& item)
{
    if (item.bound)
        return QLatin1Char('k') + item.key.toString();
    return QLatin1Char('p') + QString::number(quintptr(&item), 16);
}

PlannerItemLook PlannerGrid::lookOf(const ItemView& view) const
{
    return PlannerItemPictures::lookOf(*view.item, view.rect, m_rows.unit() == PlannerRowMap::Unit::Days,
                                       viewport()->devicePixelRatioF());
}

QString PlannerGrid::anchorAt(const PlannerItem& item, const QPoint& pos) const
{
    const QRect rect = itemRect(&item);
    const QRectF body = PlannerItemPictures::bodyRect(item, rect);
    if (!body.contains(pos))
        return {};
    const auto doc = m_pictures.document(item.text, item.font, body.width());
    return doc->documentLayout()->anchorAt(QPointF(pos) - body.topLeft());
}

void PlannerGrid::paintEvent(QPaintEvent* event)
{
    const QRect exposed = event->rect();
    QPainter p(viewport());
    p.fillRect(exposed, Qt::white);
    ensureLayout();
    if (exposed.bottom() >= contentTop()) {
        p.save();
        p.setClipRect(QRect(0, contentTop(), viewport()->width(), viewport()->height() - contentTop()));
        paintRows(p, exposed);
        paintCellSelection(p);
        paintItems(p, exposed);
        p.restore();
        if (exposed.left() < m_sidebarWidth)
            paintSidebar(p, exposed);
    }
    if (exposed.top() < contentTop())
        paintCaption(p);
    m_prepareTimer->start();
}

void PlannerGrid::paintItems(QPainter& p, const QRect& exposed)
{
    const int scroll = verticalScrollBar()->value();
    const QRectF visible(exposed.translated(0, scroll - contentTop()));
    p.translate(0, contentTop() - scroll);
    for (const ItemView& v : m_views)
        if (v.rect.intersects(visible))
            m_pictures.draw(p, v.pictureName, lookOf(v), v.rect.topLeft());
}

void PlannerGrid::prepareAhead()
{
    ensureLayout();
    QElapsedTimer slice;
    slice.start();
    if (m_picturesToSweep) {
        m_picturesToSweep = false;
        QSet<QString> names;
        names.reserve(qsizetype(m_views.size()));
        for (const ItemView& v : m_views)
            names.insert(v.pictureName);
        m_pictures.keepOnly(names);
    }
    const int page = qMax(1, viewport()->height() - contentTop());
    const int top = verticalScrollBar()->value();
    if (prepareIn(QRectF(0, top, viewport()->width(), page), slice) &&
        prepareIn(QRectF(0, top - page, viewport()->width(), 3 * page), slice))
        m_prepareTimer->stop();
}

bool PlannerGrid::prepareIn(const QRectF& area, const QElapsedTimer& slice)
{
    for (const ItemView& v : m_views) {
        if (!v.rect.intersects(area))
            continue;
        const PlannerItemLook look = lookOf(v);
        if (m_pictures.isReady(v.pictureName, look))
            continue;
        if (slice.elapsed() >= kPrepareSliceMs)
            return false;
        m_pictures.prepare(v.pictureName, look);
    }
    return true;
}

void PlannerGrid::paintCaption(QPainter& p) const
{
    const int width = viewport()->width();
    p.fillRect(0, 0, width, kCaptionHeight, kAccent);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, width, kCaptionHeight), Qt::AlignCenter, m_title);
    p.setFont(font());
    p.fillRect(0, kCaptionHeight, width, kHeaderHeight, palette().button());
    p.setPen(palette().color(QPalette::ButtonText));
    const double w = columnWidth();
    for (int i = 0; i < m_positions; ++i) {
        const QRect cell(int(m_sidebarWidth + i * w), kCaptionHeight, int(w), kHeaderHeight);
        p.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignCenter, m_captions.value(i + 1));
        p.drawLine(cell.topLeft(), cell.bottomLeft());
    }
    p.drawText(QRect(0, kCaptionHeight, m_sidebarWidth, kHeaderHeight), Qt::AlignCenter, m_captions.value(0));
}

void PlannerGrid::paintRows(QPainter& p, const QRect& exposed) const
{
    const int first = rowAt(qMax(contentTop(), exposed.top()));
    const int last = rowAt(exposed.bottom());
    const int right = viewport()->width();
    for (int row = first; row <= last; ++row) {
        const QRect r = cellRect(0, row);
        p.fillRect(QRect(m_sidebarWidth, r.top(), right - m_sidebarWidth, m_rowHeight),
                   isWorkingRow(row) ? QColor(Qt::white) : kNonWorking);
        p.setPen(kGridLine);
        p.drawLine(m_sidebarWidth, r.bottom(), right, r.bottom());
    }
    const double w = columnWidth();
    for (int i = 1; i < m_positions; ++i)
        p.drawLine(int(m_sidebarWidth + i * w), contentTop(), int(m_sidebarWidth + i * w),
                   viewport()->height());
}

void PlannerGrid::paintSidebar(QPainter& p, const QRect& exposed) const
{
    const QRect bar(0, contentTop(), m_sidebarWidth, viewport()->height() - contentTop());
    p.fillRect(bar.intersected(exposed), palette().button());
    p.save();
    p.setClipRect(bar);
    const bool days = m_rows.unit() == PlannerRowMap::Unit::Days;
    const int last = rowAt(exposed.bottom());
    for (int row = rowAt(qMax(contentTop(), exposed.top())); row <= last; ++row) {
        const QRect r = cellRect(0, row);
        const QRect label(0, r.top(), m_sidebarWidth - 3, m_rowHeight);
        const QDate day = m_rows.rowStart(row).date();
        p.setPen(days && isInactiveDay(Qt::DayOfWeek(day.dayOfWeek())) ? Qt::red : Qt::black);
        p.drawText(label, Qt::AlignRight | Qt::AlignTop, rowLabel(row));
        p.setPen(kGridLine);
        p.drawLine(0, r.bottom(), m_sidebarWidth, r.bottom());
    }
    p.restore();
}

void PlannerGrid::paintCellSelection(QPainter& p) const
{
    if (!hasCellSelection())
        return;
    const QRect top = cellRect(m_cellPosition, qMin(m_cellAnchor, m_cellCurrent));
    const QRect bottom = cellRect(m_cellPosition, qMax(m_cellAnchor, m_cellCurrent));
    QColor c = palette().color(QPalette::Highlight);
    c.setAlpha(90);
    p.fillRect(top.united(bottom), c);
}

void PlannerGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    itemsChanged();
}

// Rows, sidebar and items move together below the fixed caption and
// header; only the band scrolled in is painted.
void PlannerGrid::scrollContentsBy(int dx, int dy)
{
    viewport()->scroll(dx, dy,
                       QRect(0, contentTop(), viewport()->width(), viewport()->height() - contentTop()));
}

void PlannerGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (pos.y() < contentTop() || pos.x() < m_sidebarWidth)
        return;
    if (event->button() == Qt::RightButton) {
        rightPress(pos);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    PlannerItem* item = itemAt(pos);
    m_currentPosition = columnAt(pos.x());
    m_currentRow = rowAt(pos.y());
    if (!item) {
        m_drag = DragMode::Cells;
        selectCells(columnAt(pos.x()), rowAt(pos.y()), rowAt(pos.y()));
        return;
    }
    const QVariant key = item->key;
    selectItem(item);
    if (!holds(item))
        item = itemByKey(key);
    if (!item)
        return;
    const QString anchor = anchorAt(*item, pos);
    if (!anchor.isEmpty()) {
        emit anchorClicked(item, anchor);
        return;
    }
    startDrag(item, pos);
}

// A right click acts where it points: on an item it selects the item, on a
// cell outside the selected ones it selects that cell; a right click inside
// the selection keeps it for the menu's commands.
void PlannerGrid::rightPress(const QPoint& pos)
{
    const int column = columnAt(pos.x());
    const int row = rowAt(pos.y());
    if (PlannerItem* item = itemAt(pos)) {
        selectItem(item);
    } else if (!hasCellSelection() || column != m_cellPosition || row < qMin(m_cellAnchor, m_cellCurrent) ||
               row > qMax(m_cellAnchor, m_cellCurrent)) {
        selectCells(column, row, row);
        return;
    }
    m_currentPosition = column;
    m_currentRow = row;
}

void PlannerGrid::startDrag(PlannerItem* item, const QPoint& pos)
{
    const QRect rect = itemRect(item);
    const bool edge = pos.y() >= rect.bottom() - kResizeMargin;
    if (edge && !item->fixedSize)
        m_drag = DragMode::Resize;
    else if (item->isMovable())
        m_drag = DragMode::Move;
    else
        return;
    m_dragItem = item;
    m_pressPos = pos;
    m_pressRow = rowAt(pos.y());
    m_move = {item->start, item->end, item->position, item->start, item->end, item->position};
}

void PlannerGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_drag == DragMode::None) {
        PlannerItem* item = itemAt(pos);
        const bool edge = item && !item->fixedSize && pos.y() >= itemRect(item).bottom() - kResizeMargin;
        viewport()->setCursor(edge ? Qt::SizeVerCursor : Qt::ArrowCursor);
        return;
    }
    dragTo(pos);
}

void PlannerGrid::dragTo(const QPoint& pos)
{
    if (m_drag == DragMode::Cells) {
        m_cellCurrent = rowAt(pos.y());
        viewport()->update();
        return;
    }
    if (!m_dragItem)
        return;
    PlannerMove& m = m_move;
    if (m_drag == DragMode::Resize) {
        const QDateTime end = spanEnd(rowAt(pos.y()));
        m.newEnd = end > m.oldStart ? end : m_rows.shifted(m.oldStart, 1);
    } else {
        const int rows = m_dragItem->fixedTime ? 0 : rowAt(pos.y()) - m_pressRow;
        m.newStart = m_rows.shifted(m.oldStart, rows);
        m.newEnd = m_rows.shifted(m.oldEnd, rows);
        m.newPosition = m_dragItem->fixedPosition ? m.oldPosition : columnAt(pos.x());
    }
    moveItem(m_dragItem, m.newStart, m.newEnd, m.newPosition);
}

void PlannerGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag == DragMode::Cells) {
        m_drag = DragMode::None;
        emit cellsSelected(m_cellPosition, selectionStart(), selectionEnd());
        return;
    }
    if (m_drag != DragMode::None)
        dragTo(event->position().toPoint());
    finishDrag();
}

// Reports the move, lets a handler put the item back, then stores it. The
// handler may reload the items, so the item is found again by its key.
void PlannerGrid::finishDrag()
{
    PlannerItem* item = m_dragItem;
    const PlannerMove move = m_move;
    m_drag = DragMode::None;
    m_dragItem = nullptr;
    if (!item || (move.newStart == move.oldStart && move.newEnd == move.oldEnd &&
                  move.newPosition == move.oldPosition))
        return;
    const QVariant key = item->key;
    const bool bound = item->bound;
    emit itemMoved(item, move);
    if (bound)
        storeItem(key, itemByKey(key));
}

void PlannerGrid::storeItem(const QVariant& key, PlannerItem* item)
{
    if (!item || !m_source)
        return;
    try {
        if (!m_source->writeItem(*item)) {
            m_source->reload();
            if (PlannerItem* again = itemByKey(key))
                again->selected = true;
        }
    } catch (const std::exception& e) {
        m_source->reload();
        if (PlannerItem* again = itemByKey(key))
            again->selected = true;
        emit storeFailed(QString::fromUtf8(e.what()));
    }
}

void PlannerGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The item's row must be current for whatever the double click opens.
    PlannerItem* item = itemAt(event->position().toPoint());
    if (!item)
        return;
    if (!item->selected)
        selectItem(item);
    if (holds(item))
        emit itemDoubleClicked(item);
}

void PlannerGrid::keyPressEvent(QKeyEvent* event)
{
    PlannerItem* item = selectedItem();
    if (event->key() == Qt::Key_Delete && item) {
        emit itemDeleteRequested(item);
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && item) {
        emit itemDoubleClicked(item);
        return;
    }
    if (event->key() == Qt::Key_Space) {
        selectNextItemAtCurrentCell();
        return;
    }
    if (!moveByKey(event))
        QAbstractScrollArea::keyPressEvent(event);
}

bool PlannerGrid::moveByKey(const QKeyEvent* event)
{
    const QPoint cell = currentCell();
    const bool stretch = (event->modifiers() & Qt::ShiftModifier) && hasCellSelection();
    int column = cell.x();
    int row = stretch ? m_cellCurrent : cell.y();
    const int page = qMax(1, (viewport()->height() - contentTop()) / m_rowHeight);
    switch (event->key()) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_PageUp:
        row -= page;
        break;
    case Qt::Key_PageDown:
        row += page;
        break;
    case Qt::Key_Home:
        row = m_rows.firstRow();
        break;
    case Qt::Key_End:
        row = m_rows.lastRow();
        break;
    case Qt::Key_Left:
        --column;
        break;
    case Qt::Key_Right:
        ++column;
        break;
    default:
        return false;
    }
    row = qBound(m_rows.firstRow(), row, m_rows.lastRow());
    column = qBound(0, column, m_positions - 1);
    if (stretch && column == m_cellPosition) {
        m_cellCurrent = row;
        viewport()->update();
        PlannerGridAccessible::cellEvent(this, column, row, QAccessible::SelectionAdd);
    } else {
        selectCells(column, row, row);
    }
    ensureCellVisible(row);
    emit cellsSelected(m_cellPosition, selectionStart(), selectionEnd());
    return true;
}

void PlannerGrid::ensureCellVisible(int row)
{
    const QRect r = cellRect(0, row);
    QScrollBar* bar = verticalScrollBar();
    if (r.top() < contentTop())
        bar->setValue(bar->value() - (contentTop() - r.top()));
    else if (r.bottom() > viewport()->height())
        bar->setValue(bar->value() + (r.bottom() - viewport()->height()));
}

void PlannerGrid::selectNextItemAtCurrentCell()
{
    ensureLayout();
    const QPoint cell = currentCell();
    const double top = (cell.y() - m_rows.firstRow()) * m_rowHeight;
    std::vector<PlannerItem*> over;
    for (const ItemView& v : m_views)
        if (v.item->position == cell.x() && v.rect.top() < top + m_rowHeight && v.rect.bottom() > top)
            over.push_back(v.item);
    if (over.empty())
        return;
    const auto selected = std::find(over.begin(), over.end(), selectedItem());
    PlannerItem* next = selected == over.end() || selected + 1 == over.end() ? over.front() : *(selected + 1);
    // Selecting keeps the current cell, so that the keys go on from it.
    const int position = m_currentPosition;
    const int row = m_currentRow;
    selectItem(next);
    m_currentPosition = position < 0 ? cell.x() : position;
    m_currentRow = position < 0 ? cell.y() : row;
}

} // namespace tarvik::widgets

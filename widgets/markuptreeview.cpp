#include "markuptreeview.h"

#include "markupitemdelegate.h"
#include "markuptreemodel.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace tarvik::widgets {

MarkupTreeView::MarkupTreeView(QWidget* parent)
    : QTreeView(parent), m_model(new MarkupTreeModel(this)), m_delegate(new MarkupItemDelegate(this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setHeaderHidden(true);
    setIndentation(19);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QVariant MarkupTreeView::currentValue() const
{
    return currentIndex().data(Qt::UserRole);
}

void MarkupTreeView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    QTreeView::mouseReleaseEvent(event);
    if (!index.isValid() || event->button() != Qt::LeftButton)
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    const QString href = m_delegate->anchorAt(option, index, pos);
    if (!href.isEmpty())
        emit linkClicked(index, href);
}

} // namespace tarvik::widgets

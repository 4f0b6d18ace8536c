#include "markupitemdelegate.h"

#include "markuprenderer.h"

#include <QApplication>
#include <QPainter>

namespace tarvik::widgets {

QString MarkupItemDelegate::markupOf(const QModelIndex& index)
{
    const QVariant markup = index.data(MarkupRole);
    return markup.isValid() ? markup.toString() : index.data(Qt::DisplayRole).toString();
}

QRect MarkupItemDelegate::textRect(QStyleOptionViewItem& option, const QModelIndex& index) const
{
    initStyleOption(&option, index);
    option.text.clear();
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    // With the text cleared the style gives no text rectangle; the cell less
    // the decoration is where the text would stand.
    QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &option, option.widget);
    if (rect.width() <= 0)
        rect = option.rect;
    return rect.adjusted(2, 0, -2, 0);
}

void MarkupItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    const QRect rect = textRect(opt, index);
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor color = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    MarkupRenderer(markupOf(index), opt.font, rect, Qt::AlignLeft | Qt::AlignVCenter).paint(*painter, color);
}

QSize MarkupItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QSize text = MarkupRenderer::sizeOf(markupOf(index), opt.font);
    const QSize base = QStyledItemDelegate::sizeHint(option, index);
    return {std::max(base.width(), text.width() + 8), std::max(base.height(), text.height() + 2)};
}

QString MarkupItemDelegate::anchorAt(const QStyleOptionViewItem& option, const QModelIndex& index,
                                     const QPoint& point) const
{
    QStyleOptionViewItem opt = option;
    const QRect rect = textRect(opt, index);
    return MarkupRenderer(markupOf(index), opt.font, rect, Qt::AlignLeft | Qt::AlignVCenter).anchorAt(point);
}

} // namespace tarvik::widgets

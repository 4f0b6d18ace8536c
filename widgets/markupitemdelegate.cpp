#include "markupitemdelegate.h"

#include "markupconverter.h"
#include "markuprenderer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

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

QString MarkupItemDelegate::cutText(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid() || index.data(Qt::ToolTipRole).isValid())
        return {};
    QStyleOptionViewItem opt = option;
    const QRect rect = textRect(opt, index);
    const QString markup = markupOf(index);
    if (MarkupRenderer(markup, opt.font, rect, Qt::AlignLeft | Qt::AlignVCenter).fits())
        return {};
    return MarkupConverter::standard().toPlainText(markup);
}

bool MarkupItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                   const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && event->type() == QEvent::ToolTip) {
        const QString text = cutText(option, index);
        if (!text.isEmpty()) {
            QToolTip::showText(event->globalPos(), text, view, option.rect);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace tarvik::widgets

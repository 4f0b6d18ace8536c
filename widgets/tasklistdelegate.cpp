#include "tasklistdelegate.h"

#include "tasklistmodel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QStyleOptionButton>

namespace tarvik::widgets {

namespace {

constexpr int kBoxSize = 13;

QRect boxRect(const QRect& cell)
{
    return QRect(cell.x() + (cell.width() - kBoxSize) / 2, cell.y() + (cell.height() - kBoxSize) / 2,
                 kBoxSize, kBoxSize);
}

} // namespace

void TaskListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    switch (index.column()) {
    case TaskListModel::Done:
        paintDone(painter, option, index);
        break;
    case TaskListModel::Progress:
        paintProgress(painter, option, index);
        break;
    default:
        QStyledItemDelegate::paint(painter, option, index);
        break;
    }
}

void TaskListDelegate::paintDone(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    item.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
    QStyleOptionButton box;
    box.rect = boxRect(option.rect);
    box.state = QStyle::State_Enabled;
    box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
}

void TaskListDelegate::paintProgress(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    const int percent = qBound(0, index.data(Qt::DisplayRole).toInt(), 100);
    const QRect bar = option.rect.adjusted(1, 1, -1, -1);
    const QRect done(bar.x(), bar.y(), bar.width() * percent / 100, bar.height());
    const QPalette& palette = option.palette;
    painter->save();
    painter->fillRect(bar, palette.color(QPalette::Base));
    painter->fillRect(done, palette.color(QPalette::Highlight));
    QFont font = option.font;
    font.setBold(true);
    painter->setFont(font);
    const QString figures = QString::number(percent);
    // White figures over the completed part, the highlight colour over the rest.
    painter->setClipRect(done);
    painter->setPen(Qt::white);
    painter->drawText(bar, Qt::AlignCenter, figures);
    painter->setClipRect(QRect(done.right() + 1, bar.y(), bar.right() - done.right(), bar.height()));
    painter->setPen(palette.color(QPalette::Highlight));
    painter->drawText(bar, Qt::AlignCenter, figures);
    painter->restore();
}

QWidget* TaskListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    if (index.column() != TaskListModel::Progress)
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QStringLiteral("edProgress"));
    spin->setRange(0, 100);
    spin->setFrame(false);
    return spin;
}

bool TaskListDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (index.column() != TaskListModel::Done || !(index.flags() & Qt::ItemIsUserCheckable))
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    bool toggle = false;
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        toggle = mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
        break;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        toggle = key == Qt::Key_Space || key == Qt::Key_Select;
        break;
    }
    default:
        break;
    }
    if (!toggle)
        return false;
    const bool ticked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, ticked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace tarvik::widgets

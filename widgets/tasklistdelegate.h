#pragma once

#include <QStyledItemDelegate>

namespace tarvik::widgets {

// Draws the task list's done box centred in its column and the progress as
// a bar: the completed part in the highlight colour with white figures, the
// rest in the window colour. A click on the box ticks or clears it; the
// progress is edited with a spin box from 0 to 100.
class TaskListDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    [[nodiscard]] QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    void paintDone(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintProgress(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace tarvik::widgets

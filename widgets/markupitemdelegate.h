#pragma once

#include <QStyledItemDelegate>

namespace tarvik::widgets {

// The role under which list and tree models keep an item's markup; the
// display role holds its plain text for keyboard search.
inline constexpr int MarkupRole = Qt::UserRole + 100;

// Draws items as rich caption markup: the MarkupRole text if the model has
// one, otherwise the display text taken as markup.
class MarkupItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The link target under point in the item drawn with option, or empty.
    [[nodiscard]] QString anchorAt(const QStyleOptionViewItem& option, const QModelIndex& index,
                                   const QPoint& point) const;
    // The whole text of an item its cell cuts (a long user name), for its
    // tooltip; empty when it fits or the model gives a tooltip of its own.
    [[nodiscard]] QString cutText(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    [[nodiscard]] static QString markupOf(const QModelIndex& index);
    [[nodiscard]] QRect textRect(QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace tarvik::widgets

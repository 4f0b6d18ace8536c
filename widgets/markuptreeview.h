#pragma once

#include <QTreeView>

namespace tarvik::widgets {

class MarkupItemDelegate;
class MarkupTreeModel;

// A tree whose entries show rich caption markup, over its own
// MarkupTreeModel; clicking a link in an entry reports its target.
class MarkupTreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit MarkupTreeView(QWidget* parent = nullptr);

    [[nodiscard]] MarkupTreeModel* markupModel() const { return m_model; }
    // The entry's value (Qt::UserRole) of the current entry.
    [[nodiscard]] QVariant currentValue() const;

signals:
    void linkClicked(const QModelIndex& index, const QString& href);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MarkupTreeModel* m_model;
    MarkupItemDelegate* m_delegate;
};

} // namespace tarvik::widgets

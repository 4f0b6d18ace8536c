#pragma once

#include <QAbstractItemModel>

#include <memory>
#include <vector>

namespace tarvik::widgets {

// A tree of entries written in rich caption markup, each carrying a value
// of the caller's (a key, a kind and a number...). The display role gives
// the plain text, MarkupRole the markup and Qt::UserRole the value.
class MarkupTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit MarkupTreeModel(QObject* parent = nullptr);
    ~MarkupTreeModel() override;

    QModelIndex appendItem(const QString& markup, const QVariant& value = {}, const QModelIndex& parent = {});
    void setMarkup(const QModelIndex& index, const QString& markup);
    void clear();

    [[nodiscard]] QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    [[nodiscard]] QModelIndex parent(const QModelIndex& child) const override;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Node;
    [[nodiscard]] Node* nodeOf(const QModelIndex& index) const;

    std::unique_ptr<Node> m_root;
};

} // namespace tarvik::widgets

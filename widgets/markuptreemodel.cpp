#include "markuptreemodel.h"

#include "markupconverter.h"
#include "markupitemdelegate.h"

namespace tarvik::widgets {

struct MarkupTreeModel::Node
{
    QString markup;
    QString plain;
    QVariant value;
    Node* parent = nullptr;
    std::vector<std::unique_ptr<Node>> children;

    [[nodiscard]] int row() const
    {
        if (!parent)
            return 0;
        for (size_t i = 0; i < parent->children.size(); ++i)
            if (parent->children[i].get() == this)
                return int(i);
        return -1;
    }
};

MarkupTreeModel::MarkupTreeModel(QObject* parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>())
{}

MarkupTreeModel::~MarkupTreeModel() = default;

MarkupTreeModel::Node* MarkupTreeModel::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_root.get();
}

QModelIndex MarkupTreeModel::appendItem(const QString& markup, const QVariant& value,
                                        const QModelIndex& parent)
{
    Node* owner = nodeOf(parent);
    const int row = int(owner->children.size());
    beginInsertRows(parent, row, row);
    auto node = std::make_unique<Node>();
    node->markup = markup;
    node->plain = MarkupConverter::standard().toPlainText(markup);
    node->value = value;
    node->parent = owner;
    owner->children.push_back(std::move(node));
    endInsertRows();
    return index(row, 0, parent);
}

void MarkupTreeModel::setMarkup(const QModelIndex& index, const QString& markup)
{
    if (!index.isValid())
        return;
    Node* node = nodeOf(index);
    node->markup = markup;
    node->plain = MarkupConverter::standard().toPlainText(markup);
    emit dataChanged(index, index, {Qt::DisplayRole, MarkupRole});
}

void MarkupTreeModel::clear()
{
    beginResetModel();
    m_root->children.clear();
    endResetModel();
}

QModelIndex MarkupTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node* owner = nodeOf(parent);
    if (column != 0 || row < 0 || row >= int(owner->children.size()))
        return {};
    return createIndex(row, column, owner->children[size_t(row)].get());
}

QModelIndex MarkupTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    Node* owner = nodeOf(child)->parent;
    if (owner == m_root.get())
        return {};
    return createIndex(owner->row(), 0, owner);
}

int MarkupTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int MarkupTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant MarkupTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return node->plain;
    case MarkupRole:
        return node->markup;
    case Qt::UserRole:
        return node->value;
    default:
        return {};
    }
}

} // namespace tarvik::widgets

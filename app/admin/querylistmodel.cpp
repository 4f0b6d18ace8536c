#include "querylistmodel.h"

#include "query.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace tarvik::admin {

QueryListModel::QueryListModel(db::Query& query, std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(std::move(columns))
{
    for (auto signal : {&db::Query::opened, &db::Query::closed})
        connect(&m_query, signal, this, &QueryListModel::refresh);
    for (auto signal : {&db::Query::rowChanged, &db::Query::rowInserted, &db::Query::rowRemoved})
        connect(&m_query, signal, this, &QueryListModel::refresh);
    connect(&m_query, &db::Query::currentChanged, this, &QueryListModel::followCurrent);
}

void QueryListModel::bindView(QAbstractItemView* view)
{
    m_view = view;
    view->setModel(this);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (m_syncing || !current.isValid() || m_query.state() != db::Query::State::Browse)
                    return;
                m_syncing = true;
                m_query.setRecNo(current.row());
                m_syncing = false;
            });
    followCurrent();
}

int QueryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_query.isOpen() ? 0 : m_query.recordCount();
}

int QueryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Column& column = m_columns[size_t(index.column())];
    const QVariant value =
        m_query.hasColumn(column.name) ? m_query.valueAt(index.row(), column.name) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return column.picture ? QVariant() : value.toString();
    case Qt::DecorationRole:
        return column.picture ? column.picture(value) : QVariant();
    case Qt::ForegroundRole:
        if (m_colour) {
            const QColor colour = m_colour(index.row());
            if (colour.isValid())
                return colour;
        }
        return {};
    default:
        return {};
    }
}

QVariant QueryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < int(m_columns.size()))
        return m_columns[size_t(section)].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void QueryListModel::refresh()
{
    beginResetModel();
    endResetModel();
    followCurrent();
}

void QueryListModel::followCurrent()
{
    if (!m_view || m_syncing || !m_view->selectionModel())
        return;
    m_syncing = true;
    const int row = m_query.isOpen() ? m_query.recNo() : -1;
    if (row >= 0 && row < rowCount())
        m_view->selectionModel()->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                                     QItemSelectionModel::Rows);
    else
        m_view->selectionModel()->clearSelection();
    m_syncing = false;
}

} // namespace tarvik::admin

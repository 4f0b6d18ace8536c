#include "alarmtasksmodel.h"

#include "datetimetext.h"
#include "query.h"

#include <QColor>

namespace tarvik::tasks {

namespace {

struct Column
{
    const char* title;
    const char* field;
    bool dateTime;
};

const Column kColumns[] = {
    {"Задача", "HEADER", false},
    {"Рабочее место", "WORKPLACENAME", false},
    {"Время начала", "STARTTIME", true},
    {"Время окончания", "ENDTIME", true},
};

// The accent colour of the program's grid titles.
const QColor kAccent(177, 185, 207);

} // namespace

AlarmTasksModel::AlarmTasksModel(db::Query& query, QObject* parent)
    : QAbstractTableModel(parent), m_query(query)
{
    connect(&m_query, &db::Query::opened, this, &AlarmTasksModel::queryChanged);
    connect(&m_query, &db::Query::closed, this, &AlarmTasksModel::queryChanged);
    connect(&m_query, &db::Query::rowInserted, this, &AlarmTasksModel::queryChanged);
    connect(&m_query, &db::Query::rowsMerged, this, &AlarmTasksModel::queryChanged);
    connect(&m_query, &db::Query::rowRemoved, this, &AlarmTasksModel::rowRemoved);
    connect(&m_query, &db::Query::rowChanged, this, &AlarmTasksModel::rowChanged);
    m_rows = m_query.isOpen() ? m_query.recordCount() : 0;
}

int AlarmTasksModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int AlarmTasksModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(std::size(kColumns));
}

QVariant AlarmTasksModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || role != Qt::DisplayRole || !m_query.isOpen() ||
        index.row() >= m_query.recordCount())
        return {};
    const Column& column = kColumns[index.column()];
    const QVariant value = m_query.valueAt(index.row(), QLatin1String(column.field));
    return column.dateTime ? QVariant(dateTimeText(value.toDateTime())) : value;
}

QVariant AlarmTasksModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kColumns[section].title);
    if (role == Qt::BackgroundRole)
        return kAccent;
    return {};
}

void AlarmTasksModel::queryChanged()
{
    beginResetModel();
    m_rows = m_query.isOpen() ? m_query.recordCount() : 0;
    endResetModel();
}

void AlarmTasksModel::rowRemoved(int row)
{
    if (row < 0 || row >= m_rows) {
        queryChanged();
        return;
    }
    beginRemoveRows({}, row, row);
    m_rows = m_query.recordCount();
    endRemoveRows();
}

void AlarmTasksModel::rowChanged(int row)
{
    if (row >= 0 && row < m_rows)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

} // namespace tarvik::tasks

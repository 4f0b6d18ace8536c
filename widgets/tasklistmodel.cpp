#include "tasklistmodel.h"

#include "dberror.h"
#include "query.h"

#include <QBrush>
#include <QColor>
#include <QDateTime>
#include <QFont>

#include <algorithm>
#include <numeric>

namespace tarvik::widgets {

namespace {

const char* const kFields[] = {"ISFINISH", "HEADER", "WORKPLACENAME", "STARTTIME", "ENDTIME", "ISPERCENT"};
// clGreen, the colour of finished lines.
const QColor kFinishedColour(0, 128, 0);

} // namespace

TaskListModel::TaskListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TaskListModel::setQuery(db::Query* query)
{
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_query = query;
    if (query) {
        m_connections << connect(query, &db::Query::opened, this, &TaskListModel::reload)
                      << connect(query, &db::Query::closed, this, &TaskListModel::reload)
                      << connect(query, &db::Query::rowInserted, this, &TaskListModel::reload)
                      << connect(query, &db::Query::rowRemoved, this, &TaskListModel::reload)
                      << connect(query, &db::Query::rowsMerged, this, &TaskListModel::reload)
                      << connect(query, &db::Query::rowChanged, this, &TaskListModel::rowChanged);
    }
    reload();
}

// The query has already changed its rows when it tells us, so the list is
// reset rather than told row by row.
void TaskListModel::reload()
{
    beginResetModel();
    m_order.clear();
    if (m_query && m_query->isOpen()) {
        m_order.resize(size_t(m_query->recordCount()));
        std::iota(m_order.begin(), m_order.end(), 0);
    }
    arrange();
    endResetModel();
}

void TaskListModel::arrange()
{
    const int field =
        m_sortColumn >= 0 && m_query ? m_query->columnIndex(QLatin1String(kFields[m_sortColumn])) : -1;
    if (field >= 0)
        std::stable_sort(m_order.begin(), m_order.end(), [this, field](int a, int b) {
            return m_sortOrder == Qt::AscendingOrder ? lessThan(field, a, b) : lessThan(field, b, a);
        });
    m_inverse.assign(m_order.size(), -1);
    for (size_t i = 0; i < m_order.size(); ++i)
        m_inverse[size_t(m_order[i])] = int(i);
}

void TaskListModel::rowChanged(int row)
{
    const int at = listRow(row);
    if (at >= 0)
        emit dataChanged(index(at, 0), index(at, ColumnCount - 1));
}

int TaskListModel::queryRow(int row) const
{
    return row >= 0 && row < int(m_order.size()) ? m_order[size_t(row)] : -1;
}

int TaskListModel::listRow(int row) const
{
    return row >= 0 && row < int(m_inverse.size()) ? m_inverse[size_t(row)] : -1;
}

int TaskListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int TaskListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TaskListModel::cell(int row, const char* column) const
{
    const int at = queryRow(row);
    if (!m_query || at < 0 || at >= m_query->recordCount())
        return {};
    return m_query->valueAt(at, QLatin1String(column));
}

bool TaskListModel::finished(int row) const
{
    return cell(row, "ISFINISH").toString() == QLatin1String("T");
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case Header:
        case WorkPlace:
            return cell(row, kFields[column]).toString();
        case Start:
        case End: {
            const QDateTime t = cell(row, kFields[column]).toDateTime();
            return t.isValid() ? t.toString(kDateFormat) : QString();
        }
        case Progress:
            return qBound(0, cell(row, "ISPERCENT").toInt(), 100);
        default:
            return {};
        }
    case Qt::CheckStateRole:
        if (column == Done)
            return finished(row) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::FontRole: {
        QFont font(QStringLiteral("Arial"));
        const bool done = finished(row);
        font.setBold(done || column == Header || column == WorkPlace || column == Progress);
        font.setStrikeOut(done);
        return font;
    }
    case Qt::ForegroundRole:
        if (finished(row))
            return QBrush(kFinishedColour);
        return {};
    case Qt::TextAlignmentRole:
        if (column == Done || column == Progress)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    case KeyRole:
        return cell(row, "ID");
    case NotesRole:
        return cell(row, "COMMENT");
    default:
        return {};
    }
}

QVariant TaskListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char16_t* const titles[] = {
        u"", u"Заголовок", u"Рабочее место", u"Дата начала", u"Дата окончания", u"Выполнение"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(titles[section]) : QVariant();
}

Qt::ItemFlags TaskListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid() || !m_editable)
        return f;
    if (index.column() == Done)
        f |= Qt::ItemIsUserCheckable;
    else if (index.column() == Progress)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TaskListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_editable || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    if (index.column() == Done && role == Qt::CheckStateRole) {
        const bool tick = value.toInt() == Qt::Checked;
        return store(index.row(), "ISFINISH", tick ? QStringLiteral("T") : QStringLiteral("F"));
    }
    if (index.column() == Progress && role == Qt::EditRole) {
        bool ok = false;
        const int percent = value.toInt(&ok);
        if (!ok)
            return false;
        return store(index.row(), "ISPERCENT", qBound(0, percent, 100));
    }
    return false;
}

// The change goes to the row shown on that line, which becomes the query's
// current row; the query's owner commits what it posts.
bool TaskListModel::store(int row, const char* column, const QVariant& value)
{
    const int at = queryRow(row);
    if (!m_query || at < 0 || at >= m_query->recordCount() || m_query->state() != db::Query::State::Browse)
        return false;
    try {
        m_query->setRecNo(at);
        m_query->edit();
        m_query->setValue(QLatin1String(column), value);
        if (!m_postRow) {
            m_query->post();
        } else if (!m_postRow(*m_query)) {
            // The line shows its row as it was again.
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
            return false;
        }
    } catch (const db::DbError& e) {
        if (m_query->state() != db::Query::State::Browse)
            m_query->cancel();
        emit storeFailed(e.text());
        return false;
    }
    return true;
}

bool TaskListModel::lessThan(int field, int a, int b) const
{
    const db::Query& q = *m_query;
    switch (m_sortColumn) {
    case Done:
        return (q.textAt(a, field) == QLatin1String("T")) < (q.textAt(b, field) == QLatin1String("T"));
    case Start:
    case End:
        return q.dateTimeAt(a, field) < q.dateTimeAt(b, field);
    case Progress:
        return q.intAt(a, field) < q.intAt(b, field);
    default:
        return QString::localeAwareCompare(q.textAt(a, field), q.textAt(b, field)) < 0;
    }
}

void TaskListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<std::pair<int, int>> rows; // query row and column of each persistent index
    for (const QModelIndex& i : before)
        rows << std::pair{queryRow(i.row()), i.column()};
    m_sortColumn = column;
    m_sortOrder = order;
    if (m_query && m_query->isOpen()) {
        std::iota(m_order.begin(), m_order.end(), 0);
        arrange();
    }
    QModelIndexList after;
    for (const auto& [at, col] : rows)
        after << index(listRow(at), col);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace tarvik::widgets

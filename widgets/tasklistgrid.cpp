#include "tasklistgrid.h"

#include "query.h"
#include "tasklistdelegate.h"
#include "tasklistmodel.h"

#include <QHeaderView>
#include <QScrollBar>

namespace tarvik::widgets {

TaskListGrid::TaskListGrid(QWidget* parent) : QTableView(parent), m_model(new TaskListModel(this))
{
    setModel(m_model);
    setItemDelegate(new TaskListDelegate(this));
    setFont(QFont(QStringLiteral("Arial")));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(kLineHeight);
    verticalHeader()->setDefaultSectionSize(kLineHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(kDoneWidth);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TaskListGrid::sortBy);
    setColumnWidth(TaskListModel::Done, kDoneWidth);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TaskListGrid::followView);
    connect(m_model, &TaskListModel::storeFailed, this, &TaskListGrid::storeFailed);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (db::Query* q = m_model->query())
            followQuery(q->recNo());
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit lineDoubleClicked(index.column());
    });
}

TaskListGrid::~TaskListGrid()
{
    disconnect(m_currentConnection);
}

void TaskListGrid::setQuery(db::Query* query)
{
    disconnect(m_currentConnection);
    m_model->setQuery(query);
    if (query)
        m_currentConnection = connect(query, &db::Query::currentChanged, this, &TaskListGrid::followQuery);
}

void TaskListGrid::setEditable(bool editable)
{
    m_model->setEditable(editable);
    setEditTriggers(editable ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                             : QAbstractItemView::NoEditTriggers);
}

void TaskListGrid::setColumnWidths(const QList<int>& widths)
{
    for (int i = 0; i < widths.size() && i < TaskListModel::ColumnCount; ++i)
        setColumnWidth(i, widths.at(i));
}

void TaskListGrid::sortBy(int column)
{
    horizontalHeader()->setSortIndicator(column, Qt::AscendingOrder);
    m_model->sort(column, Qt::AscendingOrder);
    if (db::Query* q = m_model->query())
        followQuery(q->recNo());
}

void TaskListGrid::followQuery(int queryRow)
{
    if (m_following)
        return;
    m_following = true;
    const int row = m_model->listRow(queryRow);
    const int column = currentIndex().isValid() ? currentIndex().column() : TaskListModel::Header;
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const QModelIndex at = m_model->index(row, column);
        selectionModel()->setCurrentIndex(at,
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        // Only the line is brought into view: the columns stay where they are.
        const int left = horizontalScrollBar()->value();
        scrollTo(at);
        horizontalScrollBar()->setValue(left);
    }
    m_following = false;
}

void TaskListGrid::followView(const QModelIndex& current)
{
    db::Query* q = m_model->query();
    if (m_following || !q || !q->isOpen() || !current.isValid())
        return;
    const int row = m_model->queryRow(current.row());
    if (row < 0 || row == q->recNo() || q->state() != db::Query::State::Browse)
        return;
    m_following = true;
    q->setRecNo(row);
    m_following = false;
}

} // namespace tarvik::widgets

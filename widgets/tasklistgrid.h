#pragma once

#include <QTableView>

namespace tarvik::db {
class Query;
}

namespace tarvik::widgets {

class TaskListModel;

// The data-bound task list: one line per row of an events query, following
// the query's current row both ways, sorted by a column, with the done box
// and the progress editable in place (unless set read-only). Arial, one
// line 15 pixels high.
class TaskListGrid : public QTableView
{
    Q_OBJECT
public:
    static constexpr int kLineHeight = 15;
    static constexpr int kDoneWidth = 16;

    explicit TaskListGrid(QWidget* parent = nullptr);
    ~TaskListGrid() override;

    // Binds the list to a query (nullptr unbinds it). The query must outlive
    // the binding.
    void setQuery(db::Query* query);
    void setEditable(bool editable);
    [[nodiscard]] TaskListModel* taskModel() const { return m_model; }
    // Widths from the first column on; missing ones are left as they are.
    void setColumnWidths(const QList<int>& widths);
    // Sorts ascending by a column (TaskListModel::Column).
    void sortBy(int column);

signals:
    // A line was double-clicked, its row already current.
    void lineDoubleClicked(int column);
    void storeFailed(const QString& message);

private:
    void followQuery(int queryRow);
    void followView(const QModelIndex& current);

    TaskListModel* m_model;
    QMetaObject::Connection m_currentConnection;
    bool m_following = false;
};

} // namespace tarvik::widgets

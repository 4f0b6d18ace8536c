#pragma once

#include <QAbstractTableModel>

namespace tarvik::db {
class Query;
}

namespace tarvik::tasks {

// The reminder window's list: the rows of the due-reminder query with the
// columns "Задача", "Рабочее место", "Время начала" and "Время окончания".
// Read-only; follows the query as it is reopened and rows leave it.
class AlarmTasksModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit AlarmTasksModel(db::Query& query, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

private:
    void queryChanged();
    void rowRemoved(int row);
    void rowChanged(int row);

    db::Query& m_query;
    // The rows the views were last told about; the query may have changed
    // under them already when its signals arrive.
    int m_rows = 0;
};

} // namespace tarvik::tasks

#pragma once

#include "query.h"

#include <QAbstractTableModel>
#include <QPointer>

#include <functional>
#include <vector>

namespace tarvik::widgets {

// The rows of an events query as the task list shows them: the done box,
// the header, the work place, start and end, the progress. Rows keep the
// query's own order until the list is sorted by a column; a reload sorts
// the new rows the same way. The model never adds or removes query rows; it
// writes only the done mark and the progress, each posted at once.
class TaskListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        Done,
        Header,
        WorkPlace,
        Start,
        End,
        Progress,
        ColumnCount
    };
    // The event's ID and its notes (COMMENT), which no column shows.
    static constexpr int KeyRole = Qt::UserRole + 1;
    static constexpr int NotesRole = Qt::UserRole + 2;
    static inline const QString kDateFormat = QStringLiteral("dd.MM.yyyy hh:mm");

    explicit TaskListModel(QObject* parent = nullptr);

    void setQuery(db::Query* query);
    [[nodiscard]] db::Query* query() const { return m_query; }
    // Whether the done box and the progress can be changed in place.
    void setEditable(bool editable) { m_editable = editable; }
    [[nodiscard]] bool isEditable() const { return m_editable; }
    // Writes the row put into editing with the done mark or the progress
    // set; false when the change was given up (the row is then no longer
    // in editing). Without one, the row is posted as it is.
    void setPostRow(std::function<bool(db::Query&)> handler) { m_postRow = std::move(handler); }

    // The query row shown at a list row and back; -1 for none.
    [[nodiscard]] int queryRow(int listRow) const;
    [[nodiscard]] int listRow(int queryRow) const;
    [[nodiscard]] int sortColumn() const { return m_sortColumn; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // A change could not be stored; the server's text. The row keeps what
    // the database holds.
    void storeFailed(const QString& message);

private:
    void reload();
    void rowChanged(int queryRow);
    void arrange();
    [[nodiscard]] QVariant cell(int listRow, const char* column) const;
    [[nodiscard]] bool finished(int listRow) const;
    [[nodiscard]] bool lessThan(int field, int queryRowA, int queryRowB) const;
    bool store(int listRow, const char* column, const QVariant& value);

    QPointer<db::Query> m_query;
    QList<QMetaObject::Connection> m_connections;
    bool m_editable = true;
    std::function<bool(db::Query&)> m_postRow;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    std::vector<int> m_order;   // list row -> query row
    std::vector<int> m_inverse; // query row -> list row
};

} // namespace tarvik::widgets

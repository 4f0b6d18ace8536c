#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <functional>
#include <vector>

class QAbstractItemView;

namespace tarvik::db {
class Query;
}

namespace tarvik::admin {

// The rows of a list held by a query, as a read-only table of some of its
// columns; follows the list as it is re-run, stored into and deleted from.
// A column may show a picture (Qt::DecorationRole) instead of its text, and
// a row may be written in its own colour.
class QueryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column
    {
        QString name;
        QString title;
        // When set, the cell shows this picture and no text.
        std::function<QVariant(const QVariant&)> picture;
    };

    QueryListModel(db::Query& query, std::vector<Column> columns, QObject* parent = nullptr);

    // The colour a row's text is written in; invalid for the view's own.
    void setRowColour(std::function<QColor(int row)> colour) { m_colour = std::move(colour); }
    // Keeps the view's current row and the list's current row together.
    void bindView(QAbstractItemView* view);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

    // Tells the views that the rows were changed under them.
    void refresh();

private:
    void followCurrent();

    db::Query& m_query;
    std::vector<Column> m_columns;
    std::function<QColor(int)> m_colour;
    QAbstractItemView* m_view = nullptr;
    bool m_syncing = false;
};

} // namespace tarvik::admin

#pragma once

#include <QIcon>
#include <QWidget>

class QTableView;
class QToolBar;
class QToolButton;

namespace tarvik::db {
class Query;
}

namespace tarvik::admin {

class QueryListModel;

// The small pictures of the administration tool bars.
enum class ListIcon
{
    Add,
    Edit,
    Delete,
    Play
};
[[nodiscard]] QIcon listIcon(ListIcon kind);

// What the three list pages of the options window share: a tool bar of
// small buttons over a one-column grid of names bound to a list.
class ListPage : public QWidget
{
    Q_OBJECT
public:
    ListPage(db::Query& list, const QString& gridName, const QString& columnTitle, QWidget* parent = nullptr);

    [[nodiscard]] QTableView* grid() const { return m_grid; }
    [[nodiscard]] QueryListModel* model() const { return m_model; }
    [[nodiscard]] QToolBar* toolBar() const { return m_toolBar; }

    // Stores the list's new or changed row; on failure the general error
    // display shows the server's text and the row stays as edited, so the
    // caller can offer it again.
    [[nodiscard]] static bool store(db::Query& list);

protected:
    QToolButton* addButton(const char* name, const QString& hint, const QIcon& icon);

    db::Query& m_list;

private:
    QToolBar* m_toolBar;
    QTableView* m_grid;
    QueryListModel* m_model;
};

} // namespace tarvik::admin

#pragma once

#include <QDate>
#include <QWidget>

#include <functional>

class QComboBox;
class QLabel;
class QMenu;
class QToolBar;

namespace tarvik::db {
class Query;
}
namespace tarvik::widgets {
class TaskListGrid;
}
namespace tarvik::planner {
class PlannerPage;
class TfmTask;
} // namespace tarvik::planner

namespace tarvik::tasks {

// The task list page: the planner's events as a list with done marks and
// progress, edited in place; edit, delete and a search by heading, under a
// caption bar with a month's name. The page keeps no rows of its own: it
// shows and moves in the planner's events query `qEvents`.
class TodoPage : public QWidget
{
    Q_OBJECT
public:
    static inline const QString kSearchPrompt = QStringLiteral("Поиск на странице");
    static inline const QString kEventGoneMessage =
        QStringLiteral("Задание удалено или перенесено другим пользователем. Изменения не записаны.");

    explicit TodoPage(planner::PlannerPage& planner, QWidget* parent = nullptr);

    // Fills the page's "Правка" menu: "Править", "Удалить", "Печать",
    // "Сохранить в PDF", "Поиск".
    void fillEditMenu(QMenu* menu);
    // The page was brought to the front: today's month in the caption, the
    // list sorted by "Заголовок", the columns laid out.
    void pageShown();
    // Sets the column widths by the list's width.
    void layoutColumns();

    [[nodiscard]] widgets::TaskListGrid* list() const { return m_list; }
    [[nodiscard]] QString caption() const;
    // Shows the task dialog; tests replace this to answer it.
    void setDialogRunner(std::function<void(planner::TfmTask&)> runner) { m_runDialog = std::move(runner); }
    // The task dialog's "Печать": prints the event the dialog shows.
    void setEventPrinter(std::function<void(const db::Query&)> printer) { m_printEvent = std::move(printer); }

signals:
    // "Печать": the printed reports print the planner's events.
    void printRequested(db::Query& events);
    // "Сохранить в PDF": the same report into a PDF file.
    void pdfRequested(db::Query& events);
    // "Поиск" of the page's menu: the event search window.
    void searchRequested();

public slots:
    void sbEdTdEventClick();
    void sbDelTdEventClick();
    void sbTodoPrintClick();
    void sbTodoPdfClick();
    void sbTodoSearchClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolBar();
    void monthShown(QDate day);
    // The current event's work place may be changed by the user; otherwise
    // the refusal is shown.
    [[nodiscard]] bool currentEditable() const;
    // Finds the event opened for its key again; false (and a message) when
    // it has gone from the list meanwhile.
    [[nodiscard]] bool relocate(const QVariant& key) const;
    void refreshMarks() const;

    planner::PlannerPage& m_planner;
    db::Query& m_events;
    std::function<void(planner::TfmTask&)> m_runDialog;
    std::function<void(const db::Query&)> m_printEvent;
    QToolBar* m_toolBar = nullptr;
    QComboBox* m_cbTodoSearch = nullptr;
    QLabel* m_caption = nullptr;
    widgets::TaskListGrid* m_list = nullptr;
};

} // namespace tarvik::tasks

#pragma once

#include "eventsearchstatement.h"
#include "taskchoices.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QMenu;
class QToolButton;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::widgets {
class DatePicker;
class TaskListGrid;
} // namespace tarvik::widgets
namespace tarvik::planner {
class TfmTask;
}

namespace tarvik::tasks {

// The event search "Поиск задач": every event of the database whose heading
// or description holds a key text, or that lies in a period, or both,
// listed like the task list and shown read-only in the task dialog. Created
// for each opening and shown modally.
class TfmEventSearch : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kNoConditionsMessage = QStringLiteral("Не заданы условия для поиска!");
    static inline const QString kCaption = QStringLiteral("Поиск задач");
    // HEADER is VARCHAR(255); the key is searched between two "%".
    static constexpr int kKeyMaxLength = 253;

    explicit TfmEventSearch(db::Connection& connection, QWidget* parent = nullptr);
    ~TfmEventSearch() override;

    [[nodiscard]] db::Query& qSearchEvent() const { return *m_query; }
    [[nodiscard]] SearchScope scope() const { return m_scope; }
    void setScope(SearchScope scope);
    // Shows the task dialog; tests replace this to look at it.
    void setDialogRunner(std::function<void(planner::TfmTask&)> runner) { m_runDialog = std::move(runner); }
    // Where the task dialog's templates and sounds come from; without it they
    // are read from the database when an event is opened.
    void setTaskChoices(std::function<planner::TaskChoices()> choices) { m_choices = std::move(choices); }
    // The task dialog's "Печать": prints the event the dialog shows.
    void setEventPrinter(std::function<void(const db::Query&)> printer) { m_printEvent = std::move(printer); }

signals:
    // "Печать списка": the printed reports print the search query's rows.
    void printRequested(db::Query& events);

public slots:
    void sbSearchClick();
    void sbOpenClick();
    void sbPrintClick();
    void sbCancelClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildBars();

    db::Connection& m_connection;
    std::unique_ptr<db::Query> m_query;
    SearchScope m_scope = SearchScope::Everywhere;
    std::function<void(planner::TfmTask&)> m_runDialog;
    std::function<planner::TaskChoices()> m_choices;
    std::function<void(const db::Query&)> m_printEvent;

    QLineEdit* m_edKey = nullptr;
    QToolButton* m_sbWhereSearch = nullptr;
    QMenu* m_pmSearch = nullptr;
    QCheckBox* m_cbPeriod = nullptr;
    widgets::DatePicker* m_pdStart = nullptr;
    widgets::DatePicker* m_pdEnd = nullptr;
    widgets::TaskListGrid* m_list = nullptr;
};

} // namespace tarvik::tasks

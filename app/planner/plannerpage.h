#pragma once

#include "planneritemmapper.h"
#include "planneroptions.h"
#include "positionmap.h"
#include "taskchoices.h"
#include "workplaceentry.h"

#include "accessrights.h"
#include "plannercalendar.h"

#include <QDate>
#include <QPointer>
#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;
class QMenu;
class QToolBar;

namespace tarvik::admin {
class OptionLists;
}
namespace tarvik::db {
class Connection;
class Query;
class EventsRefresh;
} // namespace tarvik::db
namespace tarvik::widgets {
class DbDaySource;
class DbMonthSource;
class DbPeriodSource;
class PlannerGrid;
struct PlannerItem;
} // namespace tarvik::widgets

namespace tarvik::planner {

class EventCommands;
class WorkPlaceTree;

// The planner page `pnPlanner`: the grid `Planner` under its tool bar
// `pnControlPlanner`, bound to the events query `qEvents` of one group of
// work places and one calendar month; with the month calendar
// `DBPlannerCalendar` and the work place tree `tvWorkType`, which the main
// window places in its right-hand panel.
//
// `qEvents` is shared: the task list shows it, the editing commands and
// the alert handler act on its current row and store through it; every
// row stored through it is committed at once.
class PlannerPage : public QWidget
{
    Q_OBJECT
public:
    enum class View
    {
        None, // another page's button is down
        Day,
        Week,
        Month
    };

    static const QString kCannotShowCaption;
    static const QString kEventsInsertSql;
    static const QString kEventsModifySql;
    static const QString kEventsDeleteSql;

    // `users` is the users list in name order, held open by the main window;
    // `lists` the options window's lists, whose templates and sounds the
    // items and the task dialog use.
    PlannerPage(db::Connection& connection, db::Query& users, const admin::OptionLists& lists,
                QWidget* parent = nullptr);
    ~PlannerPage() override;

    // After login: whose rights and role decide the tree and the items.
    void setUser(int userId, UserRole role);
    // Opens the authors ("SELECT* FROM Users"), read once after login; the
    // templates are the options window's.
    void openLists();
    // The grid settings of the system options; the calendar goes to today.
    void ReadOptions();
    void BuildWorkPlaceTree();
    // Rebuilds the tree, chooses its first entry and loads it. Errors of
    // the load are ignored, as the tree ignores them; errors reading the
    // rights or work places are thrown (db::DbError).
    void refreshWorkPlaces();
    // Loads the group of a tree entry for the calendar's month. Throws
    // db::DbError.
    void BuildEventsQuery(const WorkPlaceEntry& entry);

    // The three views; the main window has shown the page and set its menus.
    void sb1Click();
    void sb7Click();
    void sb31Click();
    // Another page's button went down: no view is shown.
    void leaveViews();
    void DBPlannerCalendarDaySelect(QDate day);
    void DBPlannerCalendarMonthChange(QDate day);
    // The main window's height changed: the shown view's row height follows.
    void windowResized(int windowHeight);

    void PlannerItemAnchorClick(widgets::PlannerItem* item, const QString& target);
    void qEventsAfterPost();

    // Adds "Печать по страницам…" and "Сохранить в PDF" to a menu.
    void addPagedPrintCommands(QMenu* menu);

    [[nodiscard]] db::Query& events() const { return *m_events; }
    // Reads what other workstations changed into the events.
    [[nodiscard]] db::EventsRefresh& eventsRefresh() const { return *m_refresh; }
    [[nodiscard]] db::Query& templates() const;
    [[nodiscard]] db::Query& authors() const { return *m_authors; }
    [[nodiscard]] widgets::PlannerGrid* grid() const { return m_grid; }
    [[nodiscard]] QToolBar* controlPlanner() const { return m_controlPlanner; }
    [[nodiscard]] widgets::PlannerCalendar* calendar() const { return m_calendar; }
    [[nodiscard]] WorkPlaceTree& workPlaceTree() const { return *m_tree; }
    [[nodiscard]] const PositionMap& positionMap() const { return m_positions; }
    [[nodiscard]] PlannerItemMapper& itemMapper() { return m_mapper; }
    [[nodiscard]] AccessRights& accessRights() { return m_rights; }
    [[nodiscard]] EventCommands& commands() const { return *m_commands; }
    // What the task dialog offers, from the options window's shared lists.
    [[nodiscard]] TaskChoices taskChoices() const;
    [[nodiscard]] const PlannerOptions& options() const { return m_options; }
    [[nodiscard]] View view() const { return m_view; }
    // True after a load of at least one work place (N ≥ 1).
    [[nodiscard]] bool canShowEvents() const { return m_canShowEvents; }
    // The work place shown in a grid position (0 for none).
    [[nodiscard]] int workPlaceAt(int position) const { return m_positions.workPlaceAt(position); }

signals:
    // After every load: whether events can be shown; the menus, the task
    // list's tool bar and "Правка" follow it.
    void eventsAvailabilityChanged(bool canShow);
    // The author link of an item was clicked: the mail's new letter, with
    // that user preset as the recipient.
    void newLetterRequested(int userId);
    // "Печать" (sbEventPrint and the grid's menu): the grid is to be printed.
    void printRequested();
    // "Печать по страницам…": the grid is to be printed over sheets.
    void pagedPrintRequested();
    // "Сохранить в PDF": the grid's sheets are to be written to a PDF file.
    void pdfRequested();
    // The calendar moved to another month (after the reload).
    void monthShown(QDate day);

private:
    void buildLayout();
    void buildCommands();
    void showContextMenu(const QPoint& pos);
    [[nodiscard]] QList<VisibleWorkPlace> groupOf(const WorkPlaceEntry& entry);
    void detachSources();
    void attachViewSource();
    void showEventsState(bool canShow);
    [[nodiscard]] int rowHeightFor(View view, int windowHeight) const;
    void applyWeek(QDate day);
    void applyMonth(QDate day, int rowHeight);
    [[nodiscard]] QDate calendarDate() const;

    db::Connection& m_connection;
    db::Query& m_users;
    const admin::OptionLists& m_lists;
    AccessRights m_rights;
    std::unique_ptr<db::Query> m_events;
    std::unique_ptr<db::EventsRefresh> m_refresh;
    std::unique_ptr<db::Query> m_authors;
    PositionMap m_positions;
    PlannerItemMapper m_mapper;
    PlannerOptions m_options;
    View m_view = View::None;
    bool m_canShowEvents = false;

    QToolBar* m_controlPlanner = nullptr;
    widgets::PlannerGrid* m_grid = nullptr;
    QLabel* m_caption = nullptr;
    widgets::DbDaySource* m_daySource = nullptr;
    widgets::DbPeriodSource* m_periodSource = nullptr;
    widgets::DbMonthSource* m_monthSource = nullptr;
    QPointer<widgets::PlannerCalendar> m_calendar;
    std::unique_ptr<WorkPlaceTree> m_tree;
    EventCommands* m_commands = nullptr;
    QComboBox* m_cbFindText = nullptr;
    QMenu* m_pmItem = nullptr;
    QMenu* m_pmPlanner = nullptr;
};

} // namespace tarvik::planner

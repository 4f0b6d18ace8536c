#pragma once

#include "icalendarwriter.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

class QAction;
class QWidget;

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::planner {
class PlannerPage;
}

namespace tarvik::tasks {

class TodoPage;

// "Экспорт в iCalendar...": the events shown (the planner's group and month,
// or the task list's lines in the list's order) written to a calendar file
// the user chooses.
//
// The rows are copied first, which is cheap; the file is then written on a
// worker thread while the user-interface thread goes on handling alerts and
// ticks, so a reload of the events meanwhile changes nothing in the file.
// The file appears only when complete: it is written beside its place under
// a temporary name and renamed over it at the end; a failure or a cancel
// leaves what was there before.
class CalendarExport : public QObject
{
    Q_OBJECT
public:
    static inline const QString kFileFilter = QStringLiteral("Файл iCalendar|*.ics");
    static inline const QString kNothingMessage = QStringLiteral("Нет заданий для экспорта.");

    CalendarExport(planner::PlannerPage& planner, TodoPage& todo, QWidget* window);

    // The menu command; enabled while the planner has events to show.
    [[nodiscard]] QAction* action() const { return m_action; }
    void exportShownEvents();

    // The values of the given rows of an events query (columns of the event
    // column list), in the order given.
    [[nodiscard]] static std::vector<CalendarEvent> snapshot(const db::Query& events, const QList<int>& rows);
    // What tells this database from others, for the events' UIDs: a digest
    // of the database file's name on the server and its creation time, the
    // same for every workstation and every export. Throws db::DbError.
    [[nodiscard]] static QString databaseIdentity(db::Connection& connection);
    // The query rows shown, in the order shown.
    [[nodiscard]] QList<int> shownRows() const;

signals:
    // On the user-interface thread while the file is written.
    void progressed(int written, int total);
    // The export ended: the file written, or an empty path when nothing was
    // written (cancelled or failed).
    void finished(const QString& path);

private:
    struct Outcome
    {
        bool complete = false;
        QString error;
    };
    // Runs on the worker thread; `keep` decides, once all is written,
    // whether the file takes its place.
    Outcome write(const QString& path, const std::vector<CalendarEvent>& events,
                  const ICalendarWriter& writer, const std::function<bool()>& keep);
    void run(const QString& path, std::vector<CalendarEvent> events, const ICalendarWriter& writer);

    planner::PlannerPage& m_planner;
    TodoPage& m_todo;
    QWidget* m_window;
    QAction* m_action = nullptr;
    QString m_identity; // read once per run of the program
    bool m_running = false;
    std::atomic<bool> m_cancelled{false};
};

} // namespace tarvik::tasks

#pragma once

#include "taskchoices.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace tarvik {
class AccessRights;
}
namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::widgets {
class PlannerGrid;
struct PlannerItem;
struct PlannerMove;
} // namespace tarvik::widgets

namespace tarvik::planner {

class TfmTask;

// The planner's own clipboard: what cut and copy take from an event.
struct EventClipboard
{
    QString header;
    QString comment;
    QVariant templateId;
    bool filled = false;
};

// The planner page's commands on events: add, change, delete, cut, copy,
// paste, the move check after a drag, and the page search. Each acts on the
// grid's selection, checks the edit right and stores through the events
// query, whose every post the planner page commits at once; deletions are
// committed here. So each change reaches every workstation.
class EventCommands : public QObject
{
    Q_OBJECT
public:
    static inline const QString kEmptyClipboardMessage = QStringLiteral("Буфер обмена пуст!");
    static inline const QString kDeleteQuestion =
        QStringLiteral("Вы уверены, что хотите удалить это задание?");
    // Added after kEventGoneMessage when a change could not be stored there.
    static inline const QString kTextKeptMessage =
        QStringLiteral("Введённый текст помещён в буфер обмена: его можно вставить командой «Вставить».");
    static inline const QString kOutsideMonthMessage =
        QStringLiteral("Задание можно добавить только в дни месяца, выбранного в календаре.");

    struct Context
    {
        db::Connection& connection;
        db::Query& events; // qEvents
        widgets::PlannerGrid& grid;
        // The logged-in user's role and rights.
        AccessRights& rights;
        // The work place shown in a grid position (the position map).
        std::function<int(int position)> workPlaceAt;
        // The key the grid's key handler handed out last.
        std::function<QVariant()> lastCreatedKey;
        // The calendar's event marks switched off and on again.
        std::function<void()> refreshMarks;
        // The templates and sounds the task dialog offers.
        std::function<TaskChoices()> choices;
    };

    EventCommands(Context context, QWidget* dialogParent);

    // Shows the task dialog; tests replace this to answer it.
    void setDialogRunner(std::function<void(TfmTask&)> runner) { m_runDialog = std::move(runner); }

    // The task dialog's "Печать" for an event opened from the grid: the
    // planner's current event, which is the one the dialog shows.
    void setEventPrinter(std::function<void(const db::Query&)> printer) { m_printEvent = std::move(printer); }

    [[nodiscard]] const EventClipboard& clipboard() const { return m_clipboard; }

public slots:
    void sbAddClick();
    void sbEditClick();
    void sbDelClick();
    void sbCutClick();
    void sbCopyClick();
    void sbPasteClick();
    // After a drag: a worker may not move an event into a column he may not
    // edit; the item is put back before the grid writes it.
    void PlannerItemMove(widgets::PlannerItem* item, const widgets::PlannerMove& move);
    // Selects the first item whose text, without its markup, contains the
    // typed text, ignoring case. True when one was found.
    bool sbSearchClick(const QString& text);

private:
    enum class Stored
    {
        Done,
        Failed, // a database error, shown; nothing of it stays in the row
        Gone,   // the event is no longer where this workstation shows it
        Kept    // the user kept another user's change of the same fields
    };

    [[nodiscard]] bool selectedItemEditable();
    [[nodiscard]] bool columnEditable();
    // The selected cells, or else the current cell: editable for the user
    // and within the month loaded; otherwise a message says why not.
    [[nodiscard]] bool cellsForNewEvent();
    [[nodiscard]] std::optional<TaskChoices> loadChoices();
    // Makes the event with that key the current row; Gone when it was
    // deleted, or moved out of the work places or the month shown, since it
    // was loaded. For editing, the row is put into editing.
    [[nodiscard]] Stored findEvent(const QVariant& key, bool edit);
    [[nodiscard]] Stored storeNew(const TfmTask& dialog, const QDateTime& start, const QDateTime& end,
                                  int workPlace);
    [[nodiscard]] Stored storeChange(const TfmTask& dialog, const QVariant& key, const QVariantMap& seen);
    void takeClipboard();
    // Deletes the event with that key and commits.
    void removeEvent(const QVariant& key);

    Context m_c;
    QWidget* m_dialogParent;
    std::function<void(TfmTask&)> m_runDialog;
    std::function<void(const db::Query&)> m_printEvent;
    EventClipboard m_clipboard;
};

// The text an item's markup shows, for the page search.
[[nodiscard]] QString plainItemText(const QString& markup);

} // namespace tarvik::planner

#include "eventcommands.h"

#include "storedevent.h"

#include "accessrights.h"
#include "connection.h"
#include "dberror.h"
#include "markupconverter.h"
#include "plannergrid.h"
#include "platform.h"
#include "query.h"
#include "taskchoices.h"
#include "tfmtask.h"

namespace tarvik::planner {

using widgets::PlannerItem;

EventCommands::EventCommands(Context context, QWidget* dialogParent)
    : QObject(dialogParent), m_c(std::move(context)), m_dialogParent(dialogParent),
      m_runDialog([](TfmTask& dialog) { dialog.exec(); })
{}

bool EventCommands::selectedItemEditable()
{
    const PlannerItem* item = m_c.grid.selectedItem();
    if (item->fixedTime && item->fixedPosition && item->fixedSize) {
        platform().notice(kNoEditRightMessage);
        return false;
    }
    return true;
}

bool EventCommands::columnEditable()
{
    if (m_c.rights.role() == UserRole::Worker &&
        !m_c.rights.canEditWorkPlace(m_c.workPlaceAt(m_c.grid.selectionPosition()))) {
        platform().notice(kNoEditRightMessage);
        return false;
    }
    return true;
}

bool EventCommands::cellsForNewEvent()
{
    m_c.grid.selectCurrentCellIfNone();
    if (!columnEditable())
        return false;
    // An event outside the loaded month would be stored and never shown:
    // the week view reaches into the neighbouring months, and the day and
    // week views keep their days when the calendar moves to another month.
    const QDateTime from = m_c.events.param(QStringLiteral("STARTTIME")).toDateTime();
    const QDateTime to = m_c.events.param(QStringLiteral("ENDTIME")).toDateTime();
    if (m_c.grid.selectionStart() < from || m_c.grid.selectionEnd() > to) {
        platform().notice(kOutsideMonthMessage);
        return false;
    }
    return true;
}

std::optional<TaskChoices> EventCommands::loadChoices()
{
    try {
        return m_c.choices();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return std::nullopt;
    }
}

// The cells, and so the work place and the times, are taken when the user
// asks to add: an alert that reloads the page while the dialog is open
// cannot move the new event elsewhere.
void EventCommands::sbAddClick()
{
    if (!cellsForNewEvent())
        return;
    const QDateTime start = m_c.grid.selectionStart();
    const QDateTime end = m_c.grid.selectionEnd();
    const int workPlace = m_c.workPlaceAt(m_c.grid.selectionPosition());
    std::optional<TaskChoices> choices = loadChoices();
    if (!choices)
        return;
    TfmTask dialog(std::move(*choices), m_dialogParent);
    dialog.fillNew();
    // A failed store shows the dialog again with everything typed.
    for (;;) {
        dialog.clearResult();
        m_runDialog(dialog);
        if (!dialog.accepted() || storeNew(dialog, start, end, workPlace) == Stored::Done)
            return;
    }
}

EventCommands::Stored EventCommands::storeNew(const TfmTask& dialog, const QDateTime& start,
                                              const QDateTime& end, int workPlace)
{
    try {
        m_c.events.append();
        dialog.writeToRow(m_c.events, TfmTask::Unticked::LeaveAsIs);
        m_c.events.setValue(QStringLiteral("USERSID"), m_c.rights.userId());
        m_c.events.setValue(QStringLiteral("STARTTIME"), start);
        m_c.events.setValue(QStringLiteral("ENDTIME"), end);
        m_c.events.setValue(QStringLiteral("WORKPLACE"), workPlace);
        m_c.events.setValue(QStringLiteral("DATEEDIT"), platform().now());
        m_c.events.post();
    } catch (const db::DbError& e) {
        m_c.events.cancel();
        platform().error(e.text());
        return Stored::Failed;
    }
    m_c.refreshMarks();
    return Stored::Done;
}

// The dialog edits the event it was opened for, found again by its key: an
// alert may have reloaded the rows while it was open, and another
// workstation may have moved or deleted the event.
void EventCommands::sbEditClick()
{
    if (!m_c.grid.selectedItem() || !selectedItemEditable())
        return;
    const QVariant key = m_c.events.value(QStringLiteral("ID"));
    std::optional<TaskChoices> choices = loadChoices();
    if (!choices)
        return;
    TfmTask dialog(std::move(*choices), m_dialogParent);
    dialog.fillFromRow(m_c.events);
    if (m_printEvent) {
        // The rows may be re-read while the dialog is open: the event shown
        // is found again by its key before it is printed.
        dialog.setPrinting(&m_c.events, [this, key](const db::Query& events) {
            if (m_c.events.locate(QStringLiteral("ID"), key))
                m_printEvent(events);
            else
                platform().notice(TfmTask::kEventGoneMessage);
        });
    }
    // What the user changes is weighed against the event as the dialog
    // showed it, whatever the rows hold by the time he is done.
    QVariantMap seen = heldEvent(m_c.events);
    for (;;) {
        dialog.clearResult();
        m_runDialog(dialog);
        if (!dialog.accepted())
            return;
        switch (storeChange(dialog, key, seen)) {
        case Stored::Done:
            return;
        case Stored::Kept:
            // The other change stays; the dialog comes back with what the
            // user typed, to be copied or written again on purpose.
            seen.clear();
            break;
        case Stored::Gone:
            // What was typed is not lost: it can be pasted as a new event.
            m_clipboard = {dialog.header(), dialog.description(), dialog.templateId(), true};
            platform().notice(TfmTask::kEventGoneMessage + QLatin1Char('\n') + kTextKeptMessage);
            return;
        case Stored::Failed:
            break;
        }
    }
}

EventCommands::Stored EventCommands::findEvent(const QVariant& key, bool edit)
{
    db::Query now(m_c.connection, QStringLiteral("SELECT * FROM EVENTS WHERE ID = :ID"));
    now.setParam(QStringLiteral("ID"), key);
    now.open();
    if (now.isEmpty())
        return Stored::Gone;
    bool shownPlace = false;
    for (int p = 0; p < m_c.grid.positions() && !shownPlace; ++p)
        shownPlace = m_c.workPlaceAt(p) == now.integer(QStringLiteral("WORKPLACE"));
    const QDateTime start = now.value(QStringLiteral("STARTTIME")).toDateTime();
    const QDateTime end = now.value(QStringLiteral("ENDTIME")).toDateTime();
    if (!shownPlace || start < m_c.events.param(QStringLiteral("STARTTIME")).toDateTime() ||
        end > m_c.events.param(QStringLiteral("ENDTIME")).toDateTime() ||
        !m_c.events.locate(QStringLiteral("ID"), key))
        return Stored::Gone;
    if (edit)
        m_c.events.edit();
    return Stored::Done;
}

EventCommands::Stored EventCommands::storeChange(const TfmTask& dialog, const QVariant& key,
                                                 const QVariantMap& seen)
{
    try {
        const Stored found = findEvent(key, true);
        if (found != Stored::Done)
            return found;
        dialog.writeToRow(m_c.events, TfmTask::Unticked::StoreF);
        m_c.events.setValue(QStringLiteral("USERSID"), m_c.rights.userId());
        m_c.events.setValue(QStringLiteral("DATEEDIT"), platform().now());
        switch (storeEvent(m_c.events, seen)) {
        case StoreOutcome::Stored:
            break;
        case StoreOutcome::KeptTheirs:
            return Stored::Kept;
        case StoreOutcome::Gone:
            return Stored::Gone;
        }
    } catch (const db::DbError& e) {
        m_c.events.cancel();
        platform().error(e.text());
        return Stored::Failed;
    }
    return Stored::Done;
}

void EventCommands::sbDelClick()
{
    if (!m_c.grid.selectedItem() || !selectedItemEditable())
        return;
    const QVariant key = m_c.events.value(QStringLiteral("ID"));
    if (platform().confirm(kDeleteQuestion))
        removeEvent(key);
}

void EventCommands::removeEvent(const QVariant& key)
{
    try {
        if (findEvent(key, false) != Stored::Done) {
            platform().notice(TfmTask::kEventGoneMessage);
            return;
        }
        m_c.events.deleteRow();
        m_c.connection.commitRetaining();
    } catch (const db::DbError& e) {
        m_c.events.cancel();
        platform().error(e.text());
        return;
    }
    m_c.refreshMarks();
}

void EventCommands::takeClipboard()
{
    m_clipboard.header = m_c.events.text(QStringLiteral("HEADER"));
    m_clipboard.comment = m_c.events.text(QStringLiteral("COMMENT"));
    m_clipboard.templateId = m_c.events.value(QStringLiteral("TEMPLATE"));
    m_clipboard.filled = true;
}

void EventCommands::sbCutClick()
{
    if (!m_c.grid.selectedItem() || !selectedItemEditable())
        return;
    takeClipboard();
    removeEvent(m_c.events.value(QStringLiteral("ID")));
}

void EventCommands::sbCopyClick()
{
    if (m_c.grid.selectedItem())
        takeClipboard();
}

void EventCommands::sbPasteClick()
{
    if (!m_clipboard.filled) {
        platform().notice(kEmptyClipboardMessage);
        return;
    }
    if (!cellsForNewEvent())
        return;
    try {
        if (!m_c.grid.createItemAtSelection(true))
            return;
        if (!m_c.events.locate(QStringLiteral("ID"), m_c.lastCreatedKey()))
            return;
        m_c.events.edit();
        m_c.events.setValue(QStringLiteral("HEADER"), m_clipboard.header);
        m_c.events.setValue(QStringLiteral("COMMENT"), m_clipboard.comment);
        m_c.events.setValue(QStringLiteral("TEMPLATE"), m_clipboard.templateId);
        m_c.events.post();
    } catch (const db::DbError& e) {
        m_c.events.cancel();
        platform().error(e.text());
        return;
    }
    m_c.refreshMarks();
}

void EventCommands::PlannerItemMove(PlannerItem* item, const widgets::PlannerMove& move)
{
    if (m_c.rights.role() != UserRole::Worker ||
        m_c.rights.canEditWorkPlace(m_c.workPlaceAt(move.newPosition)))
        return;
    platform().notice(kNoMoveRightMessage);
    m_c.grid.moveItem(item, move.oldStart, move.oldEnd, move.oldPosition);
}

bool EventCommands::sbSearchClick(const QString& text)
{
    m_c.grid.unselectAll();
    for (int i = 0; i < m_c.grid.itemCount(); ++i) {
        PlannerItem* item = m_c.grid.item(i);
        if (plainItemText(item->text).contains(text, Qt::CaseInsensitive)) {
            m_c.grid.selectItem(item);
            m_c.grid.ensureVisible(item);
            return true;
        }
    }
    return false;
}

QString plainItemText(const QString& markup)
{
    return widgets::MarkupConverter::standard().toPlainText(markup);
}

} // namespace tarvik::planner

#include "eventcommands.h"

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

void EventCommands::sbAddClick()
{
    if (!m_c.grid.hasCellSelection())
        return;
    TfmTask dialog(m_c.choices(), m_dialogParent);
    if (!columnEditable())
        return;
    dialog.fillNew();
    m_runDialog(dialog);
    if (!dialog.accepted())
        return;

    PlannerItem* temporary = m_c.grid.createItemAtSelection(false);
    if (!temporary)
        return;
    const QDateTime start = temporary->start;
    const QDateTime end = temporary->end;
    const int workPlace = m_c.workPlaceAt(temporary->position);
    m_c.grid.removeItem(temporary);
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
        return;
    }
    m_c.refreshMarks();
}

void EventCommands::sbEditClick()
{
    if (!m_c.grid.selectedItem() || !selectedItemEditable())
        return;
    TfmTask dialog(m_c.choices(), m_dialogParent);
    dialog.fillFromRow(m_c.events);
    if (m_printEvent)
        dialog.setPrinting(&m_c.events, m_printEvent);
    m_runDialog(dialog);
    if (!dialog.accepted())
        return;
    try {
        m_c.events.edit();
        dialog.writeToRow(m_c.events, TfmTask::Unticked::StoreF);
        m_c.events.setValue(QStringLiteral("USERSID"), m_c.rights.userId());
        m_c.events.setValue(QStringLiteral("DATEEDIT"), platform().now());
        m_c.events.post();
    } catch (const db::DbError& e) {
        m_c.events.cancel();
        platform().error(e.text());
    }
}

void EventCommands::sbDelClick()
{
    if (!m_c.grid.selectedItem() || !selectedItemEditable())
        return;
    if (platform().confirm(kDeleteQuestion))
        removeCurrentEvent();
}

void EventCommands::removeCurrentEvent()
{
    try {
        m_c.events.deleteRow();
        m_c.connection.commitRetaining();
    } catch (const db::DbError& e) {
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
    removeCurrentEvent();
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
    if (!m_c.grid.hasCellSelection() || !columnEditable())
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

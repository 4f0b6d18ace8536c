#include "todopage.h"

#include "accessrights.h"
#include "connection.h"
#include "dberror.h"
#include "storedevent.h"
#include "eventcommands.h"
#include "plannercalendar.h"
#include "plannerpage.h"
#include "plannerviewmath.h"
#include "platform.h"
#include "query.h"
#include "resizerule.h"
#include "taskchoices.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "tfmtask.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::tasks {

using planner::TfmTask;

namespace {

// HEADER is VARCHAR(255): a longer search text could begin no heading.
constexpr int kSearchMaxLength = 255;

} // namespace

TodoPage::TodoPage(planner::PlannerPage& planner, QWidget* parent)
    : QWidget(parent), m_planner(planner), m_events(planner.events()),
      m_runDialog([](TfmTask& dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("pnTodo"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildToolBar();
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("pnTodoCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setAutoFillBackground(true);
    m_caption->setStyleSheet(
        QStringLiteral("QLabel { background-color: rgb(177, 185, 207); color: white; font-weight: bold; "
                       "padding: 2px; }"));
    m_list = new widgets::TaskListGrid(this);
    m_list->setObjectName(QStringLiteral("dbgTodo"));
    m_list->setQuery(&m_events);
    m_list->taskModel()->setPostRow([](db::Query& events) { return planner::storeEventChange(events); });
    layout->addWidget(m_toolBar);
    layout->addWidget(m_caption);
    layout->addWidget(m_list, 1);

    connect(m_list, &widgets::TaskListGrid::storeFailed, this,
            [](const QString& message) { platform().error(message); });
    connect(m_list, &widgets::TaskListGrid::lineDoubleClicked, this, [this](int column) {
        // A double click on the box ticks it; elsewhere it opens the event.
        if (column != widgets::TaskListModel::Done)
            sbEdTdEventClick();
    });
    connect(&m_planner, &planner::PlannerPage::eventsAvailabilityChanged, m_toolBar, &QWidget::setEnabled);
    connect(&m_planner, &planner::PlannerPage::monthShown, this, &TodoPage::monthShown);
    m_toolBar->setEnabled(m_planner.canShowEvents());
}

void TodoPage::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("pnTodoToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    QStyle* s = style();
    auto button = [this](const char* name, const QString& hint, const QIcon& icon, void (TodoPage::*slot)()) {
        QAction* action = m_toolBar->addAction(icon, hint);
        action->setToolTip(hint);
        m_toolBar->widgetForAction(action)->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    button("sbEdTdEvent", QStringLiteral("Править"), s->standardIcon(QStyle::SP_FileDialogContentsView),
           &TodoPage::sbEdTdEventClick);
    button("sbDelTdEvent", QStringLiteral("Удалить"), s->standardIcon(QStyle::SP_TrashIcon),
           &TodoPage::sbDelTdEventClick);
    m_toolBar->addSeparator();
    button("sbTodoPrint", QStringLiteral("Печать"), s->standardIcon(QStyle::SP_FileDialogDetailedView),
           &TodoPage::sbTodoPrintClick);
    button("sbTodoPdf", QStringLiteral("Сохранить в PDF"), s->standardIcon(QStyle::SP_DialogSaveButton),
           &TodoPage::sbTodoPdfClick);
    m_toolBar->addSeparator();
    m_cbTodoSearch = new QComboBox(m_toolBar);
    m_cbTodoSearch->setObjectName(QStringLiteral("cbTodoSearch"));
    m_cbTodoSearch->setEditable(true);
    m_cbTodoSearch->setInsertPolicy(QComboBox::NoInsert);
    m_cbTodoSearch->setMinimumWidth(160);
    m_cbTodoSearch->lineEdit()->setMaxLength(kSearchMaxLength);
    m_cbTodoSearch->setEditText(kSearchPrompt);
    m_toolBar->addWidget(m_cbTodoSearch);
    button("sbTodoSearch", kSearchPrompt, s->standardIcon(QStyle::SP_FileDialogContentsView),
           &TodoPage::sbTodoSearchClick);
}

void TodoPage::fillEditMenu(QMenu* menu)
{
    menu->clear();
    menu->addAction(QStringLiteral("Править"), this, &TodoPage::sbEdTdEventClick)
        ->setObjectName(QStringLiteral("miTodoEdit"));
    menu->addAction(QStringLiteral("Удалить"), this, &TodoPage::sbDelTdEventClick)
        ->setObjectName(QStringLiteral("miTodoDelete"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Печать"), this, &TodoPage::sbTodoPrintClick)
        ->setObjectName(QStringLiteral("miTodoPrint"));
    menu->addAction(QStringLiteral("Сохранить в PDF"), this, &TodoPage::sbTodoPdfClick)
        ->setObjectName(QStringLiteral("miTodoPdf"));
    menu->addSeparator();
    menu->addAction(QStringLiteral("Поиск"), this, &TodoPage::searchRequested)
        ->setObjectName(QStringLiteral("miTodoSearch"));
}

void TodoPage::pageShown()
{
    m_caption->setText(planner::PlannerViewMath::monthTitle(platform().now().date()));
    m_list->sortBy(widgets::TaskListModel::Header);
    layoutColumns();
}

void TodoPage::layoutColumns()
{
    m_list->setColumnWidths(startup::resize::taskListColumns(m_list->width()));
}

QString TodoPage::caption() const
{
    return m_caption->text();
}

void TodoPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutColumns();
}

void TodoPage::monthShown(QDate day)
{
    if (isVisible())
        m_caption->setText(planner::PlannerViewMath::monthTitle(day));
}

bool TodoPage::currentEditable() const
{
    const AccessRights& rights = m_planner.accessRights();
    if (rights.role() == UserRole::Worker &&
        !rights.canEditWorkPlace(m_events.integer(QStringLiteral("WORKPLACE")))) {
        platform().notice(kNoEditRightMessage);
        return false;
    }
    return true;
}

bool TodoPage::relocate(const QVariant& key) const
{
    if (m_events.isOpen() && m_events.locate(QStringLiteral("ID"), key))
        return true;
    platform().notice(kEventGoneMessage);
    return false;
}

void TodoPage::refreshMarks() const
{
    m_planner.calendar()->setMarksEnabled(false);
    m_planner.calendar()->setMarksEnabled(true);
}

void TodoPage::sbEdTdEventClick()
{
    if (!m_events.isOpen() || m_events.isEmpty() || m_events.recNo() < 0 || !currentEditable())
        return;
    // The dialog may wait while an alert reloads the rows: what it stores
    // goes to the event it was opened for, found again by its key.
    const QVariant key = m_events.value(QStringLiteral("ID"));
    try {
        TfmTask dialog(m_planner.taskChoices(), this);
        dialog.fillFromRow(m_events);
        if (m_printEvent) {
            // The rows may be re-read while the dialog is open: the event
            // shown is found again by its key before it is printed.
            dialog.setPrinting(&m_events, [this, key](const db::Query& events) {
                if (relocate(key))
                    m_printEvent(events);
            });
        }
        // What the user changes is weighed against the event as the dialog
        // showed it, whatever the rows hold by the time he is done.
        QVariantMap seen = planner::heldEvent(m_events);
        for (;;) {
            m_runDialog(dialog);
            if (!dialog.accepted() || dialog.result() != QDialog::Accepted || !relocate(key))
                return;
            try {
                m_events.edit();
                dialog.writeToRow(m_events, TfmTask::Unticked::StoreF);
                m_events.setValue(QStringLiteral("USERSID"), m_planner.accessRights().userId());
                m_events.setValue(QStringLiteral("DATEEDIT"), platform().now());
                switch (planner::storeEvent(m_events, seen)) {
                case planner::StoreOutcome::Stored:
                    return;
                case planner::StoreOutcome::Gone:
                    platform().notice(kEventGoneMessage);
                    return;
                case planner::StoreOutcome::KeptTheirs:
                    // The other change stays; the dialog comes back with
                    // what the user typed, to be copied or written again.
                    seen.clear();
                    break;
                }
            } catch (const db::DbError& e) {
                if (m_events.state() != db::Query::State::Browse)
                    m_events.cancel();
                platform().error(e.text());
                // The dialog comes back with what the user typed.
            }
        }
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void TodoPage::sbDelTdEventClick()
{
    if (!m_events.isOpen() || m_events.isEmpty() || m_events.recNo() < 0 || !currentEditable())
        return;
    const QVariant key = m_events.value(QStringLiteral("ID"));
    if (!platform().confirm(planner::EventCommands::kDeleteQuestion) || !relocate(key))
        return;
    try {
        m_events.deleteRow();
        m_events.connection().commitRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return;
    }
    refreshMarks();
}

void TodoPage::sbTodoPrintClick()
{
    emit printRequested(m_events);
}

void TodoPage::sbTodoPdfClick()
{
    emit pdfRequested(m_events);
}

void TodoPage::sbTodoSearchClick()
{
    const QString text = m_cbTodoSearch->currentText();
    if (m_events.isOpen()) {
        const int header = m_events.columnIndex(QStringLiteral("HEADER"));
        for (int row = 0; header >= 0 && row < m_events.recordCount(); ++row) {
            if (m_events.valueAt(row, header).toString().startsWith(text, Qt::CaseInsensitive)) {
                m_events.setRecNo(row);
                break;
            }
        }
    }
    // Every search is remembered, repeated and empty texts too.
    m_cbTodoSearch->addItem(text);
    m_cbTodoSearch->setEditText(text);
}

} // namespace tarvik::tasks

#include "tfmalarmtask.h"

#include "alarmtasksmodel.h"
#include "dberror.h"
#include "duereminders.h"
#include "pictures.h"
#include "platform.h"
#include "query.h"
#include "reminderintervals.h"
#include "tfmtask.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QScreen>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::tasks {

namespace {

enum class Tool
{
    Delete,
    Postpone,
    Ok
};

// The bar's 16×16 pictures: a red cross, a clock, a green tick.
QIcon toolIcon(Tool tool)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (tool) {
    case Tool::Delete:
        p.setPen(QPen(QColor(200, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case Tool::Postpone:
        p.setPen(QPen(QColor(30, 60, 150), 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
        break;
    case Tool::Ok:
        p.setPen(QPen(QColor(0, 140, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
        break;
    }
    return QIcon(pixmap);
}

QToolButton* flatButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TfmAlarmTask::TfmAlarmTask(DueReminders& reminders, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_reminders(reminders), m_model(new AlarmTasksModel(reminders.qAlarmEvents(), this))
{
    setObjectName(QStringLiteral("fmAlarmTask"));
    // Reminders come also while the main window sits in the tray; closing
    // this window must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    buildToolBar();
    m_dbgTasks = new QTableView(this);
    m_dbgTasks->setObjectName(QStringLiteral("dbgTasks"));
    m_dbgTasks->setModel(m_model);
    m_dbgTasks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dbgTasks->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dbgTasks->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dbgTasks->verticalHeader()->hide();
    m_dbgTasks->horizontalHeader()->setStretchLastSection(true);
    // The accent colour only shows when the style draws the header itself.
    m_dbgTasks->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: rgb(177, 185, 207); }"));
    m_dbgTasks->setColumnWidth(0, 200);
    m_dbgTasks->setColumnWidth(1, 130);
    m_dbgTasks->setColumnWidth(2, 130);
    layout->addWidget(m_dbgTasks, 1);
    resize(660, 260);
    setFixedSize(size());

    db::Query& query = m_reminders.qAlarmEvents();
    connect(&query, &db::Query::currentChanged, this, &TfmAlarmTask::followQuery);
    connect(m_model, &QAbstractItemModel::modelReset, this,
            [this] { followQuery(m_reminders.qAlarmEvents().recNo()); });
    connect(m_dbgTasks->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfmAlarmTask::followView);
}

TfmAlarmTask::~TfmAlarmTask() = default;

void TfmAlarmTask::buildToolBar()
{
    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    m_sbOpen =
        flatButton(this, "sbOpen", QStringLiteral("Открыть"),
                   QIcon(QPixmap::fromImage(widgets::Pictures::imageList().at(widgets::Pictures::Task))));
    m_sbDel = flatButton(this, "sbDel", QStringLiteral("Удалить"), toolIcon(Tool::Delete));
    m_cbFw = new QComboBox(this);
    m_cbFw->setObjectName(QStringLiteral("cbFw"));
    m_cbFw->addItems(planner::reminderIntervalTexts());
    m_sbFw = flatButton(this, "sbFw", QStringLiteral("Отложить"), toolIcon(Tool::Postpone));
    m_sbFw->setEnabled(false);
    m_sbOK = flatButton(this, "sbOK", QStringLiteral("ОК"), toolIcon(Tool::Ok));
    bar->addWidget(m_sbOpen);
    bar->addWidget(m_sbDel);
    bar->addWidget(m_cbFw);
    bar->addWidget(m_sbFw);
    bar->addStretch(1);
    bar->addWidget(m_sbOK);
    static_cast<QVBoxLayout*>(layout())->addLayout(bar);

    connect(m_sbOpen, &QToolButton::clicked, this, &TfmAlarmTask::sbOpenClick);
    connect(m_sbDel, &QToolButton::clicked, this, &TfmAlarmTask::sbDelClick);
    connect(m_sbFw, &QToolButton::clicked, this, &TfmAlarmTask::sbFwClick);
    connect(m_sbOK, &QToolButton::clicked, this, &TfmAlarmTask::sbOKClick);
    // Only a choice the user makes counts, also choosing the same item again.
    connect(m_cbFw, &QComboBox::activated, this, [this] { m_sbFw->setEnabled(true); });
}

void TfmAlarmTask::present()
{
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

void TfmAlarmTask::followQuery(int row)
{
    if (m_syncing)
        return;
    m_syncing = true;
    if (row >= 0 && row < m_model->rowCount())
        m_dbgTasks->selectRow(row);
    else
        m_dbgTasks->clearSelection();
    m_syncing = false;
}

void TfmAlarmTask::followView()
{
    if (m_syncing)
        return;
    const int row = m_dbgTasks->currentIndex().row();
    db::Query& query = m_reminders.qAlarmEvents();
    if (row >= 0 && query.isOpen() && row < query.recordCount() && row != query.recNo()) {
        m_syncing = true;
        query.setRecNo(row);
        m_syncing = false;
    }
}

void TfmAlarmTask::sbOpenClick()
{
    db::Query& query = m_reminders.qAlarmEvents();
    if (!query.isOpen() || query.isEmpty() || query.recNo() < 0)
        return;
    emit openEventRequested(query.integer(QStringLiteral("ID")));
}

void TfmAlarmTask::sbDelClick()
{
    try {
        switch (m_reminders.deleteCurrent(platform().now())) {
        case DueReminders::Outcome::NoRight:
            platform().notice(kNoDeleteRightMessage);
            break;
        case DueReminders::Outcome::Gone:
            platform().notice(planner::TfmTask::kEventGoneMessage);
            break;
        case DueReminders::Outcome::Done:
        case DueReminders::Outcome::Empty:
        case DueReminders::Outcome::Kept:
            break;
        }
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void TfmAlarmTask::sbFwClick()
{
    try {
        const int minutes = planner::reminderMinutesAt(m_cbFw->currentIndex());
        switch (m_reminders.postponeCurrent(minutes, platform().now())) {
        case DueReminders::Outcome::NoRight:
            platform().notice(kNoPostponeRightMessage);
            break;
        case DueReminders::Outcome::Gone:
            platform().notice(planner::TfmTask::kEventGoneMessage);
            break;
        case DueReminders::Outcome::Done:
        case DueReminders::Outcome::Empty:
        case DueReminders::Outcome::Kept:
            break;
        }
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void TfmAlarmTask::sbOKClick()
{
    close();
}

void TfmAlarmTask::FormActivate()
{
    if (m_shownMark == 0) {
        const QSignalBlocker quiet(m_cbFw);
        m_cbFw->setCurrentIndex(0);
    }
    m_shownMark = 1;
}

bool TfmAlarmTask::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

void TfmAlarmTask::closeEvent(QCloseEvent* event)
{
    try {
        m_reminders.recordShown();
    } catch (const db::DbError& e) {
        // The reminders stay listed, unrecorded, so that none is lost.
        event->ignore();
        platform().error(e.text());
        return;
    }
    m_shownMark = 0;
    event->accept();
}

} // namespace tarvik::tasks

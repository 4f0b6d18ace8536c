#include "plannerpage.h"

#include "optionlists.h"

#include "eventcommands.h"
#include "taskchoices.h"

#include "connection.h"
#include "dbdaysource.h"
#include "dberror.h"
#include "dbmonthsource.h"
#include "dbperiodsource.h"
#include "eventsstatement.h"
#include "eventstamps.h"
#include "pictures.h"
#include "plannercalendar.h"
#include "plannergrid.h"
#include "plannerviewmath.h"
#include "platform.h"
#include "query.h"
#include "resizerule.h"
#include "storedevent.h"
#include "workplacetree.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QToolBar>
#include <QVBoxLayout>

namespace tarvik::planner {

const QString PlannerPage::kCannotShowCaption = QStringLiteral("Просмотр невозможен");
const QString PlannerPage::kEventsInsertSql = QStringLiteral(
    "INSERT INTO EVENTS (ID, USERSID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, ISPERCENT, IMPORTANCE, "
    "COLOR, IMAGE, WorkPlace, Template, WorkType, Alarm, Sound, DateEdit) VALUES (:ID, :USERSID, :HEADER, "
    ":COMMENT, :STARTTIME, :ENDTIME, :ISFINISH, :ISPERCENT, :IMPORTANCE, :COLOR, :IMAGE, :WorkPlace, "
    ":Template, :WorkType, :Alarm, :Sound, :DateEdit)");
const QString PlannerPage::kEventsModifySql = QStringLiteral(
    "UPDATE EVENTS SET USERSID = :USERSID, HEADER = :HEADER, COMMENT = :COMMENT, STARTTIME = :STARTTIME, "
    "ENDTIME = :ENDTIME, ISFINISH = :ISFINISH, ISPERCENT = :ISPERCENT, IMPORTANCE = :IMPORTANCE, COLOR = "
    ":COLOR, IMAGE = :IMAGE, WorkPlace = :WorkPlace, Template = :Template, WorkType = :WorkType, Alarm = "
    ":Alarm, Sound = :Sound, DateEdit = :DateEdit WHERE ID = :ID");
const QString PlannerPage::kEventsDeleteSql = QStringLiteral("DELETE FROM EVENTS WHERE  (ID = :ID)");

namespace {

constexpr int kDaySidebarWidth = 40;
constexpr int kPeriodSidebarWidth = 70;
// The month view's rows right after the calendar moved to another month;
// the next resize sets them by the window again.
constexpr int kMonthChangeRowHeight = 50;

} // namespace

PlannerPage::PlannerPage(db::Connection& connection, db::Query& users, const admin::OptionLists& lists,
                         QWidget* parent)
    : QWidget(parent), m_connection(connection), m_users(users), m_lists(lists), m_rights(connection),
      m_events(std::make_unique<db::Query>(connection)),
      m_refresh(std::make_unique<db::EventsRefresh>(*m_events)),
      m_authors(std::make_unique<db::Query>(connection, QStringLiteral("SELECT* FROM Users"))),
      m_mapper(connection, lists.templates(), *m_authors, m_positions, m_rights),
      m_tree(std::make_unique<WorkPlaceTree>(m_rights, users))
{
    setObjectName(QStringLiteral("pnPlanner"));
    m_events->setObjectName(QStringLiteral("qEvents"));
    m_events->setInsertSql(kEventsInsertSql);
    m_events->setModifySql(kEventsModifySql);
    m_events->setDeleteSql(kEventsDeleteSql);
    m_events->setKeyGenerator(QStringLiteral("ID"), QStringLiteral("EVENTS_ID"));
    m_authors->setObjectName(QStringLiteral("qEventsUser"));
    connect(m_events.get(), &db::Query::rowChanged, this, &PlannerPage::qEventsAfterPost);
    connect(m_events.get(), &db::Query::rowInserted, this, &PlannerPage::qEventsAfterPost);

    buildLayout();

    m_calendar = new widgets::PlannerCalendar;
    m_calendar->setQuery(m_events.get());
    connect(m_calendar, &widgets::PlannerCalendar::daySelected, this,
            &PlannerPage::DBPlannerCalendarDaySelect);
    connect(m_calendar, &widgets::PlannerCalendar::monthChanged, this,
            &PlannerPage::DBPlannerCalendarMonthChange);

    m_daySource = new widgets::DbDaySource(this);
    m_daySource->setObjectName(QStringLiteral("DBDaySource"));
    m_periodSource = new widgets::DbPeriodSource(this);
    m_periodSource->setObjectName(QStringLiteral("DBPeriodSource"));
    m_monthSource = new widgets::DbMonthSource(this);
    m_monthSource->setObjectName(QStringLiteral("DBMonthSource"));
    for (widgets::PlannerItemSource* source : {static_cast<widgets::PlannerItemSource*>(m_daySource),
                                               static_cast<widgets::PlannerItemSource*>(m_periodSource),
                                               static_cast<widgets::PlannerItemSource*>(m_monthSource)}) {
        m_mapper.bind(*source);
        source->setQuery(m_events.get());
    }

    connect(m_grid, &widgets::PlannerGrid::anchorClicked, this, &PlannerPage::PlannerItemAnchorClick);
    connect(m_grid, &widgets::PlannerGrid::storeFailed, this,
            [](const QString& message) { platform().error(message); });

    // A failed load leaves the page as it was.
    connect(m_tree.get(), &WorkPlaceTree::entryChosen, this, [this](const WorkPlaceEntry& entry) {
        try {
            BuildEventsQuery(entry);
        } catch (const db::DbError&) {
        }
    });
    buildCommands();
    showEventsState(false);
}

PlannerPage::~PlannerPage()
{
    detachSources();
    if (m_calendar && !m_calendar->parent())
        delete m_calendar;
}

void PlannerPage::buildLayout()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_controlPlanner = new QToolBar(this);
    m_controlPlanner->setObjectName(QStringLiteral("pnControlPlanner"));
    m_controlPlanner->setMovable(false);
    m_grid = new widgets::PlannerGrid(this);
    QList<QPixmap> images;
    for (const QImage& image : widgets::Pictures::imageList())
        images << QPixmap::fromImage(image);
    m_grid->setImages(images);
    m_caption = new QLabel(kCannotShowCaption, this);
    m_caption->setObjectName(QStringLiteral("pnPlannerCaption"));
    m_caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_controlPlanner);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_caption, 1);
}

void PlannerPage::buildCommands()
{
    EventCommands::Context context{m_connection,
                                   *m_events,
                                   *m_grid,
                                   m_rights,
                                   [this](int position) { return workPlaceAt(position); },
                                   [this] { return QVariant(m_mapper.lastCreatedKey().toInt()); },
                                   [this] {
                                       m_calendar->setMarksEnabled(false);
                                       m_calendar->setMarksEnabled(true);
                                   },
                                   [this] { return taskChoices(); }};
    m_commands = new EventCommands(std::move(context), this);
    EventCommands* c = m_commands;

    auto button = [this](const char* name, const QString& hint, auto slot) {
        QAction* action = m_controlPlanner->addAction(hint);
        action->setToolTip(hint);
        m_controlPlanner->widgetForAction(action)->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, m_commands, slot);
        return action;
    };
    button("sbAdd", QStringLiteral("Добавить"), &EventCommands::sbAddClick);
    button("sbEdit", QStringLiteral("Править"), &EventCommands::sbEditClick);
    button("sbDel", QStringLiteral("Удалить"), &EventCommands::sbDelClick);
    m_controlPlanner->addSeparator();
    button("sbCut", QStringLiteral("Вырезать"), &EventCommands::sbCutClick);
    button("sbCopy", QStringLiteral("Копировать"), &EventCommands::sbCopyClick);
    button("sbPaste", QStringLiteral("Вставить"), &EventCommands::sbPasteClick);
    m_controlPlanner->addSeparator();
    QAction* print = m_controlPlanner->addAction(QStringLiteral("Печать"));
    m_controlPlanner->widgetForAction(print)->setObjectName(QStringLiteral("sbEventPrint"));
    connect(print, &QAction::triggered, this, &PlannerPage::printRequested);
    m_controlPlanner->addSeparator();
    m_cbFindText = new QComboBox(m_controlPlanner);
    m_cbFindText->setObjectName(QStringLiteral("cbFindText"));
    m_cbFindText->setEditable(true);
    m_cbFindText->setMinimumWidth(160);
    m_cbFindText->setEditText(QStringLiteral("Поиск на странице"));
    m_controlPlanner->addWidget(m_cbFindText);
    QAction* search = m_controlPlanner->addAction(QStringLiteral("Поиск на странице"));
    m_controlPlanner->widgetForAction(search)->setObjectName(QStringLiteral("sbSearch"));
    connect(search, &QAction::triggered, this, [this, c] {
        const QString text = m_cbFindText->currentText();
        c->sbSearchClick(text);
        // Every search is remembered, also one already in the list.
        m_cbFindText->addItem(text);
        m_cbFindText->setEditText(text);
    });

    connect(m_grid, &widgets::PlannerGrid::itemDoubleClicked, c, [c] { c->sbEditClick(); });
    connect(m_grid, &widgets::PlannerGrid::itemDeleteRequested, c, [c] { c->sbDelClick(); });
    connect(m_grid, &widgets::PlannerGrid::itemMoved, c, &EventCommands::PlannerItemMove);

    m_pmItem = new QMenu(this);
    m_pmItem->setObjectName(QStringLiteral("pmItem"));
    m_pmItem->addAction(QStringLiteral("Править"), c, &EventCommands::sbEditClick)
        ->setObjectName(QStringLiteral("N2"));
    m_pmItem->addAction(QStringLiteral("Удалить"), c, &EventCommands::sbDelClick)
        ->setObjectName(QStringLiteral("N3"));
    m_pmItem->addSeparator();
    m_pmItem->addAction(QStringLiteral("Вырезать"), c, &EventCommands::sbCutClick)
        ->setObjectName(QStringLiteral("N31"));
    m_pmItem->addAction(QStringLiteral("Копировать"), c, &EventCommands::sbCopyClick)
        ->setObjectName(QStringLiteral("N32"));
    m_pmPlanner = new QMenu(this);
    m_pmPlanner->setObjectName(QStringLiteral("pmPlanner"));
    m_pmPlanner->addAction(QStringLiteral("Добавить"), c, &EventCommands::sbAddClick)
        ->setObjectName(QStringLiteral("N4"));
    m_pmPlanner->addAction(QStringLiteral("Вставить"), c, &EventCommands::sbPasteClick)
        ->setObjectName(QStringLiteral("N35"));
    QAction* printGrid = m_pmPlanner->addAction(QStringLiteral("Печать"), this, &PlannerPage::printRequested);
    printGrid->setObjectName(QStringLiteral("N10"));
    addPagedPrintCommands(m_pmPlanner);
    m_grid->viewport()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid->viewport(), &QWidget::customContextMenuRequested, this, &PlannerPage::showContextMenu);
}

void PlannerPage::addPagedPrintCommands(QMenu* menu)
{
    menu->addAction(QStringLiteral("Печать по страницам…"), this, &PlannerPage::pagedPrintRequested)
        ->setObjectName(QStringLiteral("miPagedPrint"));
    menu->addAction(QStringLiteral("Сохранить в PDF"), this, &PlannerPage::pdfRequested)
        ->setObjectName(QStringLiteral("miSavePdf"));
}

void PlannerPage::showContextMenu(const QPoint& pos)
{
    if (widgets::PlannerItem* item = m_grid->itemAt(pos)) {
        m_grid->selectItem(item);
        m_pmItem->popup(m_grid->viewport()->mapToGlobal(pos));
    } else {
        m_pmPlanner->popup(m_grid->viewport()->mapToGlobal(pos));
    }
}

void PlannerPage::setUser(int userId, UserRole role)
{
    m_rights.setUser(userId, role);
}

void PlannerPage::openLists()
{
    m_authors->reopen();
}

db::Query& PlannerPage::templates() const
{
    return m_lists.templates();
}

QDate PlannerPage::calendarDate() const
{
    return m_calendar->date();
}

void PlannerPage::ReadOptions()
{
    m_options = PlannerOptions::read(m_connection);
    for (int d = 0; d < 7; ++d)
        m_grid->setInactiveDay(Qt::DayOfWeek(d == 0 ? 7 : d), m_options.inactiveDays[size_t(d)]);
    m_calendar->setDate(platform().now().date());
}

void PlannerPage::BuildWorkPlaceTree()
{
    m_tree->BuildWorkPlaceTree();
}

void PlannerPage::refreshWorkPlaces()
{
    m_tree->BuildWorkPlaceTree();
    m_tree->chooseFirst();
}

QList<VisibleWorkPlace> PlannerPage::groupOf(const WorkPlaceEntry& entry)
{
    const bool single = entry.kind == EntryKind::WorkPlace;
    QList<VisibleWorkPlace> places;
    switch (m_rights.role()) {
    case UserRole::Worker:
    case UserRole::Boss:
        for (const VisibleWorkPlace& place : m_rights.visibleWorkPlaces()) {
            const int number = m_rights.role() == UserRole::Worker ? place.rightsRowId : place.workPlaceId;
            if (!single || number == entry.number) {
                places << place;
                if (single)
                    break;
            }
        }
        break;
    case UserRole::Administrator:
        if (entry.kind == EntryKind::Boss) {
            places = m_rights.visibleWorkPlaces(entry.number);
        } else if (single) {
            db::Query all(m_connection, QStringLiteral("SELECT * FROM WorkPlace"));
            all.open();
            if (all.locate(QStringLiteral("ID"), entry.number))
                places << VisibleWorkPlace{entry.number, all.text(QStringLiteral("NAME")), true, 0};
        }
        break;
    }
    // The position map holds 256 work places; a larger group shows its first 256.
    if (places.size() > PositionMap::kSize)
        places.resize(PositionMap::kSize);
    return places;
}

void PlannerPage::detachSources()
{
    for (widgets::PlannerItemSource* source : {static_cast<widgets::PlannerItemSource*>(m_daySource),
                                               static_cast<widgets::PlannerItemSource*>(m_periodSource),
                                               static_cast<widgets::PlannerItemSource*>(m_monthSource)})
        if (source)
            source->setActive(false);
    if (m_grid)
        m_grid->setItemSource(nullptr);
}

void PlannerPage::attachViewSource()
{
    switch (m_view) {
    case View::Day:
        m_grid->setItemSource(m_daySource);
        m_daySource->setActive(true);
        break;
    case View::Week:
        m_grid->setItemSource(m_periodSource);
        m_periodSource->setActive(true);
        break;
    case View::Month:
        m_grid->setItemSource(m_monthSource);
        m_monthSource->setActive(true);
        break;
    case View::None:
        break;
    }
}

void PlannerPage::BuildEventsQuery(const WorkPlaceEntry& entry)
{
    detachSources();
    m_calendar->setMarksEnabled(false);
    m_positions.reset();
    QStringList captions{QString()};

    const QList<VisibleWorkPlace> places = groupOf(entry);
    QList<int> ids;
    for (qsizetype i = 0; i < places.size(); ++i) {
        captions << places.at(i).name;
        ids << places.at(i).workPlaceId;
        m_positions.set(int(i), places.at(i).workPlaceId);
    }
    m_grid->setHeaderCaptions(captions);
    attachViewSource();

    m_events->close();
    const bool stamped = m_refresh->stamps().isKept();
    setEventWriting(*m_events, kEventsInsertSql, kEventsModifySql, stamped);
    m_events->setSql(EventsStatement::text(ids, entry.kind == EntryKind::WorkPlace, stamped));
    m_refresh->setChangesSql(EventsStatement::changesText(ids, entry.kind == EntryKind::WorkPlace));
    const auto [from, to] = PlannerViewMath::monthPeriod(calendarDate());
    m_events->setParam(QStringLiteral("STARTTIME"), from);
    m_events->setParam(QStringLiteral("ENDTIME"), to);

    const int n = int(ids.size());
    if (n == 0) {
        showEventsState(false);
        return;
    }
    m_grid->setPositions(n);
    m_daySource->setResourceCount(n);
    m_periodSource->setResourceCount(n);
    m_events->open();
    m_calendar->setMarksEnabled(true);
    showEventsState(true);
}

void PlannerPage::showEventsState(bool canShow)
{
    m_canShowEvents = canShow;
    m_grid->setVisible(canShow);
    m_controlPlanner->setVisible(canShow);
    m_caption->setVisible(!canShow);
    m_calendar->setEnabled(canShow);
    emit eventsAvailabilityChanged(canShow);
}

int PlannerPage::rowHeightFor(View view, int height) const
{
    switch (view) {
    case View::Day:
        return startup::resize::plannerSlotHeight(startup::resize::PlannerView::Day, height);
    case View::Week:
        return startup::resize::plannerSlotHeight(startup::resize::PlannerView::Week, height);
    case View::Month:
        return startup::resize::plannerSlotHeight(startup::resize::PlannerView::Month, height);
    case View::None:
        break;
    }
    return m_grid->rowHeight();
}

void PlannerPage::sb1Click()
{
    m_view = View::Day;
    m_daySource->setActive(false);
    m_grid->setItemSource(nullptr);
    const DayRows rows = PlannerViewMath::dayRows(m_options);
    m_grid->setMinutesPerRow(rows.minutesPerRow);
    m_grid->setFirstRow(rows.first);
    m_grid->setLastRow(rows.last);
    m_grid->setWorkingRows(rows.workFirst, rows.workEnd);
    m_grid->setRowHeight(rowHeightFor(View::Day, window()->height()));
    m_grid->setSidebarWidth(kDaySidebarWidth);
    m_grid->setItemSource(m_daySource);
    m_daySource->setDay(calendarDate());
    m_daySource->setActive(true);
    m_grid->setCaptionTitle(PlannerViewMath::dayTitle(calendarDate()));
}

void PlannerPage::sb7Click()
{
    m_view = View::Week;
    m_grid->setRowHeight(rowHeightFor(View::Week, window()->height()));
    m_grid->setSidebarWidth(kPeriodSidebarWidth);
    m_grid->clearItems();
    m_periodSource->setActive(false);
    m_grid->setItemSource(nullptr);
    m_grid->setItemSource(m_periodSource);
    applyWeek(calendarDate());
}

void PlannerPage::applyWeek(QDate day)
{
    const auto [monday, sunday] = PlannerViewMath::week(day);
    m_periodSource->setActive(false);
    m_periodSource->setPeriod(monday, sunday);
    m_grid->setCaptionTitle(PlannerViewMath::weekTitle(monday, sunday));
    m_periodSource->setActive(true);
}

void PlannerPage::sb31Click()
{
    m_view = View::Month;
    applyMonth(calendarDate(), rowHeightFor(View::Month, window()->height()));
    m_grid->setCaptionTitle(PlannerViewMath::monthTitle(platform().now().date()));
}

void PlannerPage::applyMonth(QDate day, int rowHeight)
{
    m_monthSource->setActive(false);
    m_grid->setItemSource(nullptr);
    m_grid->setRowHeight(rowHeight);
    m_grid->setSidebarWidth(kPeriodSidebarWidth);
    m_grid->clearItems();
    m_grid->setItemSource(m_monthSource);
    m_monthSource->setMonth(day.year(), day.month());
    m_grid->setFirstRow(0);
    m_grid->setLastRow(day.daysInMonth() - 1);
    m_grid->setWorkingRows(0, day.daysInMonth());
    m_monthSource->setActive(true);
}

void PlannerPage::leaveViews()
{
    m_view = View::None;
}

void PlannerPage::DBPlannerCalendarDaySelect(QDate day)
{
    switch (m_view) {
    case View::Day:
        m_daySource->setDay(day);
        m_grid->setCaptionTitle(PlannerViewMath::dayTitle(day));
        break;
    case View::Week:
        applyWeek(day);
        break;
    case View::Month:
    case View::None:
        break;
    }
}

void PlannerPage::DBPlannerCalendarMonthChange(QDate day)
{
    m_tree->chooseCurrentAgain();
    if (m_view == View::Month) {
        applyMonth(day, kMonthChangeRowHeight);
        m_grid->setCaptionTitle(PlannerViewMath::monthTitle(day));
    }
    emit monthShown(day);
}

void PlannerPage::windowResized(int windowHeight)
{
    if (m_view != View::None)
        m_grid->setRowHeight(rowHeightFor(m_view, windowHeight));
}

void PlannerPage::PlannerItemAnchorClick(widgets::PlannerItem* item, const QString& target)
{
    if (!item || !m_events->isOpen() || m_events->recNo() < 0)
        return;
    try {
        m_events->edit();
        if (target == QLatin1String("if3"))
            m_events->setValue(QStringLiteral("ISFINISH"), QStringLiteral("T"));
        else if (target == QLatin1String("if2"))
            m_events->setValue(QStringLiteral("ISFINISH"), QStringLiteral("F"));
        storeEventChange(*m_events);
    } catch (const db::DbError& e) {
        m_events->cancel();
        platform().error(e.text());
        return;
    }
    if (target.left(4) == QLatin1String("user")) {
        bool ok = false;
        const int userId = target.mid(4).toInt(&ok);
        m_calendar->setMarksEnabled(false);
        if (ok)
            emit newLetterRequested(userId);
    }
}

void PlannerPage::qEventsAfterPost()
{
    try {
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

TaskChoices PlannerPage::taskChoices() const
{
    return TaskChoices::fromLists(m_lists.templates(), m_lists.sounds());
}

} // namespace tarvik::planner

#include "tfmmain.h"

#include "admincommands.h"
#include "calendarexport.h"
#include "changenotifier.h"
#include "chatpage.h"
#include "connection.h"
#include "dberror.h"
#include "duereminders.h"
#include "eventcommands.h"
#include "eventsubscription.h"
#include "initfile.h"
#include "loginrules.h"
#include "mailpage.h"
#include "markupstatusbar.h"
#include "optionlists.h"
#include "pictures.h"
#include "plannercalendar.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "platform.h"
#include "presencemarks.h"
#include "query.h"
#include "reminders.h"
#include "reportlayouts.h"
#include "taskchoices.h"
#include "tdmfr.h"
#include "tfmabout.h"
#include "tfmclearbase.h"
#include "tfmeventsearch.h"
#include "tfmload.h"
#include "tfmmp.h"
#include "tfmnew.h"
#include "tfmoptions.h"
#include "tfmsystementer.h"
#include "tfmtask.h"
#include "todopage.h"
#include "toolpictures.h"
#include "workplacetree.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace tarvik::startup {

using widgets::ToolPictures;

namespace {

constexpr int kStandardPanelWidth = 219;
// How often a lost server is tried again, and how long its return is shown.
constexpr int kReconnectInterval = 5000;
constexpr int kRestoredNoticeTime = 15000;
const QString kLinkLostText = QStringLiteral(" <b>Нет связи с сервером</b>");
const QString kLinkRestoredText = QStringLiteral(" Связь с сервером восстановлена");

struct PageButton
{
    const char* name;
    const char* caption;
    const char* hint;
    ToolPictures::Tool picture;
    int page;
};

const PageButton kPageButtons[] = {
    {"sb1", "День", "Задания на день", ToolPictures::Tool::Day, TfmMain::PlannerPage},
    {"sb7", "Неделя", "Задания на неделю", ToolPictures::Tool::Week, TfmMain::PlannerPage},
    {"sb31", "Месяц", "Задания на месяц", ToolPictures::Tool::Month, TfmMain::PlannerPage},
    {"sbTodoList", "Задачи", "Список заданий и их выполнение", ToolPictures::Tool::Tasks,
     TfmMain::TaskListPage},
    {"sbTexts", "Почта", "Обмен сообщениями между пользователями системы", ToolPictures::Tool::Mail,
     TfmMain::MailPage},
    {"sbMesages", "Чат", "Общение пользователей системы", ToolPictures::Tool::Chat, TfmMain::ChatPage},
};

} // namespace

const QStringList& databaseAlerts()
{
    static const QStringList alerts = {
        QStringLiteral("INS_EVENTS"),  QStringLiteral("UPD_EVENTS"),  QStringLiteral("DEL_EVENTS"),
        QStringLiteral("INS_MESAGES"), QStringLiteral("UPD_MESAGES"), QStringLiteral("DEL_MESAGES"),
        QStringLiteral("INS_TEXTS"),   QStringLiteral("UPD_TEXTS"),   QStringLiteral("DEL_TEXTS"),
        QStringLiteral("INS_USERS"),   QStringLiteral("UPD_USERS"),   QStringLiteral("DEL_USERS"),
        QStringLiteral("INS_UWP"),     QStringLiteral("UPD_UWP"),     QStringLiteral("DEL_UWP")};
    return alerts;
}

QString connectionFailureText(const QString& databaseName)
{
    return QStringList{QStringLiteral("Ошибка подключения к базе данных \"%1\"").arg(databaseName),
                       QString(),
                       QStringLiteral("Возможны следующие причины:"),
                       QStringLiteral("  1. Не правильно указан путь к базе данных"),
                       QStringLiteral("  2. Не установлен Firebird"),
                       QStringLiteral("  3. Firebird установлен, но не запущен"),
                       QStringLiteral("  4. Другое программное обеспечение не дает подключиться"),
                       QStringLiteral("  5. Ошибка в базе данных"),
                       QString(),
                       QStringLiteral("Показать подробное описание?")}
        .join(QLatin1Char('\r'));
}

QString initialisationFailureText()
{
    return QStringList{QStringLiteral("Ошибка инициализации! Возможны следующие причины:"),
                       QString(),
                       QStringLiteral("  1. Не установлен Firebird"),
                       QStringLiteral("  2. Установлен Interbase 4.x, 5.x"),
                       QString(),
                       QStringLiteral("Показать подробное описание?")}
        .join(QLatin1Char('\r'));
}

TfmMain::TfmMain(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), m_programDir(programDir), m_databaseName(automaticDatabase(programDir)),
      m_connection(std::make_unique<db::Connection>()), m_users(std::make_unique<db::Query>(*m_connection)),
      m_options(std::make_unique<admin::TfmOptions>(*m_connection, *m_users))
{
    m_options->setParent(this, m_options->windowFlags());
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Tarvik"));
    setWindowIcon(widgets::Pictures::programIcon());
    resize(800, 600);
    presence::configureUsersList(*m_users);
    m_reconnectTimer = new QTimer(this);
    m_reconnectTimer->setInterval(kReconnectInterval);
    connect(m_reconnectTimer, &QTimer::timeout, this, &TfmMain::reconnect);
    // Called from inside the failing statement: the reaction waits for the
    // event loop, after the failure has been shown.
    m_connection->setLostHandler(
        [this] { QMetaObject::invokeMethod(this, &TfmMain::connectionLost, Qt::QueuedConnection); });
    buildToolBar();
    buildCentre();
    buildMenus();
    buildStatusBar();
    buildTray();
    m_admin =
        new admin::AdminCommands(*m_connection, *m_users, *m_options, m_profile,
                                 {[this] {
                                      const planner::PlannerOptions& o = m_planner->options();
                                      return admin::GridValues{o.step, o.startTimeGrid, o.endTimeGrid,
                                                               o.startWorkTimeGrid, o.endWorkTimeGrid};
                                  },
                                  [this] { m_planner->ReadOptions(); }, [this] { RefreshWorkPlaces(); }},
                                 this);
    connect(m_miSystemParam, &QAction::triggered, m_admin, &admin::AdminCommands::miSystemParamClick);
    connect(m_miWorkPlaces, &QAction::triggered, m_admin, &admin::AdminCommands::miWorkPlacesClick);
    connect(m_miUsersManager, &QAction::triggered, m_admin, &admin::AdminCommands::miUsersManagerClick);
    connect(m_miPersonal, &QAction::triggered, m_admin, &admin::AdminCommands::miPersonalClick);
    connect(m_admin, &admin::AdminCommands::noticesChanged, this, [this] {
        if (m_notifier)
            m_notifier->setNewEventNotices(m_profile.newEventNotices);
    });
    qApp->installEventFilter(this);
}

TfmMain::~TfmMain()
{
    qApp->removeEventFilter(this);
    m_connection->setLostHandler({});
    delete m_splash;
    // Everything that holds a query of the connection goes first: the
    // reminders, the notices, the login dialog, the pages and the options
    // window with its lists; then the users list and the alerts; the
    // connection last. Left to the child order of
    // QObject, the pages would outlive the members they read.
    m_reminders.reset();
    m_notice.reset();
    delete m_notifier;
    m_notifier = nullptr;
    delete m_login;
    m_login = nullptr;
    delete m_splitter;
    m_splitter = nullptr;
    m_planner = nullptr;
    m_todo = nullptr;
    m_mail = nullptr;
    m_chat = nullptr;
    m_tvWorkType = nullptr;
    delete m_admin;
    m_admin = nullptr;
    m_options.reset();
    m_player.reset();
    m_alerts.reset();
    m_users.reset();
    m_connection.reset();
}

void TfmMain::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(ToolPictures::Size, ToolPictures::Size));
    addToolBar(Qt::TopToolBarArea, bar);
    m_pages = new QButtonGroup(this);
    m_pages->setExclusive(true);
    int id = 0;
    for (const PageButton& b : kPageButtons) {
        if (b.page == MailPage)
            bar->addSeparator();
        auto* button = new QToolButton(bar);
        button->setObjectName(QLatin1String(b.name));
        button->setText(QString::fromUtf8(b.caption));
        button->setToolTip(QString::fromUtf8(b.hint));
        button->setIcon(ToolPictures::icon(b.picture));
        button->setCheckable(true);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        m_pages->addButton(button, id++);
        bar->addWidget(button);
    }
    connect(m_pages, &QButtonGroup::idClicked, this, &TfmMain::showPage);
    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    auto* exit = new QToolButton(bar);
    exit->setObjectName(QStringLiteral("sbExit"));
    exit->setText(QStringLiteral("Выход"));
    exit->setToolTip(QStringLiteral("Выход их системы"));
    exit->setIcon(ToolPictures::icon(ToolPictures::Tool::Exit));
    exit->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    exit->setAutoRaise(true);
    connect(exit, &QToolButton::clicked, this, &TfmMain::miExitClick);
    bar->addWidget(exit);
}

void TfmMain::buildCentre()
{
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("Splitter"));
    m_notebook = new QStackedWidget(m_splitter);
    m_notebook->setObjectName(QStringLiteral("Notebook"));
    for (const char* name : {"tsPlanner", "tsTodoList", "tsTexts", "tsMesages"}) {
        auto* page = new QWidget(m_notebook);
        page->setObjectName(QLatin1String(name));
        page->setLayout(new QVBoxLayout);
        page->layout()->setContentsMargins(0, 0, 0, 0);
        m_notebook->addWidget(page);
    }
    m_controlPanel = new QWidget(m_splitter);
    m_controlPanel->setObjectName(QStringLiteral("pnControlPanel"));
    auto* panel = new QVBoxLayout(m_controlPanel);
    panel->setContentsMargins(0, 0, 0, 0);
    auto* calendarPlace = new QWidget(m_controlPanel);
    calendarPlace->setObjectName(QStringLiteral("pnCalendar"));
    calendarPlace->setLayout(new QVBoxLayout);
    calendarPlace->layout()->setContentsMargins(0, 0, 0, 0);
    auto* plannerPlace = m_notebook->widget(PlannerPage);
    m_planner = new planner::PlannerPage(*m_connection, *m_users, m_options->lists(), plannerPlace);
    plannerPlace->layout()->addWidget(m_planner);
    calendarPlace->layout()->addWidget(m_planner->calendar());
    m_todo = new tasks::TodoPage(*m_planner, m_notebook->widget(TaskListPage));
    m_notebook->widget(TaskListPage)->layout()->addWidget(m_todo);
    m_tvWorkType = m_planner->workPlaceTree().view();
    m_tvWorkType->setParent(m_controlPanel);
    connect(m_planner, &planner::PlannerPage::eventsAvailabilityChanged, this,
            &TfmMain::plannerAvailabilityChanged);
    m_mail = new messaging::MailPage(*m_connection, *m_users, m_notebook->widget(MailPage));
    m_notebook->widget(MailPage)->layout()->addWidget(m_mail);
    m_chat = new messaging::ChatPage(*m_connection, *m_users, m_notebook->widget(ChatPage));
    m_notebook->widget(ChatPage)->layout()->addWidget(m_chat);
    connect(m_planner, &planner::PlannerPage::newLetterRequested, m_mail, &messaging::MailPage::newLetter);
    connectPrinting();
    panel->addWidget(calendarPlace);
    panel->addWidget(m_tvWorkType, 1);
    m_splitter->addWidget(m_notebook);
    m_splitter->addWidget(m_controlPanel);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setSizes({width() - kStandardPanelWidth, kStandardPanelWidth});
    setCentralWidget(m_splitter);
}

void TfmMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    QMenu* program = bar->addMenu(QStringLiteral("Программа"));
    program->setObjectName(QStringLiteral("miProgram"));
    QAction* exit = program->addAction(QStringLiteral("Выход"), this, &TfmMain::miExitClick);
    exit->setObjectName(QStringLiteral("miExit"));

    auto editMenu = [bar](const char* name, const QStringList& items) {
        QMenu* menu = bar->addMenu(QStringLiteral("Правка"));
        menu->setObjectName(QLatin1String(name));
        for (const QString& item : items) {
            if (item.isEmpty())
                menu->addSeparator();
            else
                menu->addAction(item)->setEnabled(false);
        }
        menu->menuAction()->setVisible(false);
        return menu;
    };
    // The actions of the three "Правка" menus come with their pages.
    m_miEditTexts = editMenu("miEditTexts", {QStringLiteral("Новое сообщение"), QStringLiteral("Открыть"),
                                             QStringLiteral("Удалить"), QStringLiteral("Ответить"), QString(),
                                             QStringLiteral("Печать")});
    m_mail->fillEditMenu(m_miEditTexts);
    m_miEditTodo = editMenu("miEditTodo", {QStringLiteral("Править"), QStringLiteral("Удалить"), QString(),
                                           QStringLiteral("Печать"), QString(), QStringLiteral("Поиск")});
    m_todo->fillEditMenu(m_miEditTodo);
    connect(m_todo, &tasks::TodoPage::searchRequested, this, &TfmMain::miEventSearchClick);
    m_miEdit = bar->addMenu(QStringLiteral("Правка"));
    m_miEdit->setObjectName(QStringLiteral("miEdit"));
    planner::EventCommands* commands = &m_planner->commands();
    const struct
    {
        const char* name;
        const char* caption;
        void (planner::EventCommands::*command)();
    } editItems[] = {{"pmmiAdd", "Добавить", &planner::EventCommands::sbAddClick},
                     {"N23", "Править", &planner::EventCommands::sbEditClick},
                     {"pmmiDel", "Удалить", &planner::EventCommands::sbDelClick},
                     {"pmmiCut", "Вырезать", &planner::EventCommands::sbCutClick},
                     {"N27", "Копировать", &planner::EventCommands::sbCopyClick},
                     {"N28", "Вставить", &planner::EventCommands::sbPasteClick}};
    // Every item runs the command of the same caption on the tool bar: a
    // menu item that does nothing would look broken.
    for (const auto& item : editItems) {
        QAction* action = m_miEdit->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        connect(action, &QAction::triggered, commands, item.command);
        if (qstrcmp(item.name, "pmmiDel") == 0 || qstrcmp(item.name, "N28") == 0)
            m_miEdit->addSeparator();
    }
    m_miEdit->addAction(QStringLiteral("Печать"), m_planner, &planner::PlannerPage::printRequested)
        ->setObjectName(QStringLiteral("N21"));
    m_planner->addPagedPrintCommands(m_miEdit);
    m_miEdit->addSeparator();
    m_miEdit->addAction(QStringLiteral("Поиск"), this, &TfmMain::miEventSearchClick)
        ->setObjectName(QStringLiteral("miEventSearch"));
    m_miEdit->menuAction()->setVisible(false);
    // The shown events to a calendar file, before "Выход"; the pages'
    // "Правка" menus keep their fixed items.
    program->insertAction(exit, (new tasks::CalendarExport(*m_planner, *m_todo, this))->action());
    program->insertSeparator(exit);

    QMenu* view = bar->addMenu(QStringLiteral("Вид"));
    view->setObjectName(QStringLiteral("miView"));
    for (int i = 0; i < int(std::size(kPageButtons)); ++i) {
        if (kPageButtons[i].page == MailPage)
            view->addSeparator();
        view->addAction(QString::fromUtf8(kPageButtons[i].caption), this, [this, i] {
            m_pages->button(i)->setChecked(true);
            showPage(i);
        });
    }

    QMenu* options = bar->addMenu(QStringLiteral("Настройка"));
    options->setObjectName(QStringLiteral("miOptions"));
    m_miSystemParam = options->addAction(QStringLiteral("Параметры системы"));
    m_miSystemParam->setObjectName(QStringLiteral("miSystemParam"));
    m_miSystemParam->setVisible(false);
    m_miWorkPlaces = options->addAction(QStringLiteral("Рабочие места"));
    m_miWorkPlaces->setObjectName(QStringLiteral("miWorkPlaces"));
    m_miUsersManager = options->addAction(QStringLiteral("Менеджер пользователей"));
    m_miUsersManager->setObjectName(QStringLiteral("miUsersManager"));
    m_miPersonal = options->addAction(QStringLiteral("Персональная настройка"));
    m_miPersonal->setObjectName(QStringLiteral("miPersonal"));

    m_miUtils = bar->addMenu(QStringLiteral("Утилиты"));
    m_miUtils->setObjectName(QStringLiteral("miUtils"));
    m_miUtils->addAction(QStringLiteral("Чистка базы"), this, &TfmMain::miClearBaseClick)
        ->setObjectName(QStringLiteral("miClearBase"));
    m_miUtils
        ->addAction(QStringLiteral("Очистка состояния пользователей"), this, &TfmMain::miUserStateClearClick)
        ->setObjectName(QStringLiteral("miUserStateClear"));
    m_miUtils->menuAction()->setVisible(false);

    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->setObjectName(QStringLiteral("miHelp"));
    help->addAction(QStringLiteral("О программе"), this, &TfmMain::miAboutClick)
        ->setObjectName(QStringLiteral("miAbout"));
    help->addSeparator();
    help->addAction(QStringLiteral("Справка по системе"), this, &TfmMain::miHelpClick)
        ->setObjectName(QStringLiteral("miSystemHelp"));
}

void TfmMain::buildStatusBar()
{
    m_statusBar = new widgets::MarkupStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->addPanel(280, Qt::AlignLeft, true);    // the user
    m_statusBar->addPanel(120, Qt::AlignHCenter, true); // the role
    m_statusBar->addPanel(25, Qt::AlignHCenter, true);  // the exclusive mark
    m_statusBar->addPanel(40);                          // NUM
    m_statusBar->addPanel(40);                          // CAPS
    m_statusBar->addPanel(200);                         // the date and time
    m_statusBar->setClockPanel(5, QStringLiteral("dd MMMM yyyy г. hh:mm:ss"));
    setStatusBar(m_statusBar);
    readLockKeys();
}

void TfmMain::readLockKeys()
{
    // Where the desktop does not tell the keyboard's state the panels stay
    // empty: no mark is better than a wrong one.
    const std::optional<Platform::LockKeys> keys = platform().lockKeys();
    m_lockKeysKnown = keys.has_value();
    m_numLock = keys && keys->numLock;
    m_capsLock = keys && keys->capsLock;
    showLockKeys();
}

void TfmMain::showLockKeys()
{
    m_statusBar->setPanelText(3, m_lockKeysKnown && m_numLock ? QStringLiteral("NUM") : QString());
    m_statusBar->setPanelText(4, m_lockKeysKnown && m_capsLock ? QStringLiteral("CAPS") : QString());
}

void TfmMain::updateLockKeys(int key)
{
    if (key == Qt::Key_NumLock)
        m_numLock = !m_numLock;
    else if (key == Qt::Key_CapsLock)
        m_capsLock = !m_capsLock;
    showLockKeys();
}

void TfmMain::buildTray()
{
    m_tray = new QSystemTrayIcon(widgets::Pictures::programIcon(), this);
    m_tray->setObjectName(QStringLiteral("TrayIcon"));
    m_tray->setToolTip(QStringLiteral("Tarvik"));
    auto* menu = new QMenu(this);
    QAction* open = menu->addAction(QStringLiteral("Открыть Tarvik"), this, &TfmMain::restoreFromTray);
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    menu->addAction(QStringLiteral("Выход"), this, &TfmMain::miExitClick);
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            restoreFromTray();
    });
}

bool TfmMain::connectDatabase()
{
    m_splash = new TfmLoad;
    m_splash->setLooping(true);
    m_splash->show();
    m_splash->start();
    m_splash->repaint();

    QString line;
    try {
        if (!readFirstLine(QDir(m_programDir).filePath(kInitFileName), &line))
            throw db::ConnectionError(QStringLiteral("init.txt"));
        m_databaseName = databaseNameFromLine(line, m_programDir);
        m_connection->setDatabase(m_databaseName);
        m_connection->open();
        m_splash->stop();
        m_splash->hide();
        m_connection->startTransaction();
        m_alerts = std::make_unique<db::EventSubscription>(
            *m_connection, databaseAlerts(), [this](const QString& name) { emit databaseAlert(name); });
    } catch (const db::DbError&) {
        // An attachment without its transaction or its alerts is no start
        // either: the server refused something the run cannot do without.
        return startFailed();
    }
    connect(m_alerts.get(), &db::EventSubscription::failed, this,
            [](const QString& text) { platform().error(text); });
    m_login = new TfmSystemEnter(*m_users, this);
    return true;
}

bool TfmMain::startFailed()
{
    if (m_splash) {
        m_splash->stop();
        m_splash->hide();
    }
    m_alerts.reset();
    m_connection->close();
    if (platform().confirm(connectionFailureText(m_databaseName)))
        platform().openDocument(QDir::toNativeSeparators(QStringLiteral("info/firebird.html")));
    return false;
}

bool TfmMain::runLogin()
{
    // The users list is the first table read: a database without it (empty,
    // of another program, damaged) fails the start like a refused attachment.
    bool listed = false;
    try {
        listed = m_login->openList();
    } catch (const db::DbError&) {
        return startFailed();
    }
    if (!listed)
        return false;
    m_login->exec();
    if (!m_login->loggedIn())
        return false;
    applyLogin(m_login->profile());
    return true;
}

void TfmMain::applyLogin(const LoginProfile& profile)
{
    m_profile = profile;
    const MenuVisibility menus = menuVisibilityFor(profile.role, profile.exclusive);
    m_miSystemParam->setVisible(menus.systemParameters);
    m_miWorkPlaces->setVisible(menus.workPlaces);
    m_miUsersManager->setVisible(menus.usersManager);
    m_miUtils->menuAction()->setVisible(menus.utilities);
    m_miPersonal->setVisible(true);
    showUserPanel();
    m_statusBar->setPanelText(1, roleStatusText(profile.role));
    m_statusBar->setPanelText(2, profile.exclusive ? QStringLiteral("<b>M</b>") : QString());
    m_planner->setUser(profile.userId, profile.role);
    try {
        m_planner->BuildWorkPlaceTree();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    if (m_splash) {
        m_splash->setLooping(false);
        m_splash->show();
        m_splash->start();
    }
    try {
        m_planner->ReadOptions();
        m_options->lists().open();
        m_planner->openLists();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    setUpReminders();
    setUpMessaging();
}

// The due-reminder query and its timer, the sound player, and the alert
// dispatch with its notice window, for the logged-in user.
void TfmMain::setUpReminders()
{
    if (!m_reminders) {
        m_player = std::make_unique<tasks::TfmMP>();
        m_notice = std::make_unique<tasks::TfmNew>();
        m_reminders = std::make_unique<tasks::Reminders>(*m_connection, *m_player, m_options->lists());
        m_options->setSoundPlayer(m_player.get());
        m_notifier = new tasks::ChangeNotifier(*m_notice, this);
        m_notifier->setMainWindow(this);
        m_notifier->setRights(&m_reminders->due().rights());
        m_notifier->setPlannerPageShown([this] { return m_notebook->currentIndex() == PlannerPage; });
        connect(this, &TfmMain::databaseAlert, m_notifier, &tasks::ChangeNotifier::handleAlert);
        connect(m_notifier, &tasks::ChangeNotifier::workPlacesChanged, this, &TfmMain::RefreshWorkPlaces);
        // Outside changes reload the planner's events; the calendar's marks
        // stay off while the rows are away.
        m_notifier->setEventsQuery(&m_planner->events());
        m_notifier->setEventsRefresh(&m_planner->eventsRefresh());
        connect(m_notifier, &tasks::ChangeNotifier::eventsAboutToReload, this,
                [this] { m_planner->calendar()->setMarksEnabled(false); });
        connect(m_notifier, &tasks::ChangeNotifier::eventsReloaded, this,
                [this] { m_planner->calendar()->setMarksEnabled(true); });
        connect(m_reminders.get(), &tasks::Reminders::openEventRequested, this, &TfmMain::openRemindedEvent);
    }
    m_reminders->setUser(m_profile.userId, m_profile.role);
    m_reminders->buildQuery();
    m_player->setUp();
    m_notifier->setNewEventNotices(m_profile.newEventNotices);
    m_notifier->setLoggedIn(true);
}

// The letter list and the chat of the logged-in user, fed by the alerts.
void TfmMain::setUpMessaging()
{
    m_mail->setNoticeWindow(m_notice.get());
    m_chat->setNoticeWindow(m_notice.get());
    m_mail->setUser(m_profile.userId, m_profile.newLetterNotices);
    m_chat->setUser(m_profile.userId, m_profile.newChatNotices);
    connect(m_notifier, &tasks::ChangeNotifier::lettersChanged, m_mail, &messaging::MailPage::refreshMail,
            Qt::UniqueConnection);
    connect(m_notifier, &tasks::ChangeNotifier::chatChanged, m_chat, &messaging::ChatPage::refreshChat,
            Qt::UniqueConnection);
    connect(m_notifier, &tasks::ChangeNotifier::usersChanged, m_chat, &messaging::ChatPage::refreshRecipients,
            Qt::UniqueConnection);
}

void TfmMain::connectPrinting()
{
    // Each command makes its own report module and drops it when done.
    connect(m_planner, &planner::PlannerPage::printRequested, this,
            [this] { reports::TdmFr(this).printWidget(*m_planner->grid()->viewport()); });
    connect(m_chat, &messaging::ChatPage::printRequested, this,
            [this] { reports::TdmFr(this).printText(*m_chat->view()); });
    connect(m_mail, &messaging::MailPage::printRequested, this,
            [this] { reports::TdmFr(this).printLetter(m_mail->letters()); });
    m_mail->setLetterPreview([](QWidget* parent, const messaging::MailPage::PreviewedLetter& l) {
        reports::TdmFr(parent).previewLetter({l.from, l.to, l.subject, l.body, l.written});
    });
    m_planner->commands().setEventPrinter(eventPrinter());
    m_todo->setEventPrinter(eventPrinter());
    connect(m_todo, &tasks::TodoPage::printRequested, this, [this](const db::Query& events) {
        reports::TdmFr(this).printTodoEvents(events, m_todo->caption());
    });
    connect(m_planner, &planner::PlannerPage::pagedPrintRequested, this,
            [this] { reports::TdmFr(this).printPlannerPages(*m_planner); });
    connect(m_planner, &planner::PlannerPage::pdfRequested, this,
            [this] { reports::TdmFr(this).savePlannerPdf(*m_planner); });
    connect(m_todo, &tasks::TodoPage::pdfRequested, this,
            [this](const db::Query& events) { reports::TdmFr(this).saveTodoPdf(events, m_todo->caption()); });
}

std::function<void(const db::Query&)> TfmMain::eventPrinter()
{
    return [this](const db::Query& events) { reports::TdmFr(this).printEvent(events); };
}

void TfmMain::openRemindedEvent()
{
    // The event is shown for reading only, above the reminder window.
    try {
        planner::TfmTask dialog(
            planner::TaskChoices::fromLists(m_options->lists().templates(), m_options->lists().sounds()),
            this);
        dialog.fillFromRow(m_reminders->due().qAlarmEvents());
        // "Печать" prints the reminded event the dialog shows, found again
        // by its key: the reminder tick may re-read the rows meanwhile.
        db::Query& due = m_reminders->due().qAlarmEvents();
        const QVariant key = due.value(QStringLiteral("ID"));
        dialog.setPrinting(&due, [this, &due, key](const db::Query& events) {
            if (due.locate(QStringLiteral("ID"), key))
                eventPrinter()(events);
        });
        dialog.setViewOnly(planner::TfmTask::ViewOnlyOk::Hidden);
        dialog.exec();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

bool TfmMain::start()
{
    return connectDatabase() && runLogin();
}

void TfmMain::showPage(int button)
{
    if (button < 0 || button >= int(std::size(kPageButtons)))
        return;
    const int page = kPageButtons[button].page;
    m_notebook->setCurrentIndex(page);
    const bool panel = page == PlannerPage || page == TaskListPage;
    m_controlPanel->setVisible(panel);
    m_miEdit->menuAction()->setVisible(page == PlannerPage && m_planner->canShowEvents());
    m_miEditTodo->menuAction()->setVisible(page == TaskListPage && m_planner->canShowEvents());
    m_miEditTexts->menuAction()->setVisible(page == MailPage);
    applyResizeRule();
    if (page == TaskListPage)
        m_todo->pageShown();
    switch (button) {
    case 0:
        m_planner->sb1Click();
        break;
    case 1:
        m_planner->sb7Click();
        break;
    case 2:
        m_planner->sb31Click();
        break;
    default:
        m_planner->leaveViews();
        break;
    }
    if (page == MailPage)
        m_mail->sbTextsClick();
    else if (page == ChatPage)
        m_chat->sbMesagesClick();
}

void TfmMain::plannerAvailabilityChanged(bool canShow)
{
    const int page = m_notebook->currentIndex();
    m_miEdit->menuAction()->setVisible(canShow && page == PlannerPage);
    if (!canShow)
        m_miEditTodo->menuAction()->setVisible(false);
    else if (page == TaskListPage)
        m_miEditTodo->menuAction()->setVisible(true);
}

void TfmMain::applyResizeRule()
{
    m_statusBar->setPanelWidth(5, qMax(0, resize::clockPanelWidth(width())));
    switch (m_pages->checkedId()) {
    case 0:
        m_plannerSlotHeight = resize::plannerSlotHeight(resize::PlannerView::Day, height());
        break;
    case 1:
        m_plannerSlotHeight = resize::plannerSlotHeight(resize::PlannerView::Week, height());
        break;
    case 2:
        m_plannerSlotHeight = resize::plannerSlotHeight(resize::PlannerView::Month, height());
        break;
    default:
        break;
    }
    if (m_planner)
        m_planner->windowResized(height());
}

void TfmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applyResizeRule();
}

bool TfmMain::event(QEvent* event)
{
    // The first activation restores the user's placement; a desktop without
    // a window manager never activates the window, so the first showing
    // counts as well.
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::Show && !m_activated)
        QTimer::singleShot(0, this, &TfmMain::FormActivate);
    return QMainWindow::event(event);
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        const int key = keyEvent->key();
        if ((key == Qt::Key_NumLock || key == Qt::Key_CapsLock) && !keyEvent->isAutoRepeat()) {
            // The press turns the mark over at once; by the release the
            // keyboard's own state is settled and corrects it.
            if (event->type() == QEvent::KeyPress)
                updateLockKeys(key);
            else if (platform().lockKeys())
                readLockKeys();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfmMain::FormActivate()
{
    if (m_activated || !loggedIn())
        return;
    m_activated = true;
    if (m_users->locate(QStringLiteral("ID"), m_profile.userId)) {
        const int cpWidth = m_users->integer(QStringLiteral("CPWIDTH"));
        const int panelWidth = cpWidth > 0 ? cpWidth : kStandardPanelWidth;
        m_splitter->setSizes({qMax(0, m_splitter->width() - panelWidth), panelWidth});
        m_controlPanel->resize(panelWidth, m_controlPanel->height());
        const QVariant state = m_users->value(QStringLiteral("WSTATE"));
        const int wstate = state.isValid() ? state.toInt() : -1;
        if (wstate == 0 || wstate == 1) {
            resize(800, 600);
            if (wstate == 1) {
                m_trayRestoreState = Qt::WindowMaximized;
                showMaximized();
            }
        } else if (wstate == 2) {
            setGeometry(m_users->integer(QStringLiteral("WLEFT")), m_users->integer(QStringLiteral("WTOP")),
                        m_users->integer(QStringLiteral("WWIDTH")),
                        m_users->integer(QStringLiteral("WHEIGHT")));
        }
        const QVariant start = m_users->value(QStringLiteral("STARTSYSTEM"));
        const int page = start.isValid() ? start.toInt() : -1;
        if (page >= 0 && page < int(std::size(kPageButtons))) {
            m_pages->button(page)->setChecked(true);
            showPage(page);
        }
    }
    RefreshWorkPlaces();
}

void TfmMain::RefreshWorkPlaces()
{
    try {
        m_users->reopen();
        m_planner->refreshWorkPlaces();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        // A lost server is shown once; the steps below would only repeat it.
        if (!m_connection->isOpen())
            return;
    }
    if (m_reminders)
        m_reminders->buildQuery();
    showPage(m_pages->checkedId());
}

void TfmMain::showUserPanel()
{
    if (m_users->isOpen() && m_users->locate(QStringLiteral("ID"), m_profile.userId))
        m_statusBar->setPanelText(
            0, QStringLiteral(" Пользователь: <b>%1</b>").arg(m_users->text(QStringLiteral("NAME"))));
}

void TfmMain::connectionLost()
{
    if (m_left || !loggedIn() || m_connection->isOpen())
        return;
    m_statusBar->setPanelText(0, kLinkLostText);
    m_reconnectTimer->start();
}

bool TfmMain::reconnect()
{
    if (m_left || m_connection->isOpen()) {
        m_reconnectTimer->stop();
        return m_connection->isOpen();
    }
    try {
        m_connection->open();
        m_connection->startTransaction();
        // A mark cleared meanwhile (by the clearing utility, say) is set
        // again: this workstation is still working.
        m_connection->execute(m_profile.exclusive
                                  ? QStringLiteral("UPDATE Users SET InSystem = 'T', Mono = 'T' WHERE Id = :Id")
                                  : QStringLiteral("UPDATE Users SET InSystem = 'T' WHERE Id = :Id"),
                              {{QStringLiteral("Id"), m_profile.userId}});
        db::recordAttachment(*m_connection, m_profile.userId);
        m_connection->commitRetaining();
    } catch (const db::DbError&) {
        // Still unreachable (or refused): quietly try again later; the loss
        // itself has been shown.
        m_connection->close();
        return false;
    }
    m_reconnectTimer->stop();
    try {
        m_options->lists().open();
        m_planner->openLists();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    // Whatever changed while the server was away was never alerted here.
    for (const char* name : {"INS_EVENTS", "INS_TEXTS", "INS_MESAGES", "UPD_USERS", "UPD_UWP"})
        emit databaseAlert(QString::fromLatin1(name));
    if (m_reminders)
        m_reminders->tick();
    if (!m_connection->isOpen())
        return false;
    m_statusBar->setPanelText(0, kLinkRestoredText);
    QTimer::singleShot(kRestoredNoticeTime, this, [this] {
        if (m_connection->isOpen() && m_statusBar->panelText(0) == kLinkRestoredText)
            showUserPanel();
    });
    return true;
}

void TfmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (windowState() & Qt::WindowMinimized) {
        // Without a tray the window is minimised as usual: hidden, nothing
        // could bring it back.
        if (loggedIn() && platform().systemTrayAvailable()) {
            QTimer::singleShot(0, this, &QWidget::hide);
            m_tray->show();
        }
    } else {
        m_trayRestoreState = windowState() & Qt::WindowMaximized;
    }
}

void TfmMain::restoreFromTray()
{
    setWindowState(m_trayRestoreState);
    show();
    activateWindow();
    m_tray->hide();
}

void TfmMain::closeEvent(QCloseEvent* event)
{
    if (!m_left && loggedIn()) {
        m_left = true;
        LeavingWindow window;
        window.maximized = isMaximized();
        window.minimized = isMinimized() || !isVisible();
        window.geometry = window.maximized ? frameGeometry() : geometry();
        window.panelWidth = m_controlPanel->width();
        presence::leave(*m_connection, *m_users, m_profile.userId, window);
    }
    m_tray->hide();
    event->accept();
    emit closed();
}

void TfmMain::miExitClick()
{
    close();
}

void TfmMain::miAboutClick()
{
    TfmAbout about(this);
    about.exec();
}

void TfmMain::miHelpClick()
{
    platform().showHelp(1);
}

void TfmMain::miUserStateClearClick()
{
    platform().startProgram(QStringLiteral("Ruduvo"));
}

void TfmMain::miEventSearchClick()
{
    tasks::TfmEventSearch search(*m_connection, this);
    search.setTaskChoices([this] { return m_planner->taskChoices(); });
    search.setEventPrinter(eventPrinter());
    connect(&search, &tasks::TfmEventSearch::printRequested, this,
            [&search](const db::Query& found) { reports::TdmFr(&search).printSearch(found); });
    search.exec();
}

void TfmMain::miClearBaseClick()
{
    tasks::TfmClearBase clearing(*m_connection, this);
    clearing.exec();
}

} // namespace tarvik::startup

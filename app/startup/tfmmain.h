#pragma once

#include "presence.h"
#include "resizerule.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QButtonGroup;
class QMenu;
class QSplitter;
class QStackedWidget;
class QSystemTrayIcon;
class QToolButton;
class QTreeView;

namespace tarvik::admin {
class AdminCommands;
class TfmOptions;
} // namespace tarvik::admin
namespace tarvik::db {
class Connection;
class EventSubscription;
class Query;
} // namespace tarvik::db
namespace tarvik::widgets {
class MarkupStatusBar;
}
namespace tarvik::planner {
class PlannerPage;
}
namespace tarvik::messaging {
class ChatPage;
class MailPage;
} // namespace tarvik::messaging
namespace tarvik::tasks {
class ChangeNotifier;
class Reminders;
class TfmMP;
class TfmNew;
class TodoPage;
} // namespace tarvik::tasks

namespace tarvik::startup {

class TfmLoad;
class TfmSystemEnter;

// The fifteen alerts every workstation listens to.
[[nodiscard]] const QStringList& databaseAlerts();

// The text of the box shown when the database cannot be reached.
[[nodiscard]] QString connectionFailureText(const QString& databaseName);
// The text of the box shown when the client library cannot be loaded.
[[nodiscard]] QString initialisationFailureText();

// The main window: owns the connection and its shared transaction, the
// alert subscription, the login dialog and the users list for the run, and
// the frame every page lives in.
class TfmMain : public QMainWindow
{
    Q_OBJECT
public:
    enum Page
    {
        PlannerPage = 0,
        TaskListPage = 1,
        MailPage = 2,
        ChatPage = 3
    };

    explicit TfmMain(const QString& programDir, QWidget* parent = nullptr);
    ~TfmMain() override;

    // The start-up up to the login: splash, configuration, connection,
    // shared transaction, alerts. False when the program must end (the
    // failure box was shown).
    [[nodiscard]] bool connectDatabase();
    // Shows the login modally; false when nobody logged in.
    [[nodiscard]] bool runLogin();
    // What follows a successful login, before the window is shown.
    void applyLogin(const LoginProfile& profile);
    // The whole start-up; false when the program must end.
    [[nodiscard]] bool start();

    [[nodiscard]] const QString& databaseName() const { return m_databaseName; }
    [[nodiscard]] db::Connection& connection() const { return *m_connection; }
    [[nodiscard]] db::Query& users() const { return *m_users; }
    [[nodiscard]] TfmSystemEnter* loginDialog() const { return m_login; }
    [[nodiscard]] const LoginProfile& profile() const { return m_profile; }
    [[nodiscard]] bool loggedIn() const { return m_profile.userId != 0; }
    [[nodiscard]] int plannerSlotHeight() const { return m_plannerSlotHeight; }
    // The planner page: its events query, grid, calendar and work place tree.
    [[nodiscard]] planner::PlannerPage* planner() const { return m_planner; }
    [[nodiscard]] tasks::TodoPage* todoPage() const { return m_todo; }
    [[nodiscard]] Qt::WindowStates trayRestoreState() const { return m_trayRestoreState; }
    // Reminders, sound player, notice window and alert dispatch; null until
    // the login set them up.
    [[nodiscard]] tasks::Reminders* reminders() const { return m_reminders.get(); }
    [[nodiscard]] tasks::TfmMP* soundPlayer() const { return m_player.get(); }
    [[nodiscard]] tasks::TfmNew* noticeWindow() const { return m_notice.get(); }
    [[nodiscard]] tasks::ChangeNotifier* changeNotifier() const { return m_notifier; }
    [[nodiscard]] messaging::MailPage* mail() const { return m_mail; }
    [[nodiscard]] messaging::ChatPage* chat() const { return m_chat; }
    // The options window, kept hidden for the run, and the menu "Настройка".
    [[nodiscard]] admin::TfmOptions& options() const { return *m_options; }
    [[nodiscard]] admin::AdminCommands& administration() const { return *m_admin; }

signals:
    // Every alert the database delivers, on the user-interface thread.
    void databaseAlert(const QString& name);
    // The user left: the program ends.
    void closed();

public slots:
    void miExitClick();
    void miAboutClick();
    void miHelpClick();
    void miUserStateClearClick();
    void miEventSearchClick();
    void miClearBaseClick();
    void RefreshWorkPlaces();
    // Attaches again after the server was lost: the transaction, the alerts,
    // the presence mark, and every list read anew as if each change missed
    // meanwhile had been alerted. False (and nothing shown) while the server
    // still cannot be reached; the watch timer then tries again.
    bool reconnect();
    void restoreFromTray();
    void FormActivate();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The connection failure box; the program ends.
    bool startFailed();
    void buildToolBar();
    void buildMenus();
    void buildCentre();
    void buildStatusBar();
    void buildTray();
    void showPage(int button);
    void applyResizeRule();
    void updateLockKeys(int key);
    void readLockKeys();
    void showLockKeys();
    // "Правка" of the planner only while events can be shown.
    void plannerAvailabilityChanged(bool canShow);
    void setUpReminders();
    void openRemindedEvent();
    // The print commands of the pages and dialogs, through the reports.
    void connectPrinting();
    [[nodiscard]] std::function<void(const db::Query&)> eventPrinter();
    void setUpMessaging();
    // The server dropped the attachment: say so and start trying again.
    void connectionLost();
    void showUserPanel();

    QString m_programDir;
    QString m_databaseName;
    std::unique_ptr<db::Connection> m_connection;
    std::unique_ptr<db::Query> m_users;
    // Deleted before the connection its lists use.
    std::unique_ptr<admin::TfmOptions> m_options;
    admin::AdminCommands* m_admin = nullptr;
    std::unique_ptr<db::EventSubscription> m_alerts;
    QPointer<TfmLoad> m_splash;
    TfmSystemEnter* m_login = nullptr;
    LoginProfile m_profile;
    bool m_activated = false;
    // Tries to attach again while the server is lost.
    QTimer* m_reconnectTimer = nullptr;
    bool m_left = false;
    int m_plannerSlotHeight = 0;
    Qt::WindowStates m_trayRestoreState = Qt::WindowNoState;

    QButtonGroup* m_pages = nullptr;
    QStackedWidget* m_notebook = nullptr;
    QSplitter* m_splitter = nullptr;
    QWidget* m_controlPanel = nullptr;
    planner::PlannerPage* m_planner = nullptr;
    tasks::TodoPage* m_todo = nullptr;
    QTreeView* m_tvWorkType = nullptr;
    QMenu* m_miEdit = nullptr;
    QMenu* m_miEditTodo = nullptr;
    QMenu* m_miEditTexts = nullptr;
    QAction* m_miSystemParam = nullptr;
    QAction* m_miWorkPlaces = nullptr;
    QAction* m_miUsersManager = nullptr;
    QAction* m_miPersonal = nullptr;
    QMenu* m_miUtils = nullptr;
    widgets::MarkupStatusBar* m_statusBar = nullptr;
    bool m_numLock = false;
    bool m_capsLock = false;
    bool m_lockKeysKnown = false;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<tasks::TfmMP> m_player;
    std::unique_ptr<tasks::TfmNew> m_notice;
    std::unique_ptr<tasks::Reminders> m_reminders;
    tasks::ChangeNotifier* m_notifier = nullptr;
    messaging::MailPage* m_mail = nullptr;
    messaging::ChatPage* m_chat = nullptr;
};

} // namespace tarvik::startup

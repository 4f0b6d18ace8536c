#pragma once

#include <QWidget>

class QComboBox;
class QTableView;
class QToolButton;

namespace tarvik::tasks {

class AlarmTasksModel;
class DueReminders;

inline const QString kNoDeleteRightMessage =
    QStringLiteral("Невозможно удалить задание! У вас нет прав для редактирования этого рабочего места.");
inline const QString kNoPostponeRightMessage =
    QStringLiteral("Невозможно отложить это задание!\nУ вас нет прав для его редактирования.");

// The reminder window: the list of due reminders, always on top, hidden and
// shown again for the whole run. It can be closed only with sbOK (or the
// window manager's close), and closing records every listed reminder as
// dealt with by the user.
class TfmAlarmTask : public QWidget
{
    Q_OBJECT
public:
    explicit TfmAlarmTask(DueReminders& reminders, QWidget* parent = nullptr);
    ~TfmAlarmTask() override;

    // 1 while the window is on screen and the user has had it active at
    // least once; 0 otherwise.
    [[nodiscard]] int shownMark() const { return m_shownMark; }
    // Centres the window on its screen and shows it above everything, not
    // modal.
    void present();

signals:
    // Open: the event of the current row, to be shown read-only in the task
    // dialog, above this window. The row is the current row of the
    // due-reminder query while the signal is handled.
    void openEventRequested(int eventId);

public slots:
    void sbOpenClick();
    void sbDelClick();
    void sbFwClick();
    void sbOKClick();
    void FormActivate();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolBar();
    void followQuery(int row);
    void followView();

    DueReminders& m_reminders;
    AlarmTasksModel* m_model;
    QToolButton* m_sbOpen = nullptr;
    QToolButton* m_sbDel = nullptr;
    QComboBox* m_cbFw = nullptr;
    QToolButton* m_sbFw = nullptr;
    QToolButton* m_sbOK = nullptr;
    QTableView* m_dbgTasks = nullptr;
    int m_shownMark = 0;
    bool m_syncing = false;
};

} // namespace tarvik::tasks

// The task list page, the event search and the clearing inside the main
// window: the caption's month, the page's tool bar and "Правка" menu, the
// menu commands that open the windows, and the clearing reaching another
// workstation.

#include "mainwindowfixture.h"
#include "plannercalendar.h"
#include "plannerpage.h"
#include "query.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "todopage.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace tarvik;
using namespace tarvik::startup;

namespace {

class TasksMainTest : public test::MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        m_platform.setNow(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
        m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
        m_c->execute(QStringLiteral("DELETE FROM USERWORKPLACE"));
        m_c->execute(QStringLiteral("DELETE FROM WORKPLACE"));
        m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID <> 1"));
        m_c->commitRetaining();
        m_boss = addUser(QStringLiteral("Шеф"), QStringLiteral("T"), QVariant());
    }
    std::unique_ptr<TfmMain> station(const QString& name, const QString& password = QStringLiteral("Pw"),
                                     bool exclusive = false)
    {
        auto w = loggedIn(name, password, exclusive);
        w->show();
        w->FormActivate();
        return w;
    }
    void addEvent(int place, QDate day, const QString& header)
    {
        m_c->execute(
            QStringLiteral("INSERT INTO EVENTS (ID, HEADER, STARTTIME, ENDTIME, WORKPLACE, TEMPLATE) "
                           "VALUES (GEN_ID(EVENTS_ID, 1), :H, :S, :E, :W, 1)"),
            {{QStringLiteral("H"), header},
             {QStringLiteral("S"), QDateTime(day, QTime(9, 0))},
             {QStringLiteral("E"), QDateTime(day, QTime(10, 0))},
             {QStringLiteral("W"), place}});
        m_c->commitRetaining();
    }
    static void click(TfmMain& w, const char* name)
    {
        w.findChild<QToolButton*>(QLatin1String(name))->click();
    }
    static bool menuShown(TfmMain& w, const char* name)
    {
        return w.findChild<QMenu*>(QLatin1String(name))->menuAction()->isVisible();
    }
    // Triggers a menu command that opens a modal window; returns that
    // window's caption after closing it.
    static QString captionOpenedBy(QAction* action)
    {
        QString caption;
        QTimer::singleShot(0, [&caption] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                caption = modal->windowTitle();
                modal->close();
            }
        });
        action->trigger();
        return caption;
    }
    static QStringList listed(TfmMain& w)
    {
        QStringList out;
        widgets::TaskListModel& m = *w.todoPage()->list()->taskModel();
        for (int r = 0; r < m.rowCount(); ++r)
            out << m.index(r, widgets::TaskListModel::Header).data().toString();
        return out;
    }

    int m_boss = 0;
};

} // namespace

// The caption names today's month when the page is shown and the
// calendar's month when it moves while the page is shown.
TEST_F(TasksMainTest, CaptionFollowsTheCalendarsMonthAndTodayOnShowing)
{
    const int place = addWorkPlace(QStringLiteral("Цех"), m_boss);
    addEvent(place, QDate(2024, 3, 20), QStringLiteral("мартовское"));
    addEvent(place, QDate(2024, 4, 10), QStringLiteral("апрельское"));
    auto w = station(QStringLiteral("Шеф"));
    click(*w, "sbTodoList");
    tasks::TodoPage& page = *w->todoPage();
    EXPECT_TRUE(page.isVisible());
    EXPECT_EQ(page.caption(), QStringLiteral("Март"));
    EXPECT_EQ(listed(*w), QStringList{QStringLiteral("мартовское")});
    EXPECT_TRUE(menuShown(*w, "miEditTodo"));
    EXPECT_FALSE(menuShown(*w, "miEdit"));
    EXPECT_TRUE(w->findChild<QToolBar*>(QStringLiteral("pnTodoToolBar"))->isEnabled());

    widgets::PlannerCalendar* calendar = w->planner()->calendar();
    QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->nextMonthRect().center());
    EXPECT_EQ(page.caption(), QStringLiteral("Апрель"));
    EXPECT_EQ(listed(*w), QStringList{QStringLiteral("апрельское")});

    click(*w, "sbTexts");
    QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->nextMonthRect().center());
    click(*w, "sbTodoList");
    EXPECT_EQ(page.caption(), QStringLiteral("Март")) << "today's month over May's rows";
    EXPECT_EQ(listed(*w), QStringList{});
    w->close();
}

TEST_F(TasksMainTest, NoWorkPlaceDisablesTheToolBarAndHidesTheMenu)
{
    auto w = station(QStringLiteral("Шеф"));
    click(*w, "sbTodoList");
    EXPECT_FALSE(w->findChild<QToolBar*>(QStringLiteral("pnTodoToolBar"))->isEnabled());
    EXPECT_FALSE(menuShown(*w, "miEditTodo"));
    w->close();
}

// "Правка" → "Поиск" of the planner and of the task list open the search;
// "Утилиты" → "Чистка базы" the clearing, whose deletion reloads the
// planner of another workstation.
TEST_F(TasksMainTest, MenusOpenTheWindowsAndClearingReachesOtherStations)
{
    const int place = addWorkPlace(QStringLiteral("Цех"), m_boss);
    addEvent(place, QDate(2024, 3, 15), QStringLiteral("сегодня"));
    m_c->execute(QStringLiteral("UPDATE EVENTS SET ISFINISH = 'T'"));
    m_c->commitRetaining();
    auto boss = station(QStringLiteral("Шеф"));
    click(*boss, "sb1");
    EXPECT_EQ(captionOpenedBy(boss->findChild<QAction*>(QStringLiteral("miEventSearch"))),
              QStringLiteral("Поиск задач"));
    click(*boss, "sbTodoList");
    QMenu* todoMenu = boss->findChild<QMenu*>(QStringLiteral("miEditTodo"));
    QStringList items;
    for (QAction* a : todoMenu->actions())
        items << a->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("Править"), QStringLiteral("Удалить"), QString(),
                                  QStringLiteral("Печать"), QStringLiteral("Сохранить в PDF"), QString(),
                                  QStringLiteral("Поиск")}));
    EXPECT_EQ(captionOpenedBy(todoMenu->actions().last()), QStringLiteral("Поиск задач"));
    ASSERT_EQ(listed(*boss), QStringList{QStringLiteral("сегодня")});

    auto admin = station(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    m_platform.setDefaultAnswer(true);
    QAction* clearing = admin->findChild<QAction*>(QStringLiteral("miClearBase"));
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->findChild<QRadioButton*>(QStringLiteral("rbComplete"))->setChecked(true);
            QMetaObject::invokeMethod(modal, "SpeedButton1Click");
            modal->close();
        }
    });
    clearing->trigger();
    EXPECT_TRUE(m_platform.messageTexts().contains(QStringLiteral("Очистка базы успешно закончена!")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return listed(*boss).isEmpty(); }, 5000));
    admin->close();
    boss->close();
}

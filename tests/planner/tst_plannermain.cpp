// The planner page inside the main window: loaded after login and on the
// first activation, its views behind the page buttons, "Правка" shown only
// while events can be shown.

#include "eventcommands.h"
#include "markupcombobox.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "plannercalendar.h"
#include "plannerfixture.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "query.h"
#include "tfmmain.h"
#include "tfmsystementer.h"
#include "tfmtask.h"
#include "workplacetree.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

using namespace tarvik;
using namespace tarvik::startup;
using tarvik::planner::PlannerPage;

namespace {

class PlannerMainTest : public test::PlannerFixture
{
protected:
    // A main window logged in as the named user through its login dialog
    // and activated for the first time.
    std::unique_ptr<TfmMain> loggedIn(const QString& name)
    {
        QFile init(m_programDir.filePath(QStringLiteral("init.txt")));
        init.open(QIODevice::WriteOnly);
        init.write(database().name().toLocal8Bit() + "\n");
        init.close();
        auto window = std::make_unique<TfmMain>(m_programDir.path());
        EXPECT_TRUE(window->connectDatabase());
        TfmSystemEnter* login = window->loginDialog();
        EXPECT_TRUE(login->openList());
        EXPECT_TRUE(window->users().locate(QStringLiteral("NAME"), name));
        login->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"))
            ->selectPosition(window->users().recNo());
        login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("Pw"));
        login->sbOKClick();
        EXPECT_TRUE(login->loggedIn());
        window->applyLogin(login->profile());
        window->show();
        window->FormActivate();
        return window;
    }
    static bool menuShown(TfmMain& w, const char* name)
    {
        return w.findChild<QMenu*>(QLatin1String(name))->menuAction()->isVisible();
    }
    static void click(TfmMain& w, const char* name)
    {
        w.findChild<QToolButton*>(QLatin1String(name))->click();
    }

    QTemporaryDir m_programDir;
};

} // namespace

TEST_F(PlannerMainTest, FirstActivationLoadsTheFirstEntryAndShowsTheStartPage)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    const int id = addEvent(eventAt(place, at(3, 15, 9), at(3, 15, 10), QStringLiteral("сегодня")));
    m_c->execute(QStringLiteral("UPDATE USERS SET STARTSYSTEM = 1 WHERE ID = :I"),
                 {{QStringLiteral("I"), boss}});
    m_c->commitRetaining();

    auto w = loggedIn(QStringLiteral("Шеф"));
    PlannerPage* page = w->planner();
    auto* tree = w->findChild<widgets::MarkupTreeView*>(QStringLiteral("tvWorkType"));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree, page->workPlaceTree().view());
    EXPECT_EQ(tree->currentIndex(), tree->markupModel()->index(0, 0));
    EXPECT_EQ(page->view(), PlannerPage::View::Week);
    EXPECT_TRUE(w->findChild<QToolButton*>(QStringLiteral("sb7"))->isChecked());
    EXPECT_NE(page->grid()->itemByKey(id), nullptr);
    EXPECT_TRUE(page->grid()->isVisible());
    EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("pnCalendar"))->isAncestorOf(page->calendar()));
    EXPECT_EQ(w->findChild<QStackedWidget*>(QStringLiteral("Notebook"))->currentIndex(),
              TfmMain::PlannerPage);
    EXPECT_TRUE(menuShown(*w, "miEdit"));
    EXPECT_TRUE(page->grid()->isInactiveDay(Qt::Sunday)); // the options were read after login

    click(*w, "sb1");
    EXPECT_EQ(page->view(), PlannerPage::View::Day);
    EXPECT_EQ(page->grid()->rowHeight(), w->plannerSlotHeight());
    click(*w, "sbTexts");
    EXPECT_FALSE(menuShown(*w, "miEdit"));
    EXPECT_EQ(page->view(), PlannerPage::View::None);
    click(*w, "sb31");
    EXPECT_TRUE(menuShown(*w, "miEdit"));
    EXPECT_EQ(page->view(), PlannerPage::View::Month);

    // RefreshWorkPlaces re-reads the tree and re-shows the page that is down.
    const int added = addWorkPlace(QStringLiteral("Склад"), boss);
    w->RefreshWorkPlaces();
    EXPECT_EQ(tree->markupModel()->rowCount(tree->markupModel()->index(0, 0)), 2);
    EXPECT_EQ(page->positionMap().workPlaceAt(1), added);
    EXPECT_EQ(page->view(), PlannerPage::View::Month);
    w->close();
}

TEST_F(PlannerMainTest, BossWithoutWorkPlacesHasNoPlannerEditMenu)
{
    addUser(QStringLiteral("Шеф"), UserRole::Boss);
    auto w = loggedIn(QStringLiteral("Шеф"));
    click(*w, "sb1");
    EXPECT_FALSE(menuShown(*w, "miEdit"));
    EXPECT_FALSE(w->planner()->grid()->isVisible());
    EXPECT_TRUE(w->findChild<QLabel*>(QStringLiteral("pnPlannerCaption"))->isVisible());
    click(*w, "sbTodoList");
    EXPECT_FALSE(menuShown(*w, "miEdit"));
    w->close();
}

// The planner's tool bar, item menu, grid menu and the main "Правка" carry
// their texts and hints and run their commands; the calendar marks follow
// add, cut, paste and delete at once. A paste carries the template, but not
// the finished mark, the sound or the reminder.
TEST_F(PlannerMainTest, MenusAndToolBarsRunTheCommandsTheirTextsName)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int place = addWorkPlace(QStringLiteral("Цех"), boss);
    auto w = loggedIn(QStringLiteral("Шеф"));
    click(*w, "sb31");
    PlannerPage& page = *w->planner();
    widgets::PlannerGrid& grid = *page.grid();
    const auto texts = [&w](const char* menu) {
        QStringList out;
        for (QAction* a : w->findChild<QMenu*>(QLatin1String(menu))->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + QLatin1Char('=') + a->text());
        return out;
    };
    EXPECT_EQ(texts("pmItem"),
              QStringList({"N2=Править", "N3=Удалить", "-", "N31=Вырезать", "N32=Копировать"}));
    EXPECT_EQ(texts("pmPlanner"),
              QStringList({"N4=Добавить", "N35=Вставить", "N10=Печать", "miPagedPrint=Печать по страницам…",
                           "miSavePdf=Сохранить в PDF"}));
    EXPECT_EQ(texts("miEdit"), QStringList({"pmmiAdd=Добавить", "N23=Править", "pmmiDel=Удалить", "-",
                                            "pmmiCut=Вырезать", "N27=Копировать", "N28=Вставить", "-",
                                            "N21=Печать", "miPagedPrint=Печать по страницам…",
                                            "miSavePdf=Сохранить в PDF", "-", "miEventSearch=Поиск"}));
    QStringList hints;
    for (QToolButton* b : page.controlPlanner()->findChildren<QToolButton*>())
        if (b->objectName().startsWith(QLatin1String("sb")))
            hints << b->objectName() + QLatin1Char('=') + b->toolTip();
    EXPECT_EQ(hints, QStringList({"sbAdd=Добавить", "sbEdit=Править", "sbDel=Удалить", "sbCut=Вырезать",
                                  "sbCopy=Копировать", "sbPaste=Вставить", "sbEventPrint=Печать",
                                  "sbSearch=Поиск на странице"}));
    EXPECT_EQ(w->findChild<QToolButton*>(QStringLiteral("sbExit"))->toolTip(),
              QStringLiteral("Выход их системы"));

    const auto run = [&w](const char* action) { w->findChild<QAction*>(QLatin1String(action))->trigger(); };
    const auto eventOn = [&](int day) {
        for (int r = 0; r < page.events().recordCount(); ++r)
            if (page.events().valueAt(r, QStringLiteral("STARTTIME")).toDate() == QDate(2024, 3, day))
                return grid.itemByKey(page.events().valueAt(r, QStringLiteral("ID")));
        return static_cast<widgets::PlannerItem*>(nullptr);
    };
    page.commands().setDialogRunner([](planner::TfmTask& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(QStringLiteral("Новое"));
        dialog.sbOKClick();
    });
    widgets::PlannerCalendar& calendar = *page.calendar();
    grid.selectCells(0, 9, 9);
    run("pmmiAdd");
    ASSERT_NE(eventOn(10), nullptr);
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 3, 10)));
    const int added = eventOn(10)->key.toInt();
    m_c->execute(QStringLiteral("UPDATE EVENTS SET USERSID = NULL, TEMPLATE = 7, ISFINISH = 'T', SOUND = 3, "
                                "ALARM = 20 WHERE ID = :I"),
                 {{QStringLiteral("I"), added}});
    m_c->commitRetaining();
    page.events().reopen();

    grid.selectItem(eventOn(10));
    run("N23");
    EXPECT_EQ(eventColumn(added, QStringLiteral("USERSID")).toInt(), boss) << "Править changes the event";
    grid.selectItem(eventOn(10));
    run("pmmiCut");
    EXPECT_EQ(eventOn(10), nullptr);
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 10)));
    grid.selectCells(0, 11, 11);
    run("N28");
    grid.selectCells(0, 12, 12);
    run("N35");
    ASSERT_NE(eventOn(12), nullptr);
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 3, 12)));
    const int pasted = eventOn(12)->key.toInt();
    EXPECT_EQ(eventColumn(pasted, QStringLiteral("TEMPLATE")).toInt(), 7);
    EXPECT_EQ(eventColumn(pasted, QStringLiteral("WORKPLACE")).toInt(), place);
    for (const char* column : {"ISFINISH", "SOUND", "ALARM"})
        EXPECT_TRUE(eventColumn(pasted, QLatin1String(column)).isNull()) << column;

    grid.selectItem(eventOn(12));
    run("N27");
    EXPECT_EQ(page.commands().clipboard().templateId.toInt(), 7);
    m_platform.queueAnswer(true);
    grid.selectItem(eventOn(12));
    run("pmmiDel");
    EXPECT_EQ(eventOn(12), nullptr);
    EXPECT_FALSE(calendar.isMarked(QDate(2024, 3, 12)));
    EXPECT_TRUE(calendar.isMarked(QDate(2024, 3, 13)));
    w->close();
}

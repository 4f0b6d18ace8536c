// The planner page inside the main window: loaded after login and on the
// first activation, its views behind the page buttons, "Правка" shown only
// while events can be shown.

#include "markupcombobox.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "plannerfixture.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "query.h"
#include "tfmmain.h"
#include "tfmsystementer.h"
#include "workplacetree.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTemporaryDir>
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

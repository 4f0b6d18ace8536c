// The users manager through the main window's menu command, on the real
// database: who sees and may do what, the linked right boxes, the name
// refusal, and commit on OK against rollback on Cancel.

#include "adminfixture.h"

#include "admincommands.h"
#include "connection.h"
#include "dialogbar.h"
#include "markupitemdelegate.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "optionlists.h"
#include "plannerpage.h"
#include "query.h"
#include "tfmadduser.h"
#include "tfmoptions.h"
#include "tfmusersmanager.h"
#include "workplacetree.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace tarvik;
using namespace tarvik::admin;

namespace {

class UsersManagerTest : public test::AdminFixture
{
protected:
    static QStringList topTexts(TfmUsersManager& m)
    {
        QStringList out;
        const widgets::MarkupTreeModel* model = m.tree()->markupModel();
        for (int r = 0; r < model->rowCount(); ++r)
            out << model->index(r, 0).data().toString();
        return out;
    }
    static QModelIndex nodeNamed(TfmUsersManager& m, const QString& text)
    {
        const auto found =
            m.tree()->markupModel()->match(m.tree()->markupModel()->index(0, 0), Qt::DisplayRole, text, 1,
                                           Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
    static QList<bool> userButtons(TfmUsersManager& m)
    {
        QList<bool> out;
        for (const char* name : {"sbAddAdmin", "sbAddBoss", "sbAddWorker", "sbEdit", "sbDel"})
            out << m.findChild<QToolButton*>(QLatin1String(name))->isEnabled();
        return out;
    }
    // Answers the user dialog with a name and password.
    static void answerUser(const QString& name)
    {
        onModal<TfmAddUser>([name](TfmAddUser& d) {
            d.setFields(name, QStringLiteral("1"));
            d.bar()->okButton()->click();
        });
    }
};

} // namespace

TEST_F(UsersManagerTest, WhatBossesAndAdministratorsSeeAndMayDo)
{
    auto boss = loggedIn(QStringLiteral("Шеф"), QStringLiteral("Pw"), false);
    {
        TfmUsersManager m(boss->connection(), boss->options(), m_boss, UserRole::Boss, true);
        EXPECT_EQ(topTexts(m), QStringList{QStringLiteral(" Шеф")});
        EXPECT_EQ(m.tree()->markupModel()->index(0, 0).data(widgets::MarkupRole).toString(),
                  QStringLiteral("<IMG src=\"idx:1\"> <b>Шеф</b>"));
        EXPECT_EQ(userButtons(m), QList<bool>(5, false)) << "a boss keeps no users";
        EXPECT_EQ(m.pageShown(), 0) << "his own node shows nothing";
        m.tree()->setCurrentIndex(nodeNamed(m, QStringLiteral("Рабочий")));
        EXPECT_EQ(m.pageShown(), 3);
        EXPECT_TRUE(m.findChild<QToolButton*>(QStringLiteral("sbAddWorkPlace"))->isEnabled());
    }
    boss->close();

    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    TfmUsersManager m(admin->connection(), admin->options(), 1, UserRole::Administrator, false);
    EXPECT_EQ(topTexts(m), (QStringList{QStringLiteral(" Администраторы"), QStringLiteral(" Другой"),
                                        QStringLiteral(" Шеф")}));
    EXPECT_EQ(userButtons(m), QList<bool>(5, false)) << "outside exclusive mode";
    m.tree()->setCurrentIndex(nodeNamed(m, QStringLiteral("Рабочий")));
    ASSERT_EQ(m.pageShown(), 3);
    auto* view = m.findChild<QCheckBox*>(QStringLiteral("cbView"));
    auto* edit = m.findChild<QCheckBox*>(QStringLiteral("cbEdit"));
    EXPECT_TRUE(view->isChecked() && edit->isChecked());

    // Unticking the view right takes the edit right with it; ticking the
    // edit right brings the view right back. Each is stored at once.
    view->click();
    EXPECT_FALSE(edit->isChecked());
    EXPECT_EQ(m.rights().text(QStringLiteral("WVIEW")), QStringLiteral("F"));
    EXPECT_EQ(m.rights().text(QStringLiteral("WEDIT")), QStringLiteral("F"));
    edit->click();
    EXPECT_TRUE(view->isChecked());
    EXPECT_EQ(m.rights().text(QStringLiteral("WVIEW")), QStringLiteral("T"));
    EXPECT_EQ(m.rights().text(QStringLiteral("WEDIT")), QStringLiteral("T"));
    admin->connection().rollbackRetaining();
}

// Granting goes through the options window's work-place-choice mode; the new
// row grants nothing until a box is ticked. OK commits, and the worker's
// own workstation rebuilds its tree from the alert.
TEST_F(UsersManagerTest, GrantedPlaceReachesTheWorkerOnOk)
{
    auto worker = loggedIn(QStringLiteral("Рабочий"), QStringLiteral("Pw"), false);
    worker->show();
    worker->FormActivate();
    widgets::MarkupTreeModel& workerTree = *worker->planner()->workPlaceTree().view()->markupModel();
    ASSERT_EQ(workerTree.rowCount(workerTree.index(0, 0)), 1);

    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), false);
    bool checked = false;
    onModal<TfmUsersManager>([&](TfmUsersManager& m) {
        m.tree()->setCurrentIndex(nodeNamed(m, QStringLiteral("Рабочий")));
        onModal<TfmOptions>([&](TfmOptions& o) {
            EXPECT_EQ(o.mode(), TfmOptions::Mode::WorkPlaceChoice);
            EXPECT_FALSE(o.pageTree()->isEnabled());
            db::Query& places = o.lists().workPlaces();
            EXPECT_EQ(places.recordCount(), 2) << "the places of the worker's boss";
            places.locate(QStringLiteral("ID"), m_other);
            o.sbOKClick();
        });
        m.findChild<QToolButton*>(QStringLiteral("sbAddWorkPlace"))->click();
        EXPECT_EQ(m.rights().recordCount(), 2);
        m.rights().locate(QStringLiteral("WORKPLACEID"), m_other);
        EXPECT_TRUE(m.rights().isNull(QStringLiteral("WVIEW")) && m.rights().isNull(QStringLiteral("WEDIT")));
        EXPECT_FALSE(m.findChild<QCheckBox*>(QStringLiteral("cbView"))->isChecked());
        const auto* grid = m.findChild<QTableView*>(QStringLiteral("dbgUserWorkPlace"));
        const int row = m.rights().recNo();
        EXPECT_TRUE(grid->model()
                        ->index(row, 1)
                        .data(Qt::DecorationRole)
                        .value<QPixmap>()
                        .toImage()
                        .pixelColor(8, 8)
                        .alpha() == 0);
        EXPECT_EQ(grid->model()->index(row, 0).data().toString(), QStringLiteral("Склад"));
        EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM USERWORKPLACE")), 1)
            << "nobody else sees it before OK";
        m.findChild<QCheckBox*>(QStringLiteral("cbView"))->click();
        checked = true;
        m.bar()->okButton()->click();
    });
    admin->administration().miUsersManagerClick();
    ASSERT_TRUE(checked);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM USERWORKPLACE WHERE WVIEW = 'T'")), 2);
    EXPECT_TRUE(admin->options().pageTree()->isEnabled()) << "the options window is normal again";
    EXPECT_TRUE(QTest::qWaitFor([&] { return workerTree.rowCount(workerTree.index(0, 0)) == 2; }, 5000));
    admin->close();
    worker->close();
}

TEST_F(UsersManagerTest, StoreFailuresTheAdministratorGuardAndCancel)
{
    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
    bool done = false;
    onModal<TfmUsersManager>([&](TfmUsersManager& m) {
        EXPECT_EQ(userButtons(m), QList<bool>(5, true));
        answerUser(QStringLiteral("Новый"));
        m.findChild<QToolButton*>(QStringLiteral("sbAddBoss"))->click();
        const QStringList before = topTexts(m);
        EXPECT_TRUE(before.contains(QStringLiteral(" Новый")));
        EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM USERS WHERE NAME = 'Новый'")), 0);

        // A taken name: the message, then the dialog again with what was
        // typed; giving up leaves the tree as it was.
        m_platform.clearMessages();
        QString retyped;
        onModal<TfmAddUser>([&](TfmAddUser& d) {
            d.setFields(QStringLiteral("Шеф"), QStringLiteral("1"));
            onModal<TfmAddUser>([&](TfmAddUser& again) {
                retyped = again.name();
                again.bar()->cancelButton()->click();
            });
            d.bar()->okButton()->click();
        });
        m.findChild<QToolButton*>(QStringLiteral("sbAddAdmin"))->click();
        EXPECT_EQ(m_platform.messageTexts(),
                  QStringList{QStringLiteral("Пользователь с таким именем уже существует")});
        EXPECT_EQ(retyped, QStringLiteral("Шеф"));
        EXPECT_EQ(topTexts(m), before);

        // A row held by another workstation is not a taken name: the
        // server's own text is shown.
        auto other = database().connect();
        other->execute(QStringLiteral("UPDATE USERS SET PASS = 'x' WHERE ID = :I"),
                       {{QStringLiteral("I"), m_worker}});
        m_platform.clearMessages();
        m.tree()->setCurrentIndex(nodeNamed(m, QStringLiteral("Рабочий")));
        onModal<TfmAddUser>([](TfmAddUser& d) {
            d.setFields(QStringLiteral("Рабочий 2"), QStringLiteral("1"));
            onModal<TfmAddUser>([](TfmAddUser& again) { again.bar()->cancelButton()->click(); });
            d.bar()->okButton()->click();
        });
        m.findChild<QToolButton*>(QStringLiteral("sbEdit"))->click();
        EXPECT_EQ(m_platform.messages().size(), 1);
        if (!m_platform.messages().isEmpty()) {
            EXPECT_EQ(m_platform.messages()[0].kind, MessageKind::Error);
            EXPECT_TRUE(m_platform.messages()[0].text.contains(
                QStringLiteral("update conflicts with concurrent update")))
                << m_platform.messages()[0].text.toStdString();
        }
        other->rollback();

        // "Администратор" is refused only once the question was answered Yes.
        m.tree()->setCurrentIndex(nodeNamed(m, QStringLiteral("Администратор")));
        m_platform.clearMessages();
        m_platform.queueAnswer(false);
        m.findChild<QToolButton*>(QStringLiteral("sbDel"))->click();
        EXPECT_EQ(m_platform.messages().size(), 1) << "only the question";
        m_platform.queueAnswer(true);
        m.findChild<QToolButton*>(QStringLiteral("sbDel"))->click();
        EXPECT_EQ(m_platform.messageTexts().last(),
                  QStringLiteral("Невозможно удалить пользователя Администратор!"));

        // A worker for the new boss, with a right, then Cancel.
        m.tree()->setCurrentIndex(nodeNamed(m, QStringLiteral("Новый")));
        answerUser(QStringLiteral("Его рабочий"));
        m.findChild<QToolButton*>(QStringLiteral("sbAddWorker"))->click();
        done = true;
        m.bar()->cancelButton()->click();
    });
    admin->administration().miUsersManagerClick();
    ASSERT_TRUE(done);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM USERS")), 5);
    auto& own = admin->connection();
    db::Query q(own, QStringLiteral("SELECT COUNT(*) FROM USERS WHERE NAME IN ('Новый', 'Его рабочий')"));
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 0) << "rolled back at the workstation itself";
    admin->close();
}

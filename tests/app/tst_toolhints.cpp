// A screen reader names a tool button that shows only a picture by its
// hint: every tool button of the main window, its pages and the dialogs
// must have one.

#include "mainwindowfixture.h"
#include "optionlists.h"
#include "query.h"
#include "reminders.h"
#include "reportdocument.h"
#include "taskchoices.h"
#include "tfmabout.h"
#include "tfmaddsound.h"
#include "tfmaddtexts.h"
#include "tfmadduser.h"
#include "tfmalarmtask.h"
#include "tfmclearbase.h"
#include "tfmeventsearch.h"
#include "tfmnew.h"
#include "tfmoptions.h"
#include "tfmpreview.h"
#include "tfmsystementer.h"
#include "tfmtask.h"
#include "tfmtemplate.h"
#include "tfmusersmanager.h"
#include "tfmworkplace.h"

#include <QToolButton>

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

// The tool buttons of a window without a hint, by name. Buttons that Qt
// makes inside its own widgets (scroll arrows of tab bars, the tool bar's
// extension) are Qt's to name.
QStringList unhinted(const QWidget& window)
{
    QStringList names;
    for (const QToolButton* b : window.findChildren<QToolButton*>()) {
        const QWidget* parent = b->parentWidget();
        const bool qtOwn = b->objectName().startsWith(QLatin1String("qt_")) || parent->inherits("QTabBar") ||
                           parent->inherits("QLineEdit") || parent->inherits("QAbstractSpinBox") ||
                           parent->inherits("QCalendarWidget");
        if (!qtOwn && b->toolTip().trimmed().isEmpty())
            names << window.objectName() + QLatin1Char('/') + b->objectName() + QLatin1Char('"') + b->text() +
                         QLatin1Char('"');
    }
    return names;
}

class ToolHintsTest : public test::MainWindowFixture
{
};

} // namespace

TEST_F(ToolHintsTest, EveryToolButtonOfTheWindowsAndDialogsHasItsHint)
{
    auto w = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
    ASSERT_TRUE(w->loggedIn());
    db::Connection& c = w->connection();
    admin::TfmOptions& options = w->options();
    db::Query& templates = options.lists().templates();
    templates.first();

    std::vector<std::unique_ptr<QWidget>> dialogs;
    dialogs.push_back(std::make_unique<startup::TfmAbout>());
    dialogs.push_back(std::make_unique<startup::TfmSystemEnter>(w->users()));
    dialogs.push_back(std::make_unique<planner::TfmTask>(planner::TaskChoices::load(c)));
    dialogs.push_back(std::make_unique<tasks::TfmClearBase>(c));
    dialogs.push_back(std::make_unique<tasks::TfmEventSearch>(c));
    for (auto mode : {messaging::TfmAddTexts::Mode::New, messaging::TfmAddTexts::Mode::Open,
                      messaging::TfmAddTexts::Mode::Answer})
        dialogs.push_back(std::make_unique<messaging::TfmAddTexts>(mode));
    dialogs.push_back(std::make_unique<reports::TfmPreview>(reports::ReportDocument()));
    dialogs.push_back(std::make_unique<admin::TfmAddSound>(QStringLiteral("Звук"), *w->soundPlayer()));
    dialogs.push_back(std::make_unique<admin::TfmAddUser>(QStringLiteral("Пользователь")));
    dialogs.push_back(std::make_unique<admin::TfmWorkPlace>(QStringLiteral("Склад")));
    dialogs.push_back(std::make_unique<admin::TfmTemplate>(templates, false));
    dialogs.push_back(std::make_unique<admin::TfmUsersManager>(c, options, w->profile().userId,
                                                               UserRole::Administrator, true));

    QStringList missing =
        unhinted(*w) + unhinted(options) + unhinted(w->reminders()->window()) + unhinted(*w->noticeWindow());
    for (const auto& d : dialogs)
        missing += unhinted(*d);
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
}

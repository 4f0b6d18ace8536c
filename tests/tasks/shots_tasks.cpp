// Renders the task list page and the event search window of a database to
// PNG files, logged in as the administrator: shots_tasks <database> <folder>.
// Not a test; built on request (target shots_tasks).

#include "datepicker.h"
#include "markupcombobox.h"
#include "platformscope.h"
#include "query.h"
#include "scriptedplatform.h"
#include "tfmeventsearch.h"
#include "tfmmain.h"
#include "tfmsystementer.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <cstdio>

using namespace tarvik;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: shots_tasks <database> <folder>\n");
        return 2;
    }
    ScriptedPlatform platform;
    PlatformScope scope(platform);
    QTemporaryDir programDir;
    QFile init(programDir.filePath(QStringLiteral("init.txt")));
    if (!init.open(QIODevice::WriteOnly))
        return 1;
    init.write(QByteArray(argv[1]) + "\n");
    init.close();
    const QDir out(QString::fromLocal8Bit(argv[2]));

    startup::TfmMain window(programDir.path());
    if (!window.connectDatabase())
        return 1;
    startup::TfmSystemEnter* login = window.loginDialog();
    if (!login->openList() || !window.users().locate(QStringLiteral("ID"), 1))
        return 1;
    login->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"))
        ->selectPosition(window.users().recNo());
    login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("admin"));
    login->sbOKClick();
    if (!login->loggedIn())
        return 1;
    window.applyLogin(login->profile());
    window.resize(1024, 700);
    window.show();
    window.FormActivate();
    window.findChild<QToolButton*>(QStringLiteral("sbTodoList"))->click();
    QApplication::processEvents();
    const bool listSaved = window.grab().save(out.filePath(QStringLiteral("tasklist.png")));

    tasks::TfmEventSearch search(window.connection(), &window);
    search.findChild<QLineEdit*>(QStringLiteral("edKey"))->setText(QStringLiteral("Звонок"));
    search.findChild<QCheckBox*>(QStringLiteral("cbPeriod"))->setChecked(true);
    const QDate today = QDate::currentDate();
    search.findChild<widgets::DatePicker*>(QStringLiteral("pdStart"))
        ->setDate(QDate(today.year(), today.month(), 1));
    search.findChild<widgets::DatePicker*>(QStringLiteral("pdEnd"))->setDate(today.addMonths(1));
    search.sbSearchClick();
    search.show();
    QApplication::processEvents();
    const bool searchSaved = search.grab().save(out.filePath(QStringLiteral("eventsearch.png")));
    search.close();
    window.close();
    return listSaved && searchSaved ? 0 : 1;
}

// Tarvik: the work-time organiser of the enterprise's workstations.

#include "fbclient.h"
#include "platform.h"
#include "tfmmain.h"

#include <QApplication>
#include <QDir>
#include <QLocale>

using namespace tarvik;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    platform().setApplicationTitle(QStringLiteral("Tarvik"));
    platform().setHelpFile(QStringLiteral("Tarvik.html"));
    // Month and weekday names are Russian, as everything the programs show.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    // Without a usable client library nothing can start; say so first.
    if (!db::loadClientLibrary()) {
        if (platform().message(MessageKind::Error, MessageButtons::YesNo, startup::initialisationFailureText()))
            platform().openDocument(QStringLiteral("firebird.html"));
        return 1;
    }
    startup::TfmMain window(QCoreApplication::applicationDirPath());
    QObject::connect(&window, &startup::TfmMain::closed, &app, &QCoreApplication::quit);
    if (!window.start())
        return 0;
    window.show();
    return app.exec();
}

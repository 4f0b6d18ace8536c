// Tarvik: the work-time organiser of the enterprise's workstations.

#include "fbclient.h"
#include "platform.h"
#include "tarvikapplication.h"
#include "tfmmain.h"

#include <QDir>
#include <QLocale>

using namespace tarvik;

int main(int argc, char* argv[])
{
    TarvikApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    platform().setApplicationTitle(QStringLiteral("Tarvik"));
    platform().setHelpFile(QStringLiteral("Tarvik.html"));
    // Month and weekday names are Russian, as everything the programs show.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    // Without a usable client library nothing can start; say so first.
    if (!db::loadClientLibrary()) {
        if (platform().message(MessageKind::Error, MessageButtons::YesNo,
                               startup::initialisationFailureText()))
            platform().openDocument(QStringLiteral("firebird.html"));
        return 1;
    }
    startup::TfmMain window(QCoreApplication::applicationDirPath());
    QObject::connect(&window, &startup::TfmMain::closed, &app, &QCoreApplication::quit);
    try {
        if (!window.start())
            return 0;
    } catch (const std::exception& e) {
        // The start-up handles the database's failures itself; anything else
        // is shown rather than ending the program with an abort.
        TarvikApplication::showUnhandled(e);
        return 1;
    }
    window.show();
    return app.exec();
}

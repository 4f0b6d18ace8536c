// Ruduvo: clears the presence marks that Tarvik leaves in the database when
// a workstation stops without the user leaving.

#include "dberror.h"
#include "fbclient.h"
#include "pictures.h"
#include "platform.h"
#include "query.h"
#include "ruduvoenter.h"
#include "ruduvomain.h"
#include "ruduvostart.h"
#include "tarvikapplication.h"

#include <QDir>
#include <QLocale>

using namespace tarvik;

int main(int argc, char* argv[])
{
    TarvikApplication app(argc, argv);
    app.setWindowIcon(widgets::Pictures::utilityIcon());
    platform().setApplicationTitle(ruduvo::kTitle);
    platform().setHelpFile(QStringLiteral("Tarvik.html"));
    // Month and weekday names are Russian, as everything the programs show.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    QString why;
    if (!db::loadClientLibrary(&why)) {
        platform().error(QStringLiteral("Не удалось загрузить клиентскую библиотеку Firebird.\r") + why);
        return 1;
    }
    auto connection = ruduvo::connectFromConfig(QDir::currentPath(), QCoreApplication::applicationDirPath());
    if (!connection)
        return 1;
    try {
        db::Query users(*connection);
        ruduvo::TfmSystemEnter enter(users);
        if (enter.exec() != QDialog::Accepted)
            return 0;
        ruduvo::TfmMain window(*connection, users);
        window.exec();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return 1;
    }
    return 0;
}

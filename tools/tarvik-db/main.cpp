// tarvik-db: creates the shared database of Tarvik and keeps it up to date.
//
//   tarvik-db create [--demo] <database>
//   tarvik-db upgrade <database>     adds what this build's programs expect
//   tarvik-db maintain <database>    index statistics, old change records cleared (run nightly)
//
// <database> is a file path or a connection string such as
// localhost:/srv/tarvik/tk.gdb.

#include "bellsound.h"
#include "connection.h"
#include "databasecreator.h"
#include "dberror.h"
#include "maintenance.h"
#include "schemaupgrade.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    const QString command = args.value(0);
    const QStringList commands = {QStringLiteral("create"), QStringLiteral("upgrade"),
                                  QStringLiteral("maintain")};
    if (args.size() != 2 || !commands.contains(command) || (demo && command != QLatin1String("create"))) {
        err << "usage: tarvik-db create [--demo] <database>\n"
               "       tarvik-db upgrade <database>\n"
               "       tarvik-db maintain <database>\n"
               "\n"
               "maintain recomputes the statistics the server plans its statements by and clears\n"
               "the records of changes older than 7 days that workstations read; run it nightly\n"
               "(a workstation that last looked before them reads its rows whole).\n";
        return 2;
    }
    const QString database = args.at(1);
    if (command == QLatin1String("maintain")) {
        try {
            tarvik::db::Connection connection(tarvik::db::ConnectionParams{database});
            connection.open();
            const tarvik::db::MaintenanceReport report = tarvik::db::maintainDatabase(connection);
            connection.commit();
            connection.close();
            out << "tarvik-db: " << database << ": statistics of " << report.indexes.size() << " indexes, "
                << report.eventsGoneCleared << " records of deleted events and " << report.shownLogCleared
                << " records of shown reminders cleared\n";
        } catch (const tarvik::db::DbError& e) {
            err << "tarvik-db: " << database << ": " << e.text() << "\n";
            return 1;
        }
        return 0;
    }
    if (command == QLatin1String("upgrade")) {
        try {
            tarvik::db::Connection connection(tarvik::db::ConnectionParams{database});
            connection.open();
            const QStringList made = tarvik::db::upgradeSchema(connection);
            connection.commit();
            connection.close();
            out << "tarvik-db: " << database
                << (made.isEmpty() ? QStringLiteral(" is up to date")
                                   : QStringLiteral(" upgraded: ") + made.join(QStringLiteral(", ")))
                << "\n";
        } catch (const tarvik::db::DbError& e) {
            err << "tarvik-db: " << database << ": " << e.text() << "\n";
            return 1;
        }
        return 0;
    }
    try {
        tarvik::db::createDatabase(database, demo);
    } catch (const tarvik::db::DbError& e) {
        err << "tarvik-db: " << database << ": " << e.text() << "\n";
        return 1;
    }
    // The demo office's reminder sound lies beside the programs.
    const QString bell = QCoreApplication::applicationDirPath() + QStringLiteral("/sounds/bell.wav");
    if (demo && !QFile::exists(bell) && !writeBellSound(bell))
        err << "tarvik-db: cannot write " << bell << "\n";
    out << "tarvik-db: created " << database << (demo ? " with the demo office" : "") << "\n";
    return 0;
}

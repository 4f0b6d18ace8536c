// Makes the files an installation delivers that the build draws or
// synthesises rather than keeps in the sources: the menu icons of both
// programs, drawn by the same code as their window icons, and the demo
// office's reminder sound.
//
//   tarvik-delivery-files <folder>
//
// writes <folder>/icons/hicolor/<n>x<n>/apps/{tarvik,tarvik-ruduvo}.png and
// <folder>/sounds/bell.wav.

#include "bellsound.h"
#include "pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

using tarvik::widgets::Pictures;

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: tarvik-delivery-files <folder>\n";
        return 2;
    }
    const QDir out(app.arguments().at(1));
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString apps = out.filePath(QStringLiteral("icons/hicolor/%1x%1/apps").arg(size));
        ok = out.mkpath(apps) && ok;
        ok = Pictures::programImage(size).save(apps + QStringLiteral("/tarvik.png")) && ok;
        ok = Pictures::utilityImage(size).save(apps + QStringLiteral("/tarvik-ruduvo.png")) && ok;
    }
    ok = writeBellSound(out.filePath(QStringLiteral("sounds/bell.wav"))) && ok;
    if (!ok) {
        err << "tarvik-delivery-files: cannot write into " << out.absolutePath() << "\n";
        return 1;
    }
    return 0;
}

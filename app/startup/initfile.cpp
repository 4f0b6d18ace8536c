#include "initfile.h"

#include <QDir>
#include <QFile>

namespace tarvik::startup {

QString automaticDatabase(const QString& programDir)
{
    return QDir::toNativeSeparators(QDir(programDir).filePath(QStringLiteral("db/tk.gdb")));
}

bool readFirstLine(const QString& path, QString* line)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.readLine();
    if (head.isEmpty())
        return false;
    QByteArray bytes = head;
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    *line = QString::fromLocal8Bit(bytes);
    return true;
}

QString databaseNameFromLine(const QString& line, const QString& programDir)
{
    return line == kAutoLine ? automaticDatabase(programDir) : line;
}

QString findFileIgnoringCase(const QString& dir, const QString& name)
{
    const QDir folder(dir);
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return folder.filePath(name);
}

} // namespace tarvik::startup

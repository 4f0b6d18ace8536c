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
    // Room for the longest line, its "\r\n" and the NUL readLine adds; a
    // line that goes on beyond that is too long to be a name and is not
    // read further.
    QByteArray bytes(kMaxFirstLineBytes + 3, Qt::Uninitialized);
    const qint64 length = f.readLine(bytes.data(), bytes.size());
    if (length <= 0)
        return false;
    bytes.truncate(length);
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    else if (!f.atEnd())
        return false;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    if (bytes.size() > kMaxFirstLineBytes)
        return false;
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

// The configuration file reader on any file content: it ends without crash
// or hang, reads the first line as it stands, without its line break, unless
// the line is longer than a database name can be, and gives the database
// name by the "#auto" rule alone.

#include "fuzzcheck.h"
#include "initfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>

using namespace tarvik::startup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A folder of its own for each run, in memory where the system has it
    // (writing the input is most of the work of a run).
    static const QString base =
        QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QTemporaryDir folder(base + QStringLiteral("/tarvik-initfile-fuzz-XXXXXX"));
    fuzzCheck(folder.isValid(), "a folder for the input can be made");
    const QString dir = folder.path();
    const QString path = QDir(dir).filePath(kInitFileName);
    {
        QFile f(path);
        fuzzCheck(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file can be written");
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    fuzzCheck(findFileIgnoringCase(dir, QStringLiteral("INIT.TXT")) == path, "the file is found by name");
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype newline = content.indexOf('\n');
    QByteArray first = newline < 0 ? content : content.left(newline);
    if (first.endsWith('\r'))
        first.chop(1);
    const bool hasLine = !content.isEmpty() && first.size() <= kMaxFirstLineBytes;
    QString line;
    fuzzCheck(readFirstLine(path, &line) == hasLine, "a file has a first line unless empty or too long");
    if (!hasLine)
        return 0;
    fuzzCheck(line == QString::fromLocal8Bit(first), "the first line is read as it stands");
    const QString programDir = QStringLiteral("/opt/prog");
    const QString name = databaseNameFromLine(line, programDir);
    fuzzCheck(line == kAutoLine ? name == automaticDatabase(programDir) : name == line,
              "the name is the line itself unless it is exactly the automatic form");
    return 0;
}

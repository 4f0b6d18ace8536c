#include "reportpdf.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace tarvik::test {

QString pdfText(const QString& pdfPath, const QString& keepAs)
{
    const QString keep = qEnvironmentVariable("TARVIK_KEEP_REPORTS");
    if (!keep.isEmpty() && !keepAs.isEmpty()) {
        QDir().mkpath(keep);
        QFile::remove(keep + u'/' + keepAs);
        QFile::copy(pdfPath, keep + u'/' + keepAs);
    }
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfRawText(const QString& pdfPath)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdfPath, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString& pdfPath)
{
    return int(pdfText(pdfPath).count(u'\f'));
}

} // namespace tarvik::test

#include "pdfexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QProgressDialog>
#include <QSaveFile>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>
#include <stdexcept>

namespace tarvik::reports {

namespace {

std::runtime_error writeError(const QString& path, const QString& reason)
{
    return std::runtime_error(QStringLiteral("Не удалось записать файл \"%1\": %2")
                                  .arg(QDir::toNativeSeparators(path), reason)
                                  .toStdString());
}

} // namespace

QString withPdfSuffix(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QStringLiteral(".pdf");
}

bool writePdf(const ReportDocument& report, const QString& path, const PageProgress& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeError(path, file.errorString());
    bool stopped = false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Tarvik v1.0"));
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4),
                        report.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw writeError(path, file.errorString());
        const int pages = report.pageCount();
        for (int p = 0; p < pages; ++p) {
            if (p > 0)
                writer.newPage();
            report.paintPage(p, painter);
            if (progress && !progress(p + 1, pages)) {
                stopped = true;
                break;
            }
        }
        painter.end();
    }
    if (stopped) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        throw writeError(path, file.errorString());
    return true;
}

bool runWithProgress(QWidget* parent, const QString& label,
                     const std::function<bool(const PageProgress& progress)>& work)
{
    std::atomic<bool> cancelled{false};
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::exception_ptr failure;
    bool completed = false;
    const PageProgress progress = [&](int d, int t) {
        done = d;
        total = t;
        return !cancelled.load();
    };
    QThread* thread = QThread::create([&] {
        try {
            completed = work(progress);
        } catch (...) {
            failure = std::current_exception();
        }
    });

    QProgressDialog dialog(label, QStringLiteral("Отмена"), 0, 0, parent);
    dialog.setObjectName(QStringLiteral("fmProgress"));
    dialog.setWindowTitle(QCoreApplication::applicationName());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(300);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&cancelled] { cancelled = true; });
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (total > 0) {
            dialog.setMaximum(total);
            dialog.setValue(done);
        }
    });

    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    poll.start();
    if (!thread->isFinished())
        loop.exec();
    thread->wait();
    delete thread;
    poll.stop();
    dialog.reset();
    if (failure)
        std::rethrow_exception(failure);
    return completed;
}

} // namespace tarvik::reports

#include "qtplatform.h"

#include "helpviewer.h"
#include "wallclock.h"

#include <QApplication>
#include <QAudioOutput>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QSettings>
#include <QUrl>

namespace tarvik {

namespace {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QMessageBox::Icon iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Notice:
        return QMessageBox::Information;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtPlatform::QtPlatform() = default;

QtPlatform::~QtPlatform()
{
    // The default platform is a function-local static that may outlive the
    // application object; the player belongs to the application then and
    // a widget can no longer be deleted.
    if (QCoreApplication::instance())
        delete m_helpViewer;
}

void QtPlatform::setApplicationTitle(const QString& title)
{
    m_title = title;
    QGuiApplication::setApplicationDisplayName(title);
}

QString QtPlatform::applicationTitle() const
{
    return m_title;
}

bool QtPlatform::message(MessageKind kind, MessageButtons buttons, const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const auto qtButtons =
        buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(iconOf(kind), m_title, shown, qtButtons, QApplication::activeWindow());
    const int answer = box.exec();
    return answer == QMessageBox::Yes || answer == QMessageBox::Ok;
}

QString QtPlatform::localPath(const QString& path, const QString& base)
{
    QString local = path;
#ifndef Q_OS_WIN
    local.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return QDir(base).absoluteFilePath(local);
}

bool QtPlatform::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(localPath(path, QDir::currentPath())));
}

bool QtPlatform::startProgram(const QString& name)
{
#ifdef Q_OS_WIN
    const QString fileName = name + QStringLiteral(".exe");
#else
    const QString fileName = name;
#endif
    const QString beside = QDir(programFolder()).filePath(fileName);
    return QProcess::startDetached(QFileInfo::exists(beside) ? beside : fileName, {});
}

void QtPlatform::setHelpFile(const QString& fileName)
{
    m_helpFile = fileName;
}

QString QtPlatform::helpFile() const
{
    return m_helpFile;
}

void QtPlatform::showHelp(int topic)
{
    if (!m_helpViewer)
        m_helpViewer = new HelpViewer;
    m_helpViewer->showTopic(localPath(m_helpFile, programFolder()), topic);
    m_helpViewer->show();
    m_helpViewer->raise();
    m_helpViewer->activateWindow();
}

QVariant QtPlatform::readIni(const QString& file, const QString& section, const QString& key,
                             const QVariant& defaultValue)
{
    QSettings ini(localPath(file, programFolder()), QSettings::IniFormat);
    ini.beginGroup(section);
    return ini.value(key, defaultValue);
}

void QtPlatform::writeIni(const QString& file, const QString& section, const QString& key,
                          const QVariant& value)
{
    QSettings ini(localPath(file, programFolder()), QSettings::IniFormat);
    ini.beginGroup(section);
    ini.setValue(key, value);
}

bool QtPlatform::fileExists(const QString& path)
{
    return QFileInfo(localPath(path, QDir::currentPath())).isFile();
}

void QtPlatform::beep()
{
    QApplication::beep();
}

QDateTime QtPlatform::now()
{
    return wallClockNow();
}

void QtPlatform::ensurePlayer()
{
    if (m_player)
        return;
    m_player = new QMediaPlayer(QCoreApplication::instance());
    m_player->setAudioOutput(new QAudioOutput(m_player));
}

bool QtPlatform::soundAvailable()
{
    ensurePlayer();
    return m_player->isAvailable();
}

bool QtPlatform::playSound(const QString& path)
{
    if (!soundAvailable())
        return false;
    m_player->stop();
    m_player->setSource(QUrl::fromLocalFile(localPath(path, QDir::currentPath())));
    m_player->play();
    return m_player->error() == QMediaPlayer::NoError;
}

void QtPlatform::stopSound()
{
    if (m_player)
        m_player->stop();
}

bool QtPlatform::soundPlaying()
{
    return m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
}

QString QtPlatform::qtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts).join(' ');
        filters << QStringLiteral("%1 (%2)").arg(parts.at(i), patterns);
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtPlatform::chooseOpenFile(QWidget* parent, const QString& filter, const QString& initialPath)
{
    return QFileDialog::getOpenFileName(parent, {}, initialPath, qtFileFilter(filter));
}

QString QtPlatform::chooseSaveFile(QWidget* parent, const QString& filter, const QString& initialPath)
{
    return QFileDialog::getSaveFileName(parent, {}, initialPath, qtFileFilter(filter));
}

std::optional<QColor> QtPlatform::chooseColor(QWidget* parent, const QColor& initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

QStringList QtPlatform::fontFamilies()
{
    return QFontDatabase::families();
}

QStringList QtPlatform::printerNames()
{
    return QPrinterInfo::availablePrinterNames();
}

std::unique_ptr<QPrinter> QtPlatform::choosePrinter(QWidget* parent)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

Platform::ReportPrintChoice QtPlatform::chooseReportPrinter(QWidget* parent, int pageCount)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setCopyCount(1);
    printer->setCollateCopies(true);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, std::max(pageCount, 1));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QString pages;
    if (printer->printRange() == QPrinter::PageRange) {
        pages = printer->pageRanges().toString();
        if (pages.isEmpty() && printer->fromPage() > 0)
            pages = QStringLiteral("%1-%2").arg(printer->fromPage()).arg(printer->toPage());
    }
    return {std::move(printer), pages};
}

} // namespace tarvik

#include "qtplatform.h"

#include "helpviewer.h"
#include "wallclock.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioOutput>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QMessageBox>
#include <QPageRanges>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QSettings>
#include <QSoundEffect>
#include <QSystemTrayIcon>
#include <QUrl>

#include <dlfcn.h>

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
    // Only the boxes take it: a display name would make Qt append
    // " — Tarvik" to every window's caption.
    m_title = title;
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
    // An installed program folder belongs to the administrator, with only
    // the workstation's INI file open to its users: the file is rewritten in
    // place when no new file can be made beside it.
    ini.setAtomicSyncRequired(false);
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

bool QtPlatform::isWaveFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

bool QtPlatform::gstreamerCanPlay()
{
    // Qt Multimedia's player builds its pipeline without checking that the
    // elements exist: on a machine without GStreamer's base and good plug-ins
    // its constructor crashes. So the registry is asked first, through the
    // library Qt would load anyway, and without it there is no player.
    static const bool usable = [] {
        void* gst = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!gst)
            return false;
        using InitCheck = int (*)(int*, char***, void**);
        using FactoryFind = void* (*)(const char*);
        using Unref = void (*)(void*);
        const auto initCheck = reinterpret_cast<InitCheck>(dlsym(gst, "gst_init_check"));
        const auto find = reinterpret_cast<FactoryFind>(dlsym(gst, "gst_element_factory_find"));
        const auto unref = reinterpret_cast<Unref>(dlsym(gst, "gst_object_unref"));
        if (!initCheck || !find || !unref || !initCheck(nullptr, nullptr, nullptr))
            return false;
        for (const char* element :
             {"playbin", "uridecodebin", "decodebin", "audioconvert", "audioresample", "volume",
              "autoaudiosink", "videoconvert", "videoscale", "queue", "input-selector", "identity"}) {
            void* factory = find(element);
            if (!factory)
                return false;
            unref(factory);
        }
        // The library stays loaded: Qt's back end uses it from now on.
        return true;
    }();
    return usable;
}

bool QtPlatform::soundAvailable()
{
    // No output device means no sound server or card: nothing can be heard,
    // and reminders simply come without sound.
    if (!m_outputChecked) {
        m_outputChecked = true;
        m_outputAvailable = !QMediaDevices::audioOutputs().isEmpty();
    }
    return m_outputAvailable;
}

bool QtPlatform::playSound(const QString& path)
{
    stopSound();
    if (!soundAvailable())
        return false;
    const QString local = localPath(path, QDir::currentPath());
    // Wave files, the sounds the options offer, play through Qt's own reader
    // and the audio output alone; anything else needs a working media back end.
    if (isWaveFile(local)) {
        if (!m_effect)
            m_effect = new QSoundEffect(QCoreApplication::instance());
        m_effect->setSource(QUrl::fromLocalFile(local));
        m_effect->play();
        return m_effect->status() != QSoundEffect::Error;
    }
    if (!gstreamerCanPlay())
        return false;
    if (!m_player) {
        m_player = new QMediaPlayer(QCoreApplication::instance());
        m_player->setAudioOutput(new QAudioOutput(m_player));
    }
    if (!m_player->isAvailable())
        return false;
    m_player->setSource(QUrl::fromLocalFile(local));
    m_player->play();
    return m_player->error() == QMediaPlayer::NoError;
}

void QtPlatform::stopSound()
{
    if (m_effect)
        m_effect->stop();
    if (m_player)
        m_player->stop();
}

bool QtPlatform::soundPlaying()
{
    return (m_effect && m_effect->isPlaying()) ||
           (m_player && m_player->playbackState() == QMediaPlayer::PlayingState);
}

bool QtPlatform::systemTrayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

std::optional<Platform::LockKeys> QtPlatform::lockKeys()
{
#if QT_CONFIG(xcb)
    // The lock indicators of an X server, asked through the library Qt's own
    // connection comes from; loaded here so that nothing else depends on it.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display())
        return std::nullopt;
    static void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!xlib)
        return std::nullopt;
    using InternAtom = unsigned long (*)(Display*, const char*, int);
    using GetNamedIndicator = int (*)(Display*, unsigned long, int*, int*, void*, int*);
    const auto internAtom = reinterpret_cast<InternAtom>(dlsym(xlib, "XInternAtom"));
    const auto namedIndicator = reinterpret_cast<GetNamedIndicator>(dlsym(xlib, "XkbGetNamedIndicator"));
    if (!internAtom || !namedIndicator)
        return std::nullopt;
    Display* display = x11->display();
    auto state = [&](const char* name) -> std::optional<bool> {
        int on = 0;
        if (!namedIndicator(display, internAtom(display, name, 0), nullptr, &on, nullptr, nullptr))
            return std::nullopt;
        return on != 0;
    };
    const std::optional<bool> num = state("Num Lock");
    const std::optional<bool> caps = state("Caps Lock");
    if (!num || !caps)
        return std::nullopt;
    return LockKeys{*num, *caps};
#else
    return std::nullopt;
#endif
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

#pragma once

#include "platform.h"

#include <QPointer>

class QMediaPlayer;
class QSoundEffect;

namespace tarvik {

class HelpViewer;

// The platform of a real desktop: Qt's dialogs, QDesktopServices, QProcess,
// QSettings and Qt Multimedia.
class QtPlatform final : public Platform
{
public:
    QtPlatform();
    ~QtPlatform() override;

    void setApplicationTitle(const QString& title) override;
    [[nodiscard]] QString applicationTitle() const override;
    bool message(MessageKind kind, MessageButtons buttons, const QString& text) override;

    bool openDocument(const QString& path) override;
    bool startProgram(const QString& name) override;

    void setHelpFile(const QString& fileName) override;
    [[nodiscard]] QString helpFile() const override;
    void showHelp(int topic) override;

    [[nodiscard]] QVariant readIni(const QString& file, const QString& section, const QString& key,
                                   const QVariant& defaultValue = {}) override;
    void writeIni(const QString& file, const QString& section, const QString& key,
                  const QVariant& value) override;

    [[nodiscard]] bool fileExists(const QString& path) override;
    void beep() override;
    [[nodiscard]] QDateTime now() override;

    [[nodiscard]] bool soundAvailable() override;
    bool playSound(const QString& path) override;
    void stopSound() override;
    [[nodiscard]] bool soundPlaying() override;

    [[nodiscard]] bool systemTrayAvailable() override;
    [[nodiscard]] std::optional<LockKeys> lockKeys() override;

    [[nodiscard]] QString chooseOpenFile(QWidget* parent, const QString& filter,
                                         const QString& initialPath = {}) override;
    [[nodiscard]] QString chooseSaveFile(QWidget* parent, const QString& filter,
                                         const QString& initialPath = {}) override;
    [[nodiscard]] std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    [[nodiscard]] QStringList fontFamilies() override;
    [[nodiscard]] QStringList printerNames() override;
    [[nodiscard]] std::unique_ptr<QPrinter> choosePrinter(QWidget* parent) override;
    [[nodiscard]] ReportPrintChoice chooseReportPrinter(QWidget* parent, int pageCount) override;

    // "Wav файл|*.wav" in the form Qt's file dialog takes: "Wav файл (*.wav)".
    [[nodiscard]] static QString qtFileFilter(const QString& filter);
    // Names written with Windows separators ("info\firebird.html") work
    // on every desktop; relative names are resolved against base.
    [[nodiscard]] static QString localPath(const QString& path, const QString& base);

    // A RIFF/WAVE file, whatever its name.
    [[nodiscard]] static bool isWaveFile(const QString& path);
    // Whether GStreamer has every element Qt's media player builds on.
    [[nodiscard]] static bool gstreamerCanPlay();

private:
    QString m_title;
    QString m_helpFile;
    QPointer<HelpViewer> m_helpViewer;
    QPointer<QSoundEffect> m_effect;
    QPointer<QMediaPlayer> m_player;
    bool m_outputChecked = false;
    bool m_outputAvailable = false;
};

} // namespace tarvik

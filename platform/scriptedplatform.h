#pragma once

#include "platform.h"
#include "wallclock.h"

#include <QList>
#include <QMap>
#include <QQueue>
#include <QSet>
#include <QString>

#include <functional>

namespace tarvik {

// The platform of the tests: nothing reaches the desktop; every request is
// recorded, and the answers a user would give come from what the test set.
// Install it with PlatformScope.
class ScriptedPlatform final : public Platform
{
public:
    struct Message
    {
        MessageKind kind;
        MessageButtons buttons;
        QString title; // the application title at the time
        QString text;
        bool operator==(const Message&) const = default;
    };

    ScriptedPlatform();

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

    [[nodiscard]] bool systemTrayAvailable() override { return m_trayAvailable; }
    [[nodiscard]] std::optional<LockKeys> lockKeys() override { return m_lockKeys; }

    [[nodiscard]] QString chooseOpenFile(QWidget* parent, const QString& filter,
                                         const QString& initialPath = {}) override;
    [[nodiscard]] QString chooseSaveFile(QWidget* parent, const QString& filter,
                                         const QString& initialPath = {}) override;
    [[nodiscard]] std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    [[nodiscard]] QStringList fontFamilies() override;
    [[nodiscard]] QStringList printerNames() override;
    // A PDF printer writing to the file set with setPrintOutput(), or null
    // when the test cancels the dialog.
    [[nodiscard]] std::unique_ptr<QPrinter> choosePrinter(QWidget* parent) override;
    [[nodiscard]] ReportPrintChoice chooseReportPrinter(QWidget* parent, int pageCount) override;

    // --- What the user answers.
    // Yes/No boxes take the queued answers first, then the default (No).
    void queueAnswer(bool yes) { m_answers.enqueue(yes); }
    void setDefaultAnswer(bool yes) { m_defaultAnswer = yes; }
    // Runs while each message box is up, as the real one runs the event
    // loop meanwhile (alerts and timers are served); none by default.
    void setWhileShown(std::function<void()> run) { m_whileShown = std::move(run); }
    // Each file chooser takes the next queued name; empty means cancelled.
    void queueOpenFile(const QString& path) { m_openFiles.enqueue(path); }
    void queueSaveFile(const QString& path) { m_saveFiles.enqueue(path); }
    void queueColor(std::optional<QColor> color) { m_colors.enqueue(color); }
    void setPrintDialogAccepted(bool accepted) { m_printAccepted = accepted; }
    void setPrintOutput(const QString& pdfPath) { m_printOutput = pdfPath; }
    // The pages the user writes in the report print dialog, and the copies
    // and collation chosen there.
    void setPrintPages(const QString& pages) { m_printPages = pages; }
    void setPrintCopies(int copies, bool collate)
    {
        m_printCopies = copies;
        m_printCollate = collate;
    }

    // --- The machine the test pretends to run on.
    // The clock stands still at t until advanced; unset, it is the real one.
    void setNow(const QDateTime& t) { m_now = wallClock(t); }
    void advanceClock(qint64 seconds) { m_now = now().addSecs(seconds); }
    void addFile(const QString& path) { m_files.insert(path); }
    void setSoundAvailable(bool available) { m_soundAvailable = available; }
    void setProgramStartable(bool startable) { m_programStartable = startable; }
    void setSystemTrayAvailable(bool available) { m_trayAvailable = available; }
    void setLockKeys(std::optional<LockKeys> keys) { m_lockKeys = keys; }
    void setFontFamilies(const QStringList& families) { m_fonts = families; }
    void setPrinterNames(const QStringList& names) { m_printers = names; }
    void setIniValue(const QString& file, const QString& section, const QString& key, const QVariant& value);
    [[nodiscard]] QVariant iniValue(const QString& file, const QString& section, const QString& key) const;

    // --- What happened.
    [[nodiscard]] const QList<Message>& messages() const { return m_messages; }
    [[nodiscard]] QStringList messageTexts() const;
    void clearMessages() { m_messages.clear(); }
    [[nodiscard]] const QStringList& openedDocuments() const { return m_documents; }
    [[nodiscard]] const QStringList& startedPrograms() const { return m_programs; }
    [[nodiscard]] const QList<int>& helpTopics() const { return m_helpTopics; }
    [[nodiscard]] int beepCount() const { return m_beeps; }
    [[nodiscard]] const QStringList& playedSounds() const { return m_sounds; }
    [[nodiscard]] int soundStops() const { return m_soundStops; }
    [[nodiscard]] const QStringList& fileFilters() const { return m_fileFilters; }
    [[nodiscard]] int printDialogs() const { return m_printDialogs; }

private:
    QString m_title;
    QString m_helpFile;
    QList<Message> m_messages;
    QQueue<bool> m_answers;
    bool m_defaultAnswer = false;
    std::function<void()> m_whileShown;
    QStringList m_documents;
    QStringList m_programs;
    bool m_programStartable = true;
    QList<int> m_helpTopics;
    QMap<QString, QVariant> m_ini;
    QSet<QString> m_files;
    int m_beeps = 0;
    std::optional<QDateTime> m_now;
    bool m_soundAvailable = true;
    bool m_trayAvailable = true;
    std::optional<LockKeys> m_lockKeys;
    bool m_playing = false;
    QStringList m_sounds;
    int m_soundStops = 0;
    QQueue<QString> m_openFiles;
    QQueue<QString> m_saveFiles;
    QStringList m_fileFilters;
    QQueue<std::optional<QColor>> m_colors;
    QStringList m_fonts;
    QStringList m_printers;
    bool m_printAccepted = true;
    QString m_printOutput;
    int m_printDialogs = 0;
    QString m_printPages;
    int m_printCopies = 1;
    bool m_printCollate = true;
};

} // namespace tarvik

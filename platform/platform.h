#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace tarvik {

// The icon of a modal message box. Notices carry the information icon,
// confirmations the question mark.
enum class MessageKind
{
    Notice,
    Error,
    Question
};

enum class MessageButtons
{
    Ok,
    YesNo
};

// Everything the programs need of the operating system and the desktop, so
// that every window can be driven offscreen in tests. Windows never call
// QMessageBox, QFileDialog, QColorDialog, QPrintDialog, the media or the
// shell APIs directly; they ask tarvik::platform().
//
// Texts are passed exactly as the system shows them; lines of message texts
// may be separated by a carriage return, as the users' texts are written.
class Platform
{
public:
    virtual ~Platform();

    // The caption of plain message boxes and the name on the taskbar:
    // "Tarvik", or "Tarvik: Очистка состояния пользователей" for the utility.
    virtual void setApplicationTitle(const QString& title) = 0;
    [[nodiscard]] virtual QString applicationTitle() const = 0;

    // A modal box; the answer is true for Yes (and for OK). Captions and
    // button texts are the platform's own.
    virtual bool message(MessageKind kind, MessageButtons buttons, const QString& text) = 0;
    // The three kinds every window uses.
    void notice(const QString& text) { message(MessageKind::Notice, MessageButtons::Ok, text); }
    void error(const QString& text) { message(MessageKind::Error, MessageButtons::Ok, text); }
    [[nodiscard]] bool confirm(const QString& text)
    {
        return message(MessageKind::Question, MessageButtons::YesNo, text);
    }

    // The shell's open operation on a document, resolved against the
    // current working folder; false when nothing could open it.
    virtual bool openDocument(const QString& path) = 0;
    // Starts a program by its base name ("Ruduvo"), found beside this
    // program first, without arguments and without waiting for it.
    virtual bool startProgram(const QString& name) = 0;

    // The help file opened by showHelp(), a name beside the program.
    virtual void setHelpFile(const QString& fileName) = 0;
    [[nodiscard]] virtual QString helpFile() const = 0;
    virtual void showHelp(int topic) = 0;

    // INI files ("enter.ini"); a relative name lies beside the program.
    [[nodiscard]] virtual QVariant readIni(const QString& file, const QString& section, const QString& key,
                                           const QVariant& defaultValue = {}) = 0;
    virtual void writeIni(const QString& file, const QString& section, const QString& key,
                          const QVariant& value) = 0;

    [[nodiscard]] virtual bool fileExists(const QString& path) = 0;
    virtual void beep() = 0;
    // The local clock as a wall-clock value (see wallclock.h); every "now" of
    // the programs is read here.
    [[nodiscard]] virtual QDateTime now() = 0;

    // Sound files are played asynchronously; a new sound replaces the one
    // playing. Without an audio back end nothing plays and
    // soundAvailable() says so.
    [[nodiscard]] virtual bool soundAvailable() = 0;
    virtual bool playSound(const QString& path) = 0;
    virtual void stopSound() = 0;
    [[nodiscard]] virtual bool soundPlaying() = 0;

    // Whether the desktop has a tray where a minimised window can wait.
    [[nodiscard]] virtual bool systemTrayAvailable() = 0;
    struct LockKeys
    {
        bool numLock = false;
        bool capsLock = false;
    };
    // The keyboard's Num Lock and Caps Lock states; empty where the desktop
    // does not tell them.
    [[nodiscard]] virtual std::optional<LockKeys> lockKeys() = 0;

    // A file chooser; the filter is written as pairs "Wav файл|*.wav",
    // description and patterns separated by "|". Empty when cancelled.
    [[nodiscard]] virtual QString chooseOpenFile(QWidget* parent, const QString& filter,
                                                 const QString& initialPath = {}) = 0;
    // The same chooser for a file to be written.
    [[nodiscard]] virtual QString chooseSaveFile(QWidget* parent, const QString& filter,
                                                 const QString& initialPath = {}) = 0;
    [[nodiscard]] virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    [[nodiscard]] virtual QStringList fontFamilies() = 0;
    [[nodiscard]] virtual QStringList printerNames() = 0;
    // The print dialog; the printer it configured, or null when cancelled.
    [[nodiscard]] virtual std::unique_ptr<QPrinter> choosePrinter(QWidget* parent) = 0;

    // The print dialog of the reports: the printer with its set-up, the
    // number of copies and collation (read from the printer), and the pages
    // of a report of pageCount pages: all of them (empty text) or page
    // numbers and ranges as the user wrote them ("1,3,5-12"). There is no
    // "current page" choice. A null printer when cancelled.
    struct ReportPrintChoice
    {
        std::unique_ptr<QPrinter> printer;
        QString pages;
    };
    [[nodiscard]] virtual ReportPrintChoice chooseReportPrinter(QWidget* parent, int pageCount) = 0;
};

// The platform the windows use: the Qt implementation unless a test (or a
// program) installed another with setPlatform(). Not owned.
[[nodiscard]] Platform& platform();
// Installs p (nullptr restores the Qt implementation); returns the one
// installed before, nullptr when that was the Qt implementation.
Platform* setPlatform(Platform* p);

} // namespace tarvik

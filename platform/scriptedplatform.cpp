#include "scriptedplatform.h"

#include <QPrinter>

namespace tarvik {

namespace {

// As QSettings reads INI files on this desktop: file, section and key
// names are matched as written.
QString iniKey(const QString& file, const QString& section, const QString& key)
{
    return file + QLatin1Char('\n') + section + QLatin1Char('\n') + key;
}

} // namespace

ScriptedPlatform::ScriptedPlatform() = default;

void ScriptedPlatform::setApplicationTitle(const QString& title)
{
    m_title = title;
}

QString ScriptedPlatform::applicationTitle() const
{
    return m_title;
}

bool ScriptedPlatform::message(MessageKind kind, MessageButtons buttons, const QString& text)
{
    m_messages.append({kind, buttons, m_title, text});
    if (m_whileShown)
        m_whileShown();
    if (buttons == MessageButtons::Ok)
        return true;
    return m_answers.isEmpty() ? m_defaultAnswer : m_answers.dequeue();
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const Message& m : m_messages)
        texts << m.text;
    return texts;
}

bool ScriptedPlatform::openDocument(const QString& path)
{
    m_documents << path;
    return fileExists(path);
}

bool ScriptedPlatform::startProgram(const QString& name)
{
    m_programs << name;
    return m_programStartable;
}

void ScriptedPlatform::setHelpFile(const QString& fileName)
{
    m_helpFile = fileName;
}

QString ScriptedPlatform::helpFile() const
{
    return m_helpFile;
}

void ScriptedPlatform::showHelp(int topic)
{
    m_helpTopics << topic;
}

QVariant ScriptedPlatform::readIni(const QString& file, const QString& section, const QString& key,
                                   const QVariant& defaultValue)
{
    return m_ini.value(iniKey(file, section, key), defaultValue);
}

void ScriptedPlatform::writeIni(const QString& file, const QString& section, const QString& key,
                                const QVariant& value)
{
    setIniValue(file, section, key, value);
}

void ScriptedPlatform::setIniValue(const QString& file, const QString& section, const QString& key,
                                   const QVariant& value)
{
    m_ini.insert(iniKey(file, section, key), value);
}

QVariant ScriptedPlatform::iniValue(const QString& file, const QString& section, const QString& key) const
{
    return m_ini.value(iniKey(file, section, key));
}

bool ScriptedPlatform::fileExists(const QString& path)
{
    return m_files.contains(path);
}

void ScriptedPlatform::beep()
{
    ++m_beeps;
}

QDateTime ScriptedPlatform::now()
{
    return m_now.value_or(wallClockNow());
}

bool ScriptedPlatform::soundAvailable()
{
    return m_soundAvailable;
}

bool ScriptedPlatform::playSound(const QString& path)
{
    if (!m_soundAvailable)
        return false;
    m_sounds << path;
    m_playing = true;
    return true;
}

void ScriptedPlatform::stopSound()
{
    ++m_soundStops;
    m_playing = false;
}

bool ScriptedPlatform::soundPlaying()
{
    return m_playing;
}

QString ScriptedPlatform::chooseOpenFile(QWidget*, const QString& filter, const QString&)
{
    m_fileFilters << filter;
    return m_openFiles.isEmpty() ? QString() : m_openFiles.dequeue();
}

QString ScriptedPlatform::chooseSaveFile(QWidget*, const QString& filter, const QString&)
{
    m_fileFilters << filter;
    return m_saveFiles.isEmpty() ? QString() : m_saveFiles.dequeue();
}

std::optional<QColor> ScriptedPlatform::chooseColor(QWidget*, const QColor&)
{
    return m_colors.isEmpty() ? std::nullopt : m_colors.dequeue();
}

QStringList ScriptedPlatform::fontFamilies()
{
    return m_fonts;
}

QStringList ScriptedPlatform::printerNames()
{
    return m_printers;
}

std::unique_ptr<QPrinter> ScriptedPlatform::choosePrinter(QWidget*)
{
    ++m_printDialogs;
    if (!m_printAccepted)
        return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(m_printOutput);
    return printer;
}

Platform::ReportPrintChoice ScriptedPlatform::chooseReportPrinter(QWidget* parent, int)
{
    ReportPrintChoice choice{choosePrinter(parent), m_printPages};
    if (choice.printer) {
        choice.printer->setCopyCount(m_printCopies);
        choice.printer->setCollateCopies(m_printCollate);
    }
    return choice;
}

} // namespace tarvik

#pragma once

#include "mainwindowfixture.h"

#include <QStringList>

namespace tarvik::test {

// Workstations of three users on one database: a boss "Шеф" and the two
// workers "Рабочий" and "Сторож", each wanting letter and chat notices.
class MessagingFixture : public MainWindowFixture
{
protected:
    void SetUp() override;

    // A workstation shown and activated, on the day view.
    std::unique_ptr<startup::TfmMain> station(const QString& name);
    // Sends a letter through the station's new-letter command.
    void sendLetter(startup::TfmMain& from, int toId, const QString& subject, const QString& body);
    // The lines of a station's chat view.
    [[nodiscard]] static QStringList chatLines(const startup::TfmMain& w);
    // Sends a chat line through the station's send line; toId -1 for all.
    static void say(startup::TfmMain& w, int toId, const QString& text);

    int m_boss = 0, m_worker = 0, m_guard = 0;
};

} // namespace tarvik::test

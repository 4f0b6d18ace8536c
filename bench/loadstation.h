#pragma once

#include "loadjournal.h"
#include "platformscope.h"
#include "scriptedplatform.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <random>

namespace tarvik::db {
class Query;
}
namespace tarvik::startup {
class TfmMain;
}
namespace tarvik::widgets {
struct PlannerItem;
struct PlannerMove;
} // namespace tarvik::widgets

namespace tarvik::bench {

// An event's row as a workstation holds it: its version and the checked
// columns as columnText gives them.
struct HeldVersion
{
    qint64 stamp = 0;
    QJsonObject row;
};
[[nodiscard]] HeldVersion heldVersion(const db::Query& rows, int key);
[[nodiscard]] QHash<int, HeldVersion> heldVersions(const db::Query& rows);

// One simulated workstation of the load run: the program's main window,
// logged in as its own user, driven offscreen through its own commands at a
// random pace while the alerts of the other workstations reload its rows.
// Every operation and every alert goes into the journal. It talks to the
// parent on stdin/stdout: "logged_in", then waits for "go"; "ready" when
// its time is up, then waits for "leave" before it closes the window (which
// removes its chat lines, so the parent checks first).
class LoadStation
{
public:
    struct Options
    {
        QString database;
        QString user;
        int station = 0;
        int seconds = 600;
        QString journal;
        quint32 seed = 1;
    };

    explicit LoadStation(Options options);
    ~LoadStation();
    LoadStation(const LoadStation&) = delete;
    LoadStation& operator=(const LoadStation&) = delete;

    // The whole life of the workstation; the process exit code.
    int run();

private:
    bool login();
    void nextOperation();
    void showPage(const char* button);
    void cancelDialogs();
    [[nodiscard]] int random(int bound) { return bound <= 0 ? 0 : int(m_rng() % unsigned(bound)); }
    [[nodiscard]] JournalEntry begin(const QString& op);
    // Classifies by what the scripted platform showed and writes the entry;
    // `stored` false is a refusal even when nothing was shown.
    void finish(JournalEntry& e, bool stored = true);
    void skip(JournalEntry& e, const QString& why);
    [[nodiscard]] widgets::PlannerItem* randomItem();
    [[nodiscard]] QList<int> eventKeys() const;
    // The key of the one row that is new since `before` and has that header.
    [[nodiscard]] int newKey(const QList<int>& before, const QString& header) const;
    void selectRandomCells(JournalEntry& e);
    // Whether this operation's user writes over another's change of the
    // same fields when asked; drawn for each change of an event.
    void drawClashAnswer();
    // Notes the version the user began from and the one the write made,
    // and drops from the set columns the user left as he saw them.
    static void noteWrite(JournalEntry& e, const HeldVersion& seen, const db::Query& rows);

    void opAdd();
    void opEdit();
    void opMove();
    void opDelete(bool cut);
    void opPaste();
    void opDone(bool progress);
    void opReminder();
    void opSendLetter();
    void opOpenLetter();
    void opChatLine();

    void alertArrived(const QString& name);
    void eventsReloaded();

    Options m_o;
    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    QTemporaryDir m_programDir;
    std::unique_ptr<startup::TfmMain> m_w;
    JournalWriter m_journal;
    std::mt19937 m_rng;
    int m_seq = 0;
    int m_userId = 0;
    QList<int> m_others; // the other workstations' users
    QString m_shown;     // the page button last clicked
    bool m_pasteWaiting = false;
    bool m_overwrite = true;
    std::function<void(widgets::PlannerItem*, const widgets::PlannerMove&)> m_onMove;
    std::function<void(widgets::PlannerItem*, const QString&)> m_onAnchor;
    QList<QPair<QString, qint64>> m_pendingAlerts;
    qint64 m_deadline = 0;
};

} // namespace tarvik::bench

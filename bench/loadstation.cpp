#include "loadstation.h"

#include "changenotifier.h"
#include "chatpage.h"
#include "dberror.h"
#include "duereminders.h"
#include "eventcommands.h"
#include "lettersmodel.h"
#include "loadchecker.h"
#include "mailpage.h"
#include "markupcombobox.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "query.h"
#include "reminderintervals.h"
#include "reminders.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "tfmaddtexts.h"
#include "tfmalarmtask.h"
#include "tfmmain.h"
#include "tfmsystementer.h"
#include "tfmtask.h"
#include "todopage.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <iostream>
#include <string>

namespace tarvik::bench {

namespace {

// The pace of one workstation: an operation every 50 to 200 ms.
constexpr int kMinPauseMs = 50;
constexpr int kMaxPauseMs = 200;
// After the last operation, the alerts still on their way are awaited.
constexpr int kDrainMs = 3000;
// Rows of the day view operations put events into: 08:00 to 18:00.
constexpr int kFirstRow = 16;
constexpr int kRowSpan = 20;

bool isLockText(const QString& text)
{
    return text.contains(QLatin1String("lock conflict"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("concurrent update"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("deadlock"), Qt::CaseInsensitive);
}

void say(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Blocks until the parent writes that word (or closes the pipe).
void waitFor(const std::string& word)
{
    std::string line;
    while (std::getline(std::cin, line))
        if (line == word)
            return;
}

void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

LoadStation::LoadStation(Options options) : m_o(std::move(options)), m_journal(m_o.journal), m_rng(m_o.seed)
{
    m_platform.setDefaultAnswer(true); // "delete?" is answered yes
}

LoadStation::~LoadStation() = default;

bool LoadStation::login()
{
    QFile init(m_programDir.filePath(QStringLiteral("init.txt")));
    if (!init.open(QIODevice::WriteOnly))
        return false;
    init.write(m_o.database.toLocal8Bit() + "\n");
    init.close();
    m_w = std::make_unique<startup::TfmMain>(m_programDir.path());
    // Connected before the login wires the change notifier, so that the
    // alert's time is taken before its reload runs.
    QObject::connect(m_w.get(), &startup::TfmMain::databaseAlert, m_w.get(),
                     [this](const QString& name) { alertArrived(name); });
    if (!m_w->connectDatabase())
        return false;
    startup::TfmSystemEnter* dialog = m_w->loginDialog();
    if (!dialog->openList() || !m_w->users().locate(QStringLiteral("NAME"), m_o.user))
        return false;
    dialog->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"))
        ->selectPosition(m_w->users().recNo());
    dialog->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("Pw"));
    dialog->sbOKClick();
    if (!dialog->loggedIn())
        return false;
    m_w->applyLogin(dialog->profile());
    m_userId = m_w->profile().userId;
    db::Query& users = m_w->users();
    for (int r = 0; r < users.recordCount(); ++r) {
        const int id = users.valueAt(r, QStringLiteral("ID")).toInt();
        if (id != m_userId && users.valueAt(r, QStringLiteral("NAME")).toString().startsWith(u'W'))
            m_others << id;
    }
    cancelDialogs();
    m_w->resize(1280, 900);
    m_w->show();
    m_w->FormActivate();
    showPage("sb1");
    QObject::connect(m_w->changeNotifier(), &tasks::ChangeNotifier::eventsReloaded, m_w.get(),
                     [this] { eventsReloaded(); });
    QObject::connect(m_w->planner()->grid(), &widgets::PlannerGrid::anchorClicked, m_w.get(),
                     [this](widgets::PlannerItem* item, const QString& target) {
                         if (m_onAnchor)
                             m_onAnchor(item, target);
                     });
    QObject::connect(m_w->planner()->grid(), &widgets::PlannerGrid::itemMoved, m_w.get(),
                     [this](widgets::PlannerItem* item, const widgets::PlannerMove& move) {
                         if (m_onMove)
                             m_onMove(item, move);
                     });
    return true;
}

int LoadStation::run()
{
    if (!login()) {
        std::fprintf(stdout, "failed %s\n", qPrintable(m_platform.messageTexts().join(u' ')));
        std::fflush(stdout);
        return 2;
    }
    m_platform.clearMessages();
    say("logged_in");
    waitFor("go");
    m_deadline = steadyNs() + qint64(m_o.seconds) * 1000000000LL;
    QEventLoop loop;
    std::function<void()> schedule = [&] {
        if (steadyNs() >= m_deadline) {
            loop.quit();
            return;
        }
        QTimer::singleShot(kMinPauseMs + random(kMaxPauseMs - kMinPauseMs + 1), m_w.get(), [&] {
            try {
                nextOperation();
            } catch (const std::exception& e) {
                std::fprintf(stderr, "station %d: %s\n", m_o.station, e.what());
            }
            schedule();
        });
    };
    schedule();
    loop.exec();
    runEvents(kDrainMs);
    for (const auto& [name, at] : m_pendingAlerts) {
        JournalEntry e;
        e.kind = JournalEntry::Kind::AlertUnloaded;
        e.station = m_o.station;
        e.userId = m_userId;
        e.alertName = name;
        m_journal.write(e);
    }
    m_pendingAlerts.clear();
    say("ready");
    waitFor("leave");
    m_w->close();
    runEvents(200);
    m_w.reset();
    return 0;
}

void LoadStation::alertArrived(const QString& name)
{
    m_pendingAlerts.append({name, steadyNs()});
}

void LoadStation::eventsReloaded()
{
    const qint64 now = steadyNs();
    for (const auto& [name, at] : m_pendingAlerts) {
        JournalEntry e;
        e.kind = JournalEntry::Kind::Alert;
        e.station = m_o.station;
        e.userId = m_userId;
        e.alertName = name;
        e.alertMs = double(now - at) / 1e6;
        m_journal.write(e);
    }
    m_pendingAlerts.clear();
}

void LoadStation::nextOperation()
{
    // Weights of the operations, in per cent.
    const int r = random(100);
    if (r < 18)
        opAdd();
    else if (r < 36)
        opEdit();
    else if (r < 46)
        opMove();
    else if (r < 51)
        opDelete(false);
    else if (r < 57)
        m_pasteWaiting ? opPaste() : opDelete(true);
    else if (r < 66)
        opDone(false);
    else if (r < 73)
        opDone(true);
    else if (r < 79)
        opReminder();
    else if (r < 86)
        opSendLetter();
    else if (r < 92)
        opOpenLetter();
    else
        opChatLine();
    cancelDialogs();
}

// A dialog a click brings up unasked (a double click, an author's link) is
// cancelled; an operation's own answers refer to that operation only.
void LoadStation::cancelDialogs()
{
    m_w->planner()->commands().setDialogRunner([](planner::TfmTask& d) { d.reject(); });
    m_w->todoPage()->setDialogRunner([](planner::TfmTask& d) { d.reject(); });
    m_w->mail()->setDialogRunner([](messaging::TfmAddTexts& d) { d.sbCancelClick(); });
}

void LoadStation::showPage(const char* button)
{
    if (m_shown == QLatin1String(button))
        return;
    m_w->findChild<QToolButton*>(QLatin1String(button))->click();
    m_shown = QLatin1String(button);
}

JournalEntry LoadStation::begin(const QString& op)
{
    JournalEntry e;
    e.station = m_o.station;
    e.userId = m_userId;
    e.op = op;
    e.marker = QStringLiteral("[W%1#%2]").arg(m_o.station).arg(++m_seq);
    m_platform.clearMessages();
    m_overwrite = true;
    m_platform.setDefaultAnswer(true); // "delete?" is answered yes
    return e;
}

void LoadStation::finish(JournalEntry& e, bool stored)
{
    QStringList texts;
    for (const ScriptedPlatform::Message& m : m_platform.messages()) {
        if (m.kind == MessageKind::Question) {
            e.asked = e.asked || m.text.startsWith(QStringLiteral("Событие изменено пользователем"));
            continue;
        }
        texts << m.text;
        if (m.kind == MessageKind::Error)
            e.outcome = isLockText(m.text) ? QStringLiteral("conflict") : QStringLiteral("error");
        else if (e.outcome.isEmpty())
            e.outcome = QStringLiteral("refused");
    }
    if (e.outcome.isEmpty() && !stored) {
        e.outcome = QStringLiteral("refused");
        texts << QStringLiteral("(the list did not take the value)");
    }
    if (e.asked && !m_overwrite && e.outcome.isEmpty())
        e.outcome = QStringLiteral("kept_theirs");
    if (e.outcome.isEmpty())
        e.outcome = QStringLiteral("committed");
    e.text = texts.join(QStringLiteral(" | "));
    m_platform.clearMessages();
    m_journal.write(e);
}

void LoadStation::skip(JournalEntry& e, const QString& why)
{
    e.outcome = QStringLiteral("skipped");
    e.text = why;
    m_platform.clearMessages();
    m_journal.write(e);
}

HeldVersion heldVersion(const db::Query& rows, int key)
{
    HeldVersion v;
    if (!rows.isOpen() || !rows.hasColumn(QStringLiteral("STAMP")))
        return v;
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (rows.valueAt(r, QStringLiteral("ID")).toInt() != key)
            continue;
        v.stamp = rows.valueAt(r, QStringLiteral("STAMP")).toLongLong();
        for (const QString& column : checkedEventColumns())
            if (rows.hasColumn(column))
                v.row[column] = columnText(rows.valueAt(r, column));
        break;
    }
    return v;
}

QHash<int, HeldVersion> heldVersions(const db::Query& rows)
{
    QHash<int, HeldVersion> all;
    if (!rows.isOpen())
        return all;
    for (int r = 0; r < rows.recordCount(); ++r) {
        const int key = rows.valueAt(r, QStringLiteral("ID")).toInt();
        all.insert(key, heldVersion(rows, key));
    }
    return all;
}

void LoadStation::drawClashAnswer()
{
    m_overwrite = random(2) == 0;
    m_platform.setDefaultAnswer(m_overwrite);
}

void LoadStation::noteWrite(JournalEntry& e, const HeldVersion& seen, const db::Query& rows)
{
    e.seenStamp = seen.stamp;
    const auto same = [](const QString& column, const QJsonValue& a, const QJsonValue& b) {
        return comparedValue(column, a.toString()) == comparedValue(column, b.toString());
    };
    if (!e.creates)
        for (auto it = e.set.begin(); it != e.set.end();)
            it = seen.row.contains(it.key()) && same(it.key(), seen.row.value(it.key()), it.value())
                     ? e.set.erase(it)
                     : std::next(it);
    const HeldVersion now = heldVersion(rows, e.key);
    e.stamp = now.stamp;
    e.row = now.row;
}

widgets::PlannerItem* LoadStation::randomItem()
{
    widgets::PlannerGrid& grid = *m_w->planner()->grid();
    if (grid.itemCount() == 0)
        return nullptr;
    return grid.item(random(grid.itemCount()));
}

QList<int> LoadStation::eventKeys() const
{
    QList<int> keys;
    const db::Query& q = m_w->planner()->events();
    if (!q.isOpen())
        return keys;
    for (int r = 0; r < q.recordCount(); ++r)
        keys << q.valueAt(r, QStringLiteral("ID")).toInt();
    return keys;
}

int LoadStation::newKey(const QList<int>& before, const QString& header) const
{
    const db::Query& q = m_w->planner()->events();
    if (!q.isOpen())
        return 0;
    for (int r = 0; r < q.recordCount(); ++r) {
        const int key = q.valueAt(r, QStringLiteral("ID")).toInt();
        if (!before.contains(key) && q.valueAt(r, QStringLiteral("HEADER")).toString() == header)
            return key;
    }
    return 0;
}

void LoadStation::selectRandomCells(JournalEntry& e)
{
    widgets::PlannerGrid& grid = *m_w->planner()->grid();
    const int position = random(grid.positions());
    const int row = kFirstRow + random(kRowSpan);
    grid.selectCells(position, row, row + random(3));
    e.set[QStringLiteral("WORKPLACE")] = QString::number(m_w->planner()->workPlaceAt(position));
    e.set[QStringLiteral("STARTTIME")] = columnText(grid.selectionStart());
}

// The task dialog answered with the given texts; shown again after a failed
// store, it is cancelled, as a user giving up does.
// A new event gets the finished mark only when it is ticked; a change
// stores "F" for an unticked box.
static std::function<void(planner::TfmTask&)> answer(const QString& header, const QString& comment,
                                                     JournalEntry& e, int& shown)
{
    return [header, comment, &e, &shown](planner::TfmTask& dialog) {
        if (shown++ > 0) {
            dialog.reject();
            return;
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->setText(header);
        dialog.findChild<QPlainTextEdit*>(QStringLiteral("meTask"))->setPlainText(comment);
        e.set[QStringLiteral("HEADER")] = header;
        e.set[QStringLiteral("COMMENT")] = comment;
        const bool ticked = dialog.findChild<QCheckBox*>(QStringLiteral("cbIsFinish"))->isChecked();
        e.set[QStringLiteral("ISFINISH")] = ticked      ? QStringLiteral("T")
                                            : e.creates ? QString()
                                                        : QStringLiteral("F");
        dialog.sbOKClick();
    };
}

void LoadStation::opAdd()
{
    showPage("sb1");
    JournalEntry e = begin(QStringLiteral("add"));
    planner::PlannerPage& page = *m_w->planner();
    if (page.grid()->positions() == 0)
        return skip(e, QStringLiteral("no columns"));
    selectRandomCells(e);
    e.set[QStringLiteral("ENDTIME")] = columnText(page.grid()->selectionEnd());
    const QString header = e.marker + QStringLiteral(" задание");
    e.creates = true;
    int shown = 0;
    page.commands().setDialogRunner(answer(header, e.marker + QStringLiteral(" описание"), e, shown));
    const QList<int> before = eventKeys();
    e.startNs = steadyNs();
    page.commands().sbAddClick();
    e.endNs = steadyNs();
    e.key = newKey(before, header);
    noteWrite(e, {}, page.events());
    finish(e);
}

void LoadStation::opEdit()
{
    showPage("sb1");
    JournalEntry e = begin(QStringLiteral("edit"));
    planner::PlannerPage& page = *m_w->planner();
    widgets::PlannerItem* item = randomItem();
    if (!item)
        return skip(e, QStringLiteral("no event shown"));
    e.key = item->key.toInt();
    page.grid()->selectItem(item);
    int shown = 0;
    page.commands().setDialogRunner(
        answer(e.marker + QStringLiteral(" правка"), e.marker + QStringLiteral(" новый текст"), e, shown));
    drawClashAnswer();
    const HeldVersion seen = heldVersion(page.events(), e.key);
    e.startNs = steadyNs();
    page.commands().sbEditClick();
    e.endNs = steadyNs();
    noteWrite(e, seen, page.events());
    finish(e);
}

// A drag with the mouse from the item's middle to another column and a few
// rows up or down, as the user does it.
void LoadStation::opMove()
{
    showPage("sb1");
    JournalEntry e = begin(QStringLiteral("move"));
    planner::PlannerPage& page = *m_w->planner();
    widgets::PlannerGrid& grid = *page.grid();
    widgets::PlannerItem* item = randomItem();
    if (!item)
        return skip(e, QStringLiteral("no event shown"));
    e.key = item->key.toInt();
    grid.ensureVisible(item);
    const QRect viewport = grid.viewport()->rect();
    const QPoint from = grid.itemRect(item).center();
    if (!viewport.contains(from))
        return skip(e, QStringLiteral("item not in view"));
    const int target = random(grid.positions());
    const int dx = grid.cellRect(target, kFirstRow).x() - grid.cellRect(item->position, kFirstRow).x();
    QPoint to = from + QPoint(dx, (random(5) - 2) * grid.rowHeight());
    if (!viewport.contains(to))
        to.setY(from.y());
    if (to == from)
        return skip(e, QStringLiteral("no move"));
    // A press on a link of the item (the done mark, the author) follows the
    // link instead of dragging: that is journalled as what it did.
    QString link;
    // The item under the mouse is the one acted on, whichever was picked.
    m_onAnchor = [&](widgets::PlannerItem* clicked, const QString& target) {
        link = target;
        e.key = clicked ? clicked->key.toInt() : 0;
        if (target == QLatin1String("if3"))
            e.set[QStringLiteral("ISFINISH")] = QStringLiteral("T");
        else if (target == QLatin1String("if2"))
            e.set[QStringLiteral("ISFINISH")] = QStringLiteral("F");
    };
    bool moved = false;
    m_onMove = [&](widgets::PlannerItem* dragged, const widgets::PlannerMove& move) {
        moved = true;
        e.key = dragged->key.toInt();
        e.set[QStringLiteral("STARTTIME")] = columnText(move.newStart);
        e.set[QStringLiteral("ENDTIME")] = columnText(move.newEnd);
        e.set[QStringLiteral("WORKPLACE")] = QString::number(page.workPlaceAt(move.newPosition));
    };
    drawClashAnswer();
    const QHash<int, HeldVersion> seen = heldVersions(page.events());
    e.startNs = steadyNs();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(grid.viewport(), to);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    e.endNs = steadyNs();
    m_onMove = nullptr;
    m_onAnchor = nullptr;
    noteWrite(e, seen.value(e.key), page.events());
    if (!link.isEmpty()) {
        e.op = QStringLiteral("link_") + link.left(4);
        m_shown.clear(); // the author's link shows the mail page
        return finish(e);
    }
    if (!moved)
        return skip(e, QStringLiteral("the grid saw no move"));
    finish(e);
}

void LoadStation::opDelete(bool cut)
{
    showPage("sb1");
    JournalEntry e = begin(cut ? QStringLiteral("cut") : QStringLiteral("delete"));
    planner::PlannerPage& page = *m_w->planner();
    widgets::PlannerItem* item = randomItem();
    if (!item)
        return skip(e, QStringLiteral("no event shown"));
    e.key = item->key.toInt();
    page.grid()->selectItem(item);
    e.removes = true;
    e.startNs = steadyNs();
    cut ? page.commands().sbCutClick() : page.commands().sbDelClick();
    e.endNs = steadyNs();
    finish(e);
    if (cut && e.outcome == QLatin1String("committed"))
        m_pasteWaiting = true;
}

void LoadStation::opPaste()
{
    showPage("sb1");
    m_pasteWaiting = false;
    JournalEntry e = begin(QStringLiteral("paste"));
    planner::PlannerPage& page = *m_w->planner();
    if (page.grid()->positions() == 0)
        return skip(e, QStringLiteral("no columns"));
    selectRandomCells(e);
    const planner::EventClipboard& clip = page.commands().clipboard();
    e.set[QStringLiteral("HEADER")] = clip.header;
    e.set[QStringLiteral("COMMENT")] = clip.comment;
    e.creates = true;
    const QList<int> before = eventKeys();
    e.startNs = steadyNs();
    page.commands().sbPasteClick();
    e.endNs = steadyNs();
    e.key = newKey(before, clip.header);
    noteWrite(e, {}, page.events());
    finish(e);
}

void LoadStation::opDone(bool progress)
{
    showPage("sbTodoList");
    JournalEntry e = begin(progress ? QStringLiteral("progress") : QStringLiteral("done"));
    widgets::TaskListModel& model = *m_w->todoPage()->list()->taskModel();
    if (model.rowCount() == 0)
        return skip(e, QStringLiteral("empty list"));
    const int row = random(model.rowCount());
    e.key = model.index(row, 0).data(widgets::TaskListModel::KeyRole).toInt();
    drawClashAnswer();
    const db::Query& rows = m_w->planner()->events();
    const HeldVersion seen = heldVersion(rows, e.key);
    bool stored = false;
    if (progress) {
        const int percent = random(101);
        e.set[QStringLiteral("ISPERCENT")] = QString::number(percent);
        e.startNs = steadyNs();
        stored = model.setData(model.index(row, widgets::TaskListModel::Progress), percent, Qt::EditRole);
    } else {
        const QModelIndex box = model.index(row, widgets::TaskListModel::Done);
        const bool tick = box.data(Qt::CheckStateRole).toInt() != Qt::Checked;
        e.set[QStringLiteral("ISFINISH")] = tick ? QStringLiteral("T") : QStringLiteral("F");
        e.startNs = steadyNs();
        stored = model.setData(box, tick ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    }
    e.endNs = steadyNs();
    noteWrite(e, seen, rows);
    finish(e, stored);
}

// The reminder window as the ten-second tick brings it up: closed with "ОК"
// (every listed reminder counts as shown) or one reminder postponed.
void LoadStation::opReminder()
{
    const bool close = random(2) == 0;
    JournalEntry e = begin(close ? QStringLiteral("remind_close") : QStringLiteral("remind_postpone"));
    tasks::Reminders* reminders = m_w->reminders();
    reminders->tick();
    tasks::TfmAlarmTask& window = reminders->window();
    db::Query& due = reminders->due().qAlarmEvents();
    if (!window.isVisible() || !due.isOpen() || due.recordCount() == 0)
        return skip(e, QStringLiteral("nothing due"));
    if (close) {
        for (int r = 0; r < due.recordCount(); ++r)
            e.shownKeys << due.valueAt(r, QStringLiteral("ID")).toInt();
        e.key = e.shownKeys.first();
        e.startNs = steadyNs();
        window.findChild<QToolButton*>(QStringLiteral("sbOK"))->click();
        e.endNs = steadyNs();
        return finish(e);
    }
    if (due.recNo() < 0)
        due.first();
    e.key = due.value(QStringLiteral("ID")).toInt();
    auto* choice = window.findChild<QComboBox*>(QStringLiteral("cbFw"));
    const int position = random(choice->count());
    choice->setCurrentIndex(position);
    emit choice->activated(position);
    const qint64 seconds = qint64(planner::reminderMinutesAt(position)) * 60;
    for (const QString& column : {QStringLiteral("STARTTIME"), QStringLiteral("ENDTIME")}) {
        const QDateTime t = due.value(column).toDateTime();
        if (t.isValid())
            e.set[column] = columnText(t.addSecs(seconds));
    }
    drawClashAnswer();
    const HeldVersion seen = heldVersion(due, e.key);
    e.startNs = steadyNs();
    window.findChild<QToolButton*>(QStringLiteral("sbFw"))->click();
    e.endNs = steadyNs();
    noteWrite(e, seen, due);
    finish(e);
}

void LoadStation::opSendLetter()
{
    showPage("sbTexts");
    JournalEntry e = begin(QStringLiteral("letter_send"));
    if (m_others.isEmpty())
        return skip(e, QStringLiteral("nobody to write to"));
    e.recipient = m_others.at(random(int(m_others.size())));
    const QString subject = e.marker + QStringLiteral(" тема");
    int shown = 0;
    m_w->mail()->setDialogRunner([&](messaging::TfmAddTexts& d) {
        if (shown++ > 0) {
            d.sbCancelClick();
            return;
        }
        auto* users = d.findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUsers"));
        users->selectPosition(users->findData(e.recipient));
        d.findChild<QLineEdit*>(QStringLiteral("edSubj"))->setText(subject);
        d.findChild<QPlainTextEdit*>(QStringLiteral("meBody"))
            ->setPlainText(e.marker + QStringLiteral(" письмо"));
        d.sbOKClick();
    });
    e.startNs = steadyNs();
    m_w->mail()->sbAddMessageClick();
    e.endNs = steadyNs();
    finish(e);
}

void LoadStation::opOpenLetter()
{
    showPage("sbTexts");
    JournalEntry e = begin(QStringLiteral("letter_open"));
    messaging::MailPage& mail = *m_w->mail();
    if (mail.model().rowCount() == 0)
        return skip(e, QStringLiteral("no letters"));
    mail.grid()->selectRow(random(mail.model().rowCount()));
    e.key = mail.currentId();
    mail.setDialogRunner([](messaging::TfmAddTexts& d) { d.sbCancelClick(); });
    e.startNs = steadyNs();
    mail.sbEditMessageClick();
    e.endNs = steadyNs();
    finish(e);
}

void LoadStation::opChatLine()
{
    showPage("sbMesages");
    JournalEntry e = begin(QStringLiteral("chat"));
    messaging::ChatPage& chat = *m_w->chat();
    widgets::MarkupComboBox* to = chat.recipients();
    if (!m_others.isEmpty() && random(2) == 0)
        e.recipient = m_others.at(random(int(m_others.size())));
    const int position = e.recipient == 0 ? 0 : to->findData(e.recipient);
    if (position < 0)
        return skip(e, QStringLiteral("recipient not listed"));
    to->selectPosition(position);
    chat.findChild<QLineEdit*>(QStringLiteral("edSendText"))->setText(e.marker + QStringLiteral(" привет"));
    e.startNs = steadyNs();
    chat.sbSendClick();
    e.endNs = steadyNs();
    finish(e);
}

} // namespace tarvik::bench

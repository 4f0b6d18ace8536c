#include "calendarexport.h"

#include "connection.h"
#include "dberror.h"
#include "plannerpage.h"
#include "platform.h"
#include "query.h"
#include "tasklistgrid.h"
#include "tasklistmodel.h"
#include "todopage.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace tarvik::tasks {

namespace {

// Events per progress report and per check for a cancel.
constexpr int kSlice = 100;
// The progress window shows only for work that takes longer.
constexpr int kProgressDelay = 400;

// Whether the finished file is to be kept, given once by the
// user-interface thread and awaited by the worker.
class Verdict
{
public:
    void give(bool keep)
    {
        const std::lock_guard lock(m_mutex);
        if (!m_keep) {
            m_keep = keep;
            m_given.notify_all();
        }
    }
    [[nodiscard]] bool await()
    {
        std::unique_lock lock(m_mutex);
        m_given.wait(lock, [this] { return m_keep.has_value(); });
        return *m_keep;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_given;
    std::optional<bool> m_keep;
};

} // namespace

CalendarExport::CalendarExport(planner::PlannerPage& planner, TodoPage& todo, QWidget* window)
    : QObject(window), m_planner(planner), m_todo(todo), m_window(window)
{
    m_action = new QAction(QStringLiteral("Экспорт в iCalendar..."), this);
    m_action->setObjectName(QStringLiteral("miExportICalendar"));
    m_action->setEnabled(m_planner.canShowEvents());
    connect(m_action, &QAction::triggered, this, &CalendarExport::exportShownEvents);
    connect(&m_planner, &planner::PlannerPage::eventsAvailabilityChanged, m_action, &QAction::setEnabled);
}

std::vector<CalendarEvent> CalendarExport::snapshot(const db::Query& events, const QList<int>& rows)
{
    const auto column = [&events](const char* name) { return events.columnIndex(QLatin1String(name)); };
    const int id = column("ID"), header = column("HEADER"), comment = column("COMMENT"),
              start = column("STARTTIME"), end = column("ENDTIME"), finish = column("ISFINISH"),
              percent = column("ISPERCENT"), alarm = column("ALARM");
    std::vector<CalendarEvent> out;
    out.reserve(rows.size());
    for (int row : rows) {
        CalendarEvent e;
        e.id = events.int64At(row, id);
        e.header = events.textAt(row, header);
        e.comment = events.textAt(row, comment);
        e.start = events.dateTimeAt(row, start);
        e.end = events.dateTimeAt(row, end);
        e.done = events.textAt(row, finish) == QLatin1String("T");
        e.percent = events.intAt(row, percent);
        e.alarmMinutes = events.intAt(row, alarm);
        out.push_back(std::move(e));
    }
    return out;
}

QString CalendarExport::databaseIdentity(db::Connection& connection)
{
    db::Query q(connection, QStringLiteral("SELECT MON$DATABASE_NAME, MON$CREATION_DATE FROM MON$DATABASE"));
    q.open();
    const QByteArray source = q.text(QStringLiteral("MON$DATABASE_NAME")).toUtf8() + '|' +
                              q.value(QStringLiteral("MON$CREATION_DATE"))
                                  .toDateTime()
                                  .toString(QStringLiteral("yyyyMMddHHmmsszzz"))
                                  .toLatin1();
    q.close();
    return QString::fromLatin1(QCryptographicHash::hash(source, QCryptographicHash::Sha1).toHex().left(16)) +
           QStringLiteral(".tarvik");
}

QList<int> CalendarExport::shownRows() const
{
    const db::Query& events = m_planner.events();
    QList<int> rows;
    if (!events.isOpen())
        return rows;
    if (m_todo.isVisible()) {
        const widgets::TaskListModel& lines = *m_todo.list()->taskModel();
        for (int line = 0; line < lines.rowCount(); ++line)
            rows << lines.queryRow(line);
    } else {
        for (int row = 0; row < events.recordCount(); ++row)
            rows << row;
    }
    return rows;
}

void CalendarExport::exportShownEvents()
{
    if (m_running)
        return;
    try {
        const db::Query& events = m_planner.events();
        if (shownRows().isEmpty()) {
            platform().notice(kNothingMessage);
            return;
        }
        if (m_identity.isEmpty())
            m_identity = databaseIdentity(events.connection());
        const QDate month = events.param(QStringLiteral("STARTTIME")).toDateTime().date();
        const QString suggested = QDir::home().filePath(
            QStringLiteral("Задания %1.ics").arg(month.toString(QStringLiteral("yyyy-MM"))));
        QString path = platform().chooseSaveFile(m_window, kFileFilter, suggested);
        if (path.isEmpty())
            return;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".ics");
        // What is shown once the file is chosen: alerts may have reloaded
        // the rows while the chooser was open.
        std::vector<CalendarEvent> shown = snapshot(events, shownRows());
        if (shown.empty()) {
            platform().notice(kNothingMessage);
            return;
        }
        // DTSTAMP is a moment: the workstation's wall clock read as local time.
        const QDateTime now = platform().now();
        const QDateTime stamp = QDateTime(now.date(), now.time(), Qt::LocalTime).toUTC();
        run(path, std::move(shown), ICalendarWriter(m_identity, stamp));
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void CalendarExport::run(const QString& path, std::vector<CalendarEvent> events,
                         const ICalendarWriter& writer)
{
    m_running = true;
    m_cancelled = false;
    const int total = int(events.size());
    QProgressDialog progress(QStringLiteral("Экспорт заданий в файл..."), QStringLiteral("Отмена"), 0, total,
                             m_window);
    progress.setObjectName(QStringLiteral("fmExportProgress"));
    progress.setWindowTitle(platform().applicationTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelay);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    connect(&progress, &QProgressDialog::canceled, this, [this] { m_cancelled = true; });
    const auto shown = connect(this, &CalendarExport::progressed, &progress,
                               [&progress](int written) { progress.setValue(written); });

    // The worker hands every report to this thread in order, so the last
    // progress comes before the end.
    QEventLoop loop;
    Outcome outcome;
    // Before the file takes its place the worker asks this thread, after
    // every report: a cancel pressed while the last part was written still
    // counts.
    Verdict verdict;
    std::thread worker([&] {
        const Outcome result = write(path, events, writer, [&] {
            QMetaObject::invokeMethod(
                &loop, [this, &verdict] { verdict.give(!m_cancelled); }, Qt::QueuedConnection);
            return verdict.await();
        });
        QMetaObject::invokeMethod(
            &loop,
            [&loop, &outcome, result] {
                outcome = result;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    // Ended otherwise (the program is quitting): nothing is kept.
    verdict.give(false);
    worker.join();
    disconnect(shown);
    progress.reset();
    m_running = false;

    if (outcome.complete) {
        platform().notice(QStringLiteral("Экспортировано заданий: %1\rФайл: %2")
                              .arg(total)
                              .arg(QDir::toNativeSeparators(path)));
        emit finished(path);
        return;
    }
    if (!outcome.error.isEmpty())
        platform().error(QStringLiteral("Не удалось записать файл \"%1\":\r%2")
                             .arg(QDir::toNativeSeparators(path), outcome.error));
    emit finished(QString());
}

CalendarExport::Outcome CalendarExport::write(const QString& path, const std::vector<CalendarEvent>& events,
                                              const ICalendarWriter& writer,
                                              const std::function<bool()>& keep)
{
    const auto report = [this, total = int(events.size())](int written) {
        QMetaObject::invokeMethod(
            this, [this, written, total] { emit progressed(written, total); }, Qt::QueuedConnection);
    };
    // QSaveFile writes to a temporary file in the target's folder and renames
    // it over the target on commit; without a commit nothing is left.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    QByteArray chunk = writer.begin();
    for (std::size_t i = 0; i < events.size(); ++i) {
        chunk += writer.event(events[i]);
        const int written = int(i) + 1;
        if (written % kSlice == 0 || written == int(events.size())) {
            if (file.write(chunk) != chunk.size())
                return {false, file.errorString()};
            chunk.clear();
            report(written);
            if (m_cancelled) {
                file.cancelWriting();
                return {false, {}};
            }
        }
    }
    chunk += writer.end();
    if (file.write(chunk) != chunk.size())
        return {false, file.errorString()};
    if (!keep()) {
        file.cancelWriting();
        return {false, {}};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace tarvik::tasks

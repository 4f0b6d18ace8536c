// The events shown written as a calendar file: a thousand events with
// awkward texts read back by Python's icalendar, every field compared, while
// the rows are reloaded under the export; the file replaced only when
// complete.

#include "calendarexport.h"
#include "plannerfixture.h"
#include "query.h"
#include "todopage.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>

using namespace tarvik;
using tarvik::tasks::CalendarExport;

namespace {

class CalendarExportTest : public test::PlannerPageFixture
{
protected:
    void TearDown() override
    {
        m_export.reset();
        m_todo.reset();
        PlannerPageFixture::TearDown();
    }
    // Events of March 2024 with texts to escape, fold and keep: separators,
    // quotes, backslashes, every kind of line break, long Cyrillic; the first
    // starts in the hour that Berlin's clocks skip.
    CalendarExport& exporterOver(int count)
    {
        const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
        const int place = addWorkPlace(QStringLiteral("Цех"), boss);
        const int alarms[] = {0, 1, 5, 10, 20, 40, 60, 120, 240, 480, 960, 1440, 2880, 5760, 10080};
        const QString comments[] = {
            QStringLiteral("Первая строка\r\nвторая, с запятой\nтретья; \\n не перевод\rчетвёртая\tтаб"),
            QStringLiteral("Длинное описание задания, которое не помещается в одну строку файла; ")
                .repeated(20),
            QString()};
        for (int i = 0; i < count; ++i) {
            const QDateTime start = i == 0 ? at(3, 31, 2, 30) : at(3, 1 + i % 31, 8 + i % 10, (i * 7) % 60);
            const QString headers[] = {
                QStringLiteral("Задача №%1; \"кавычки\", \\ черта").arg(i),
                QStringLiteral("Очень длинный заголовок задания %1 ").arg(i).repeated(6), QString(),
                QStringLiteral("Plain %1: a,b;c").arg(i)};
            m_c->execute(
                QStringLiteral("INSERT INTO EVENTS (ID, HEADER, COMMENT, STARTTIME, ENDTIME, ISFINISH, "
                               "ISPERCENT, WORKPLACE, TEMPLATE, ALARM) VALUES (GEN_ID(EVENTS_ID, 1), "
                               ":H, :C, :S, :E, :F, :P, :W, 1, :A)"),
                {{QStringLiteral("H"), headers[i % 4]},
                 {QStringLiteral("C"), comments[i % 3].left(1500 + i % 50)},
                 {QStringLiteral("S"), start},
                 {QStringLiteral("E"), start.addSecs((i % 5 + (i == 0)) * 1800)},
                 {QStringLiteral("F"), i % 3 == 2 ? QVariant() : QVariant(i % 3 ? "F" : "T")},
                 {QStringLiteral("P"), i % 101},
                 {QStringLiteral("W"), place},
                 {QStringLiteral("A"), alarms[i % 15]}});
        }
        m_c->commitRetaining();
        planner::PlannerPage& page = open(boss, UserRole::Boss);
        m_todo = std::make_unique<tasks::TodoPage>(page);
        m_export = std::make_unique<CalendarExport>(page, *m_todo, nullptr);
        return *m_export;
    }
    // The rows as the database holds them, read on the test's own connection.
    void writeExpected(const QString& path) const
    {
        db::Query rows(*m_c, QStringLiteral("SELECT * FROM EVENTS ORDER BY ID"));
        rows.open();
        QJsonArray events;
        for (rows.first(); !rows.eof(); rows.next()) {
            const auto time = [&rows](const char* c) {
                return rows.value(QLatin1String(c))
                    .toDateTime()
                    .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
            };
            // A calendar's line break is LF, whatever the row held.
            QString comment =
                rows.text(QStringLiteral("COMMENT")).replace(QLatin1String("\r\n"), QLatin1String("\n"));
            events.append(QJsonObject{{"id", rows.integer(QStringLiteral("ID"))},
                                      {"header", rows.text(QStringLiteral("HEADER"))},
                                      {"comment", comment.replace(QLatin1Char('\r'), QLatin1Char('\n'))},
                                      {"start", time("STARTTIME")},
                                      {"end", time("ENDTIME")},
                                      {"done", rows.text(QStringLiteral("ISFINISH")) == QLatin1String("T")},
                                      {"percent", rows.integer(QStringLiteral("ISPERCENT"))},
                                      {"alarm", rows.integer(QStringLiteral("ALARM"))}});
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QJsonDocument(
                    QJsonObject{{"identity", CalendarExport::databaseIdentity(*m_c)}, {"events", events}})
                    .toJson());
    }
    static QStringList uids(const QString& path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QStringList out;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("UID:"))
                out << QString::fromUtf8(line.mid(4).trimmed());
        return out;
    }
    [[nodiscard]] QStringList files() const { return QDir(m_dir.path()).entryList(QDir::Files); }

    QTemporaryDir m_dir{QStringLiteral("/tmp/icalkeep-XXXXXX")};
    std::unique_ptr<tasks::TodoPage> m_todo;
    std::unique_ptr<CalendarExport> m_export;
};

TEST_F(CalendarExportTest, ThousandEvents_ReadBackByIndependentParser_DespiteReloadMeanwhile)
{
    CalendarExport& calendar = exporterOver(1000);
    const QString expected = m_dir.filePath(QStringLiteral("expected.json"));
    writeExpected(expected);
    db::Query& events = m_page->events();
    ASSERT_EQ(events.recordCount(), 1000);

    // Another workstation deletes a hundred events while the file is being
    // written, and the alert reloads the rows: the file keeps what was shown.
    int reports = 0;
    const auto reload = QObject::connect(&calendar, &CalendarExport::progressed, [&](int written, int total) {
        if (reports++ == 0 && written < total) {
            m_c->execute(QStringLiteral(
                "DELETE FROM EVENTS WHERE ID IN (SELECT FIRST 100 ID FROM EVENTS ORDER BY ID DESC)"));
            m_c->commitRetaining();
            events.reopen();
        }
    });
    const QString file = m_dir.filePath(QStringLiteral("Задания.ics"));
    m_platform.queueSaveFile(file);
    calendar.exportShownEvents();
    QObject::disconnect(reload);
    EXPECT_EQ(events.recordCount(), 900);
    EXPECT_EQ(m_platform.messageTexts(), QStringList{QStringLiteral("Экспортировано заданий: 1000\rФайл: ") +
                                                     QDir::toNativeSeparators(file)});

    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    python.start(QStringLiteral(ICALCHECK_PYTHON), {QStringLiteral(ICALCHECK_SCRIPT), file, expected});
    ASSERT_TRUE(python.waitForFinished(120000)) << python.errorString().toStdString();
    EXPECT_EQ(python.exitCode(), 0) << python.readAll().toStdString();

    // Again from the task list, in its order: the events keep their UIDs,
    // and no temporary file is left beside the two.
    m_todo->show();
    m_todo->pageShown();
    m_platform.queueSaveFile(m_dir.filePath(QStringLiteral("снова")));
    calendar.exportShownEvents();
    QStringList listed;
    for (int row : calendar.shownRows())
        listed << QStringLiteral("%1@%2")
                      .arg(events.valueAt(row, QStringLiteral("ID")).toInt())
                      .arg(CalendarExport::databaseIdentity(*m_c));
    EXPECT_EQ(uids(m_dir.filePath(QStringLiteral("снова.ics"))), listed);
    EXPECT_EQ(files(), (QStringList{"expected.json", "Задания.ics", "снова.ics"}));
}

// A cancel while writing leaves the earlier file as it was, silently; a
// folder that cannot be written is named with the reason.
TEST_F(CalendarExportTest, CancelAndFailure_LeaveNoPartFile)
{
    CalendarExport& calendar = exporterOver(350);
    const QString file = m_dir.filePath(QStringLiteral("old.ics"));
    QFile old(file);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    const auto cancel = QObject::connect(&calendar, &CalendarExport::progressed, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QProgressDialog*>(w))
                w->findChild<QPushButton*>()->click();
    });
    QString finished = QStringLiteral("-");
    QObject::connect(&calendar, &CalendarExport::finished,
                     [&finished](const QString& path) { finished = path; });
    m_platform.queueSaveFile(file);
    calendar.exportShownEvents();
    QObject::disconnect(cancel);
    EXPECT_EQ(finished, QString());
    EXPECT_TRUE(m_platform.messageTexts().isEmpty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(files(), QStringList{"old.ics"});

    const QString nowhere = m_dir.filePath(QStringLiteral("нет папки/x.ics"));
    m_platform.queueSaveFile(nowhere);
    calendar.exportShownEvents();
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().first().kind, MessageKind::Error);
    EXPECT_TRUE(m_platform.messageTexts().first().startsWith(
        QStringLiteral("Не удалось записать файл \"%1\":\r").arg(QDir::toNativeSeparators(nowhere))));
    EXPECT_EQ(files(), QStringList{"old.ics"});
}

} // namespace

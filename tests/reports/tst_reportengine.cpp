// The report engine without a database: page ranges, the table layout with
// its page breaks, the letter layout, printing through the dialog and the
// preview's saved reports.

#include "datetimetext.h"
#include "pageranges.h"
#include "platformscope.h"
#include "reportlayouts.h"
#include "reportpdf.h"
#include "reportprinter.h"
#include "scriptedplatform.h"
#include "tfmpreview.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::reports;

namespace {

const QDateTime kPrinted(QDate(2026, 3, 14), QTime(9, 30));

EventFields event(const QString& header, bool finished, int percent)
{
    EventFields e;
    e.header = header;
    e.workPlace = QStringLiteral("Склад");
    e.start = QDateTime(QDate(2026, 3, 2), QTime(8, 0));
    e.end = QDateTime(QDate(2026, 3, 2), QTime(12, 0));
    e.finished = finished;
    e.percent = percent;
    return e;
}

class ReportEngineTest : public ::testing::Test
{
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Dates as a Russian workstation writes them.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        m_platform.setPrinterNames({QStringLiteral("Office")});
        m_platform.setPrintOutput(pdf());
    }
    [[nodiscard]] QString pdf() const { return m_dir.filePath(QStringLiteral("out.pdf")); }
    // The report through the print dialog into the PDF file; its text.
    QString printed(const ReportDocument& report, const QString& keepAs)
    {
        EXPECT_TRUE(printReport(nullptr, [&] { return report; }));
        return test::pdfText(pdf(), keepAs);
    }
    // The text line of the PDF holding needle.
    static QString lineWith(const QString& text, const QString& needle)
    {
        for (const QString& line : text.split(u'\n'))
            if (line.contains(needle))
                return line.simplified();
        return {};
    }

    QTemporaryDir m_dir;
    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
};

TEST(PageRanges, NumbersAndRangesWithinTheReport)
{
    EXPECT_EQ(parsePageRanges(QStringLiteral("1,3,5-12"), 20), (QList<int>{1, 3, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(parsePageRanges(QStringLiteral(" 3 - 4 , 1,3"), 20), (QList<int>{1, 3, 4}));
    EXPECT_EQ(parsePageRanges(QString(), 3), (QList<int>{1, 2, 3}));
    EXPECT_EQ(parsePageRanges(QStringLiteral("2-12"), 3), (QList<int>{2, 3}));
    EXPECT_EQ(parsePageRanges(QStringLiteral("5-12"), 3), QList<int>{});
    for (const char* bad : {"0", "3-1", "a", "1,,2", "1-", "-2", "1;2"})
        EXPECT_FALSE(parsePageRanges(QString::fromLatin1(bad), 20).has_value()) << bad;
}

// The March heading, the column heads, "+" only on the finished row and the
// percent with its sign; the search's table has the percent bare.
TEST_F(ReportEngineTest, TaskListTableShowsDoneMarksAndPercents)
{
    const QList<EventFields> rows = {event(QStringLiteral("Инвентаризация"), true, 40),
                                     event(QStringLiteral("Погрузка"), false, 40)};
    const QString text =
        printed(taskListReport(QStringLiteral("Задания на Март"), rows, PercentSign::Shown, kPrinted),
                QStringLiteral("tasklist.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Задания на Март"))) << text.toStdString();
    EXPECT_TRUE(lineWith(text, QStringLiteral("Заголовок"))
                    .contains(QRegularExpression(QStringLiteral("Заголовок +Рабочее место +Дата начала +Дата "
                                                                "выполнения +Вып\\."))));
    const QString done = lineWith(text, QStringLiteral("Инвентаризация"));
    const QString open = lineWith(text, QStringLiteral("Погрузка"));
    EXPECT_TRUE(done.startsWith(QStringLiteral("+ Инвентаризация Склад"))) << done.toStdString();
    EXPECT_TRUE(done.endsWith(QStringLiteral(" 40%"))) << done.toStdString();
    EXPECT_TRUE(open.startsWith(QStringLiteral("Погрузка Склад"))) << open.toStdString();
    EXPECT_EQ(open.count(u'+'), 0);
    EXPECT_TRUE(lineWith(text, QStringLiteral("Tarvik v1.0")).contains(QStringLiteral("стр. 1")));

    const QString search =
        printed(taskListReport(QStringLiteral("Задачи"), rows, PercentSign::Hidden, kPrinted),
                QStringLiteral("search.pdf"));
    EXPECT_TRUE(lineWith(search, QStringLiteral("Инвентаризация")).endsWith(QStringLiteral(" 40")));
    EXPECT_FALSE(search.contains(u'%'));
    EXPECT_TRUE(lineWith(search, QStringLiteral("Задачи")).startsWith(QStringLiteral("Задачи")));
}

// A list longer than a page goes on, numbered, with the title band once;
// pages chosen in the dialog print alone, copies uncollated sheet by sheet.
TEST_F(ReportEngineTest, LongListBreaksIntoNumberedPagesAndPrintsChosenOnes)
{
    QList<EventFields> rows;
    for (int i = 1; i <= 130; ++i)
        rows << event(QStringLiteral("Задание номер %1").arg(i), i % 2 == 0, i % 101);
    const ReportDocument report =
        taskListReport(QStringLiteral("Задания на Март"), rows, PercentSign::Shown, kPrinted);
    ASSERT_EQ(report.pageCount(), 3);
    const QString text = printed(report, QStringLiteral("tasklist-3pages.pdf"));
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(pages[p].contains(QStringLiteral("стр. %1").arg(p + 1))) << p;
        EXPECT_EQ(pages[p].count(QStringLiteral("Задания на Март")), p == 0 ? 1 : 0) << p;
    }
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Задание номер 130")));

    m_platform.setPrintPages(QStringLiteral("1,3"));
    m_platform.setPrintCopies(2, false);
    const QStringList sheets = printed(report, {}).split(u'\f', Qt::SkipEmptyParts);
    ASSERT_EQ(sheets.size(), 4);
    EXPECT_TRUE(sheets[0].contains(QStringLiteral("стр. 1")) && sheets[1].contains(QStringLiteral("стр. 1")));
    EXPECT_TRUE(sheets[2].contains(QStringLiteral("стр. 3")) && sheets[3].contains(QStringLiteral("стр. 3")));
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

TEST_F(ReportEngineTest, LetterShowsSenderRecipientSubjectAndWrappedBody)
{
    LetterFields letter{QStringLiteral("Иванов"), QStringLiteral("Петров"), QStringLiteral("Отчёт за март"),
                        QStringLiteral("Добрый день.\nПрошу прислать отчёт. ") + QString(60, u'ж') + u' ' +
                            QStringLiteral("слово ").repeated(80),
                        QDateTime(QDate(2026, 3, 5), QTime(10, 15))};
    const QString text = printed(letterReport(letter, kPrinted), QStringLiteral("letter.pdf"));
    EXPECT_TRUE(text.contains(QStringLiteral("Сообщение")));
    EXPECT_TRUE(
        lineWith(text, QStringLiteral("От кого:")).startsWith(QStringLiteral("От кого: Иванов Дата:")));
    EXPECT_EQ(lineWith(text, QStringLiteral("Кому:")), QStringLiteral("Кому: Петров"));
    EXPECT_EQ(lineWith(text, QStringLiteral("Тема:")), QStringLiteral("Тема: Отчёт за март"));
    EXPECT_EQ(lineWith(text, QStringLiteral("Прошу")), QStringLiteral("Прошу прислать отчёт."));
    EXPECT_TRUE(
        lineWith(text, QStringLiteral("Tarvik v1.0")).startsWith(tasks::dateTimeText(kPrinted).simplified()));
    EXPECT_FALSE(text.contains(QStringLiteral("стр.")));
    // Every word of the body is there, none cut at the page's edge.
    EXPECT_EQ(text.count(QStringLiteral("слово")), 80);
}

// No printer: nothing shown, nothing printed. Cancelling: the same. A
// failure anywhere: the one message with the question icon.
TEST_F(ReportEngineTest, NoPrinterOrCancelPrintsNothingAndFailuresSayPrinter)
{
    const ReportDocument report = eventReport(event(QStringLiteral("Учёт"), false, 0), kPrinted);
    m_platform.setPrinterNames({});
    EXPECT_FALSE(printReport(nullptr, [&] { return report; }));
    EXPECT_EQ(m_platform.printDialogs(), 0);

    m_platform.setPrinterNames({QStringLiteral("Office")});
    m_platform.setPrintDialogAccepted(false);
    EXPECT_FALSE(printReport(nullptr, [&] { return report; }));
    EXPECT_EQ(m_platform.printDialogs(), 1);
    EXPECT_FALSE(QFile::exists(pdf()));
    EXPECT_TRUE(m_platform.messages().isEmpty());

    m_platform.setPrintDialogAccepted(true);
    m_platform.setPrintPages(QStringLiteral("2-1"));
    EXPECT_FALSE(printReport(nullptr, [&] { return report; }));
    EXPECT_FALSE(printReport(nullptr, [&]() -> ReportDocument { throw std::runtime_error("no data"); }));
    m_platform.setPrintPages({});
    m_platform.setPrintOutput(m_dir.filePath(QStringLiteral("no/such/folder/out.pdf")));
    EXPECT_FALSE(printReport(nullptr, [&] { return report; }));
    const ScriptedPlatform::Message failed{MessageKind::Question, MessageButtons::Ok,
                                           m_platform.applicationTitle(),
                                           QStringLiteral("Ошибка! Возможно, не установлен принтер.")};
    EXPECT_EQ(m_platform.messages(), (QList<ScriptedPlatform::Message>{failed, failed, failed}));
}

// The preview finds text page by page, saves the prepared report and opens
// it again; a file of another kind is refused and the report kept.
TEST_F(ReportEngineTest, PreviewFindsSavesAndOpensPreparedReports)
{
    QList<EventFields> rows;
    for (int i = 1; i <= 130; ++i)
        rows << event(QStringLiteral("Задание %1").arg(i), false, 0);
    TfmPreview preview(taskListReport(QStringLiteral("Задания на Март"), rows, PercentSign::Shown, kPrinted));
    preview.findChild<QLineEdit*>(QStringLiteral("edFind"))->setText(QStringLiteral("задание 125"));
    preview.sbFindClick();
    EXPECT_EQ(preview.currentPage(), 2);
    EXPECT_EQ(preview.findChild<QLabel*>(QStringLiteral("lbPage"))->text(), QStringLiteral("Стр. 3 из 3"));
    preview.sbZoomInClick();
    EXPECT_EQ(preview.zoomPercent(), 150);

    const QString saved = m_dir.filePath(QStringLiteral("march.trp"));
    m_platform.queueSaveFile(saved);
    preview.sbSaveClick();
    TfmPreview other(letterReport({}, kPrinted));
    m_platform.queueOpenFile(saved);
    other.sbOpenClick();
    ASSERT_EQ(other.report().pageCount(), 3);
    EXPECT_EQ(other.report().pageTexts(2), preview.report().pageTexts(2));

    m_platform.queueOpenFile(pdf());
    QFile junk(pdf());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("%PDF-1.4 not a report");
    junk.close();
    other.sbOpenClick();
    EXPECT_EQ(other.report().pageCount(), 3);
    EXPECT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().at(0).kind, MessageKind::Error);
}

} // namespace

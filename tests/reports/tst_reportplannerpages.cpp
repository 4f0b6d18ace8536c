// The planner grid over sheets, saved as PDF from a real planner: as many
// sheets as predicted, every event's header found exactly once, the heads
// and page numbers on every sheet; a file that cannot be written is
// reported and a stopped one leaves nothing behind.

#include "pdfexport.h"
#include "plannerfixture.h"
#include "reportpdf.h"
#include "tdmfr.h"
#include "tfmpreview.h"

#include <QApplication>
#include <QTimer>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace tarvik;

namespace {

using Unit = widgets::PlannerRowMap::Unit;

class ReportPlannerPagesTest : public test::PlannerPageFixture
{
protected:
    static QString header(int n) { return QStringLiteral("Событие-%1;").arg(n, 3, 10, QLatin1Char('0')); }
    static QString squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

    // Saves the view shown with the setup given; the sheets' raw texts.
    QStringList savePages(const reports::PlannerPageSetup& setup, const QString& name)
    {
        const QString pdf = m_dir.filePath(name);
        m_platform.queueSaveFile(pdf);
        reports::TdmFr tdm(nullptr);
        tdm.setSetupChooser([setup](int, int, Unit) { return setup; });
        tdm.savePlannerPdf(*m_page);
        EXPECT_TRUE(m_platform.messages().isEmpty());
        (void)test::pdfText(pdf, name);
        QStringList sheets = test::pdfRawText(pdf).split(u'\f');
        sheets.removeLast(); // after the last form feed
        return sheets;
    }

    // Every header of `count` once in all sheets together, and on every
    // sheet its number of `total`, the period and the column heads.
    void expectHeadersOnce(const QStringList& sheets, int count)
    {
        const QString all = squeezed(sheets.join(QString()));
        for (int n = 0; n < count; ++n)
            EXPECT_EQ(all.count(squeezed(header(n))), 1) << header(n).toStdString();
        for (int p = 0; p < sheets.size(); ++p)
            EXPECT_TRUE(
                squeezed(sheets.at(p)).contains(QStringLiteral("стр.%1из%2").arg(p + 1).arg(sheets.size())))
                << "sheet " << p + 1;
    }

    QTemporaryDir m_dir;
};

TEST_F(ReportPlannerPagesTest, FortyWorkPlacesOverAWeek)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    QList<int> places;
    for (int i = 0; i < 40; ++i)
        places << addWorkPlace(QStringLiteral("Участок %1").arg(i + 1, 2, 10, QLatin1Char('0')), boss);
    // Five events a work place, on the days of 11 to 17 March, some over
    // several days; one before the week reaches into it.
    int n = 0;
    for (int i = 0; i < 40; ++i) {
        for (int k = 0; k < 5; ++k, ++n) {
            const int day = 11 + (i + 2 * k) % 7;
            const int days = (n % 9 == 0) ? 2 : 0;
            addEvent(eventAt(places.at(i), at(3, day, 8 + k * 2), at(3, std::min(day + days, 31), 9 + k * 2),
                             header(n)));
        }
    }
    addEvent(eventAt(places.at(3), at(3, 8, 10), at(3, 12, 12), header(n++)));

    open(boss, UserRole::Boss).sb7Click();
    const reports::PlannerPageSetup setup{8, true};
    const int predicted = reports::plannerPageCount(40, 7, Unit::Days, setup);
    EXPECT_EQ(predicted, 5);
    const QStringList sheets = savePages(setup, QStringLiteral("week.pdf"));
    ASSERT_EQ(sheets.size(), predicted);
    expectHeadersOnce(sheets, n);
    EXPECT_TRUE(sheets.at(0).contains(QStringLiteral("Участок 01")));
    EXPECT_TRUE(sheets.at(4).contains(QStringLiteral("Участок 40")));
    EXPECT_FALSE(sheets.at(4).contains(QStringLiteral("Участок 01")));
    for (const QString& sheet : sheets)
        EXPECT_TRUE(
            sheet.contains(m_page->grid()->captionTitle() + QStringLiteral(" (11.03.2024 – 17.03.2024)")));
}

TEST_F(ReportPlannerPagesTest, ThreeHundredEventsOfAMonthOverFiveWorkPlaces)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    QList<int> places;
    for (int i = 0; i < 5; ++i)
        places << addWorkPlace(QStringLiteral("Линия %1").arg(i + 1), boss);
    const int count = 300;
    for (int n = 0; n < count; ++n) {
        const int day = 1 + (n * 7) % 31;
        // Every tenth event runs over the next days, across a sheet's end
        // now and then.
        const int last = n % 10 == 0 ? std::min(day + 3, 31) : day;
        test::EventRow row =
            eventAt(places.at(n % 5), at(3, day, 8 + n % 9), at(3, last, 9 + n % 9), header(n));
        if (n % 4 == 0)
            row.isFinish = QStringLiteral("T");
        addEvent(row);
    }

    open(boss, UserRole::Boss).sb31Click();
    const reports::PlannerPageSetup setup{5, false};
    const int predicted = reports::plannerPageCount(5, 31, Unit::Days, setup);
    EXPECT_EQ(predicted, 5);
    const QStringList sheets = savePages(setup, QStringLiteral("month.pdf"));
    ASSERT_EQ(sheets.size(), predicted);
    expectHeadersOnce(sheets, count);
    // A week of days a sheet: event 70 (days 26 to 29) starts on the
    // fourth sheet and goes on onto the fifth.
    EXPECT_TRUE(squeezed(sheets.at(3)).contains(squeezed(header(70))));
    EXPECT_TRUE(sheets.at(4).contains(QStringLiteral("(продолжение)")));
    EXPECT_TRUE(sheets.at(0).contains(QStringLiteral("вып.")));

    // The day view of the 15th: slots of half an hour, 08:00 to 20:00.
    m_page->sb1Click();
    const int dayRows = m_page->grid()->rowMap().rowCount();
    const reports::PlannerPageSetup daySetup{2, true};
    const QStringList daySheets = savePages(daySetup, QStringLiteral("day.pdf"));
    EXPECT_EQ(daySheets.size(), reports::plannerPageCount(5, dayRows, Unit::Minutes, daySetup));
    EXPECT_TRUE(daySheets.at(0).contains(QStringLiteral("08:00")));

    // "Печать по страницам…" shows the same sheets, turned, in the preview.
    int previewed = 0;
    bool landscape = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* preview = qobject_cast<reports::TfmPreview*>(QApplication::activeModalWidget())) {
            previewed = preview->report().pageCount();
            landscape = preview->report().isLandscape();
            watch.stop();
            preview->reject();
        }
    });
    watch.start();
    reports::TdmFr tdm(nullptr);
    tdm.setSetupChooser([daySetup](int, int, Unit) { return daySetup; });
    tdm.printPlannerPages(*m_page);
    EXPECT_EQ(previewed, daySheets.size());
    EXPECT_TRUE(landscape);
}

TEST_F(ReportPlannerPagesTest, UnwritableAndStoppedFilesLeaveNothing)
{
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    addEvent(eventAt(addWorkPlace(QStringLiteral("Цех"), boss), at(3, 15, 9), at(3, 15, 10), header(1)));
    open(boss, UserRole::Boss).sb7Click();

    const QString unwritable = m_dir.filePath(QStringLiteral("missing/week.pdf"));
    m_platform.queueSaveFile(unwritable);
    reports::TdmFr tdm(nullptr);
    tdm.setSetupChooser([](int, int, Unit) { return reports::PlannerPageSetup{}; });
    tdm.savePlannerPdf(*m_page);
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().at(0).kind, MessageKind::Error);
    EXPECT_TRUE(m_platform.messages().at(0).text.startsWith(QStringLiteral("Не удалось записать файл")));
    EXPECT_FALSE(QFile::exists(unwritable));

    // Stopped after the first sheet: an earlier file stays as it was and
    // nothing else is left in the folder.
    const QString kept = m_dir.filePath(QStringLiteral("kept.pdf"));
    {
        QFile old(kept);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    const reports::ReportDocument report = reports::plannerPagesReport(
        reports::PlannerSheet::of(*m_page), reports::PlannerPageSetup{1, false}, m_platform.now());
    EXPECT_FALSE(reports::writePdf(report, kept, [](int, int) { return false; }));
    QFile old(kept);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);
}

} // namespace

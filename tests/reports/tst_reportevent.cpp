// The task dialog's "Печать" on a real planner: the single-event report of
// the event the dialog shows; a new event has nothing to print yet.

#include "eventcommands.h"
#include "plannerfixture.h"
#include "reportpdf.h"
#include "tdmfr.h"
#include "tfmtask.h"

#include <QFile>
#include <QTemporaryDir>
#include <QToolButton>

using namespace tarvik;

namespace {

class ReportEventTest : public test::PlannerPageFixture
{
protected:
    QTemporaryDir m_dir;
};

TEST_F(ReportEventTest, TaskDialogPrintsTheEventItShows)
{
    ASSERT_TRUE(m_dir.isValid());
    const QString pdf = m_dir.filePath(QStringLiteral("event.pdf"));
    m_platform.setPrinterNames({QStringLiteral("Office")});
    m_platform.setPrintOutput(pdf);
    const int boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
    const int shop = addWorkPlace(QStringLiteral("Цех 1"), boss);
    addEvent(eventAt(shop, at(3, 15, 8), at(3, 15, 9), QStringLiteral("Смазка")));
    test::EventRow row = eventAt(shop, at(3, 15, 11), at(3, 15, 12), QStringLiteral("Ремонт станка"));
    row.comment = QStringLiteral("Заменить ремень привода.");
    const int id = addEvent(row);

    open(boss, UserRole::Boss).sb1Click();
    planner::EventCommands& commands = m_page->commands();
    commands.setEventPrinter([](const db::Query& events) { reports::TdmFr(nullptr).printEvent(events); });
    bool printable = true;
    commands.setDialogRunner([&](planner::TfmTask& dialog) {
        auto* print = dialog.findChild<QToolButton*>(QStringLiteral("sbPrint"));
        printable = print->isEnabled();
        print->click();
        dialog.reject();
    });
    grid().selectItem(itemOf(id));
    commands.sbEditClick();
    ASSERT_TRUE(printable);
    const QString text = test::pdfText(pdf, QStringLiteral("event.pdf")).simplified();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Задача Заголовок: Ремонт станка Время: ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Рабочее место: Цех 1 Заменить ремень привода.")));
    EXPECT_FALSE(text.contains(QStringLiteral("Смазка")));
    EXPECT_TRUE(m_platform.messages().isEmpty());

    QFile::remove(pdf);
    grid().selectCells(0, 30, 31);
    commands.sbAddClick();
    EXPECT_FALSE(printable) << "a new event is not stored yet";
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace

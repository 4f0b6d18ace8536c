#include "tdmfr.h"

#include "dberror.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "platform.h"
#include "query.h"
#include "reportlayouts.h"
#include "reportprinter.h"
#include "tfmplannerpages.h"
#include "tfmpreview.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QTextEdit>

#include <stdexcept>

namespace tarvik::reports {

TdmFr::TdmFr(QWidget* parent) : m_parent(parent) {}

bool TdmFr::hasRows(const db::Query& q)
{
    return q.isOpen() && !q.isEmpty();
}

void TdmFr::printLetter(const db::Query& letters)
{
    if (!hasRows(letters))
        return;
    printReport(m_parent, [&] { return letterReport(LetterFields::fromCurrent(letters), platform().now()); });
}

void TdmFr::previewLetter(const LetterFields& letter)
{
    try {
        TfmPreview preview(letterReport(letter, platform().now()), m_parent);
        preview.exec();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    } catch (const std::exception& e) {
        platform().error(QString::fromLocal8Bit(e.what()));
    }
}

void TdmFr::printTodoEvents(const db::Query& events, const QString& caption)
{
    if (!hasRows(events))
        return;
    printReport(m_parent, [&] {
        return taskListReport(QStringLiteral("Задания на ") + caption, EventFields::allRows(events),
                              PercentSign::Shown, platform().now());
    });
}

void TdmFr::printEvent(const db::Query& events)
{
    if (!hasRows(events))
        return;
    printReport(m_parent,
                [&] { return eventReport(EventFields::fromRow(events, events.recNo()), platform().now()); });
}

void TdmFr::printSearch(const db::Query& found)
{
    if (!hasRows(found))
        return;
    printReport(m_parent, [&] {
        return taskListReport(QStringLiteral("Задачи"), EventFields::allRows(found), PercentSign::Hidden,
                              platform().now());
    });
}

void TdmFr::printWidget(QWidget& view)
{
    try {
        const std::unique_ptr<QPrinter> printer = platform().choosePrinter(m_parent);
        if (!printer)
            return;
        // No header, no footer, no margins.
        printer->setFullPage(true);
        printer->setPageOrientation(QPageLayout::Portrait);
        QPainter painter;
        if (!painter.begin(printer.get()))
            throw std::runtime_error("the printer did not start");
        // The view as the screen shows it, scaled to the sheet's width (or
        // its height, for a view taller than the sheet's proportions).
        const QPixmap shown = view.grab();
        const QRect page = printer->pageLayout().fullRectPixels(printer->resolution());
        QSize target = shown.size();
        target.scale(page.size(), Qt::KeepAspectRatio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(QRect(page.topLeft(), target), shown);
        painter.end();
    } catch (...) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
    }
}

void TdmFr::printText(QTextEdit& view)
{
    try {
        const std::unique_ptr<QPrinter> printer = platform().choosePrinter(m_parent);
        if (!printer)
            return;
        view.print(printer.get());
    } catch (...) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
    }
}

std::optional<PlannerPageSetup> TdmFr::chooseSetup(const planner::PlannerPage& page)
{
    const widgets::PlannerGrid& grid = *page.grid();
    const int columns = grid.positions();
    const int bands = grid.rowMap().rowCount();
    const widgets::PlannerRowMap::Unit unit = grid.rowMap().unit();
    if (m_chooseSetup)
        return m_chooseSetup(columns, bands, unit);
    TfmPlannerPages dialog(PlannerPageSetup::remembered(), columns, bands, unit, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    dialog.setup().remember();
    return dialog.setup();
}

void TdmFr::printPlannerPages(const planner::PlannerPage& page)
{
    if (!page.canShowEvents())
        return;
    const std::optional<PlannerPageSetup> setup = chooseSetup(page);
    if (!setup)
        return;
    try {
        // The rows as they are now; alerts may reload them while the sheets
        // are laid out.
        const PlannerSheet sheet = PlannerSheet::of(page);
        const QDateTime printed = platform().now();
        ReportDocument report;
        const bool done = runWithProgress(m_parent, QStringLiteral("Подготовка страниц..."),
                                          [&](const PageProgress& progress) {
                                              report = plannerPagesReport(sheet, *setup, printed, progress);
                                              return report.pageCount() > 0;
                                          });
        if (!done)
            return;
        TfmPreview preview(std::move(report), m_parent);
        preview.exec();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    } catch (const std::exception& e) {
        platform().error(QString::fromStdString(e.what()));
    }
}

void TdmFr::savePdf(const std::function<Layout()>& snapshot)
{
    const QString path = withPdfSuffix(platform().chooseSaveFile(m_parent, kPdfFilter));
    if (path.isEmpty())
        return;
    try {
        const Layout layout = snapshot();
        runWithProgress(m_parent, QStringLiteral("Сохранение в PDF..."), [&](const PageProgress& progress) {
            // Laying out is the first half of the work, writing the second.
            const ReportDocument report =
                layout([&](int done, int total) { return progress(done, 2 * total); });
            const int pages = report.pageCount();
            return pages > 0 &&
                   writePdf(report, path, [&](int done, int) { return progress(pages + done, 2 * pages); });
        });
    } catch (const db::DbError& e) {
        platform().error(e.text());
    } catch (const std::exception& e) {
        platform().error(QString::fromStdString(e.what()));
    }
}

void TdmFr::savePlannerPdf(const planner::PlannerPage& page)
{
    if (!page.canShowEvents())
        return;
    const std::optional<PlannerPageSetup> setup = chooseSetup(page);
    if (!setup)
        return;
    savePdf([&page, setup]() -> Layout {
        return [sheet = PlannerSheet::of(page), setup = *setup,
                printed = platform().now()](const PageProgress& progress) {
            return plannerPagesReport(sheet, setup, printed, progress);
        };
    });
}

void TdmFr::saveTodoPdf(const db::Query& events, const QString& caption)
{
    if (!hasRows(events))
        return;
    savePdf([&]() -> Layout {
        return [rows = EventFields::allRows(events), heading = QStringLiteral("Задания на ") + caption,
                printed = platform().now()](const PageProgress&) {
            return taskListReport(heading, rows, PercentSign::Shown, printed);
        };
    });
}

} // namespace tarvik::reports

#include "reportprinter.h"

#include "pageranges.h"
#include "platform.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <stdexcept>

namespace tarvik::reports {

void printPages(const ReportDocument& report, QPrinter& printer, const QList<int>& pages)
{
    if (pages.isEmpty())
        return;
    const int copies = std::max(printer.copyCount(), 1);
    const bool collate = printer.collateCopies();
    printer.setCopyCount(1);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                      report.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF()));

    QList<int> sheets;
    if (collate) {
        for (int c = 0; c < copies; ++c)
            sheets << pages;
    } else {
        for (int p : pages)
            for (int c = 0; c < copies; ++c)
                sheets << p;
    }
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("the printer did not start");
    for (int i = 0; i < sheets.size(); ++i) {
        if (i > 0 && !printer.newPage())
            throw std::runtime_error("the printer refused a new page");
        report.paintPage(sheets.at(i) - 1, painter);
    }
    if (!painter.end())
        throw std::runtime_error("the printer did not finish");
}

namespace {

bool printThroughDialog(QWidget* parent, const ReportDocument& report)
{
    Platform::ReportPrintChoice choice = platform().chooseReportPrinter(parent, report.pageCount());
    if (!choice.printer)
        return false;
    const std::optional<QList<int>> pages = parsePageRanges(choice.pages, report.pageCount());
    if (!pages)
        throw std::runtime_error("pages not understood");
    printPages(report, *choice.printer, *pages);
    return !pages->isEmpty();
}

} // namespace

bool printReport(QWidget* parent, const std::function<ReportDocument()>& prepare)
{
    try {
        const ReportDocument report = prepare();
        if (platform().printerNames().isEmpty())
            return false;
        return printThroughDialog(parent, report);
    } catch (...) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
        return false;
    }
}

bool printPrepared(QWidget* parent, const ReportDocument& report)
{
    try {
        return printThroughDialog(parent, report);
    } catch (...) {
        platform().message(MessageKind::Question, MessageButtons::Ok, kPrintFailedMessage);
        return false;
    }
}

} // namespace tarvik::reports

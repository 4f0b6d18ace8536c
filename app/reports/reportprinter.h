#pragma once

#include "reportdocument.h"

#include <QList>

#include <functional>

class QPrinter;
class QWidget;

namespace tarvik::reports {

// Prints the given pages (1-based) of a report on a printer set up by the
// print dialog: the printer's copies and collation are honoured here, sheet
// by sheet, so that a PDF file or a printer without its own copy count
// gets them too. Throws std::runtime_error when the printer cannot start.
void printPages(const ReportDocument& report, QPrinter& printer, const QList<int>& pages);

// The message of every failed print command.
inline const QString kPrintFailedMessage = QStringLiteral("Ошибка! Возможно, не установлен принтер.");

// A report command: prepares the report, and when the workstation has a
// printer, asks the print dialog and prints the chosen pages. Every failure
// ends in kPrintFailedMessage (question icon); cancelling shows nothing.
// True when pages went to the printer.
bool printReport(QWidget* parent, const std::function<ReportDocument()>& prepare);

// Prints a prepared report through the print dialog (the preview's
// command); also without installed printers, since a file can be chosen.
bool printPrepared(QWidget* parent, const ReportDocument& report);

} // namespace tarvik::reports

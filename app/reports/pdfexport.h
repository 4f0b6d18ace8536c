#pragma once

#include "reportdocument.h"

#include <QString>

#include <functional>

class QWidget;

namespace tarvik::reports {

// Reports a written sheet (done of total); false stops the work.
using PageProgress = std::function<bool(int done, int total)>;

// Writes the report's pages as a PDF file at path. The file is written
// beside its place under another name and takes its place only when it is
// complete, so that a failure or a stop leaves no half-written file and an
// existing file untouched. False when progress stopped it; throws
// std::runtime_error with a message for the user when the file cannot be
// written.
bool writePdf(const ReportDocument& report, const QString& path, const PageProgress& progress = {});

// The file chooser's filter for PDF files, and a chosen name with its
// ".pdf" added when it has no extension.
inline const QString kPdfFilter = QStringLiteral("Документ PDF|*.pdf");
[[nodiscard]] QString withPdfSuffix(const QString& path);

// Runs work on a thread of its own while the event loop goes on (alerts
// are handled meanwhile), with a progress dialog whose "Отмена" stops it.
// The work reports through its progress function, whose false answer
// means stop, and tells whether it completed. The work's answer; an
// exception of the work is thrown again here.
bool runWithProgress(QWidget* parent, const QString& label,
                     const std::function<bool(const PageProgress& progress)>& work);

} // namespace tarvik::reports

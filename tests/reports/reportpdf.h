#pragma once

#include <QString>

namespace tarvik::test {

// The text of a PDF file as pdftotext lays it out (pages separated by form
// feeds). A copy of the file goes to $TARVIK_KEEP_REPORTS/name when that
// folder is set, to be looked at.
[[nodiscard]] QString pdfText(const QString& pdfPath, const QString& keepAs = {});
[[nodiscard]] int pdfPages(const QString& pdfPath);
// The texts in the order they were drawn, pages separated by form feeds.
[[nodiscard]] QString pdfRawText(const QString& pdfPath);

} // namespace tarvik::test

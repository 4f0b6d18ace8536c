#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace tarvik::reports {

// The pages chosen in the print dialog: empty text means all of them;
// otherwise page numbers and ranges separated by commas ("1,3,5-12").
// Pages beyond the report's end are left out; the numbers come back
// 1-based, ascending, without repeats. Nothing for text that is not such a
// list (letters, "0", a range written backwards).
[[nodiscard]] std::optional<QList<int>> parsePageRanges(const QString& text, int pageCount);

} // namespace tarvik::reports

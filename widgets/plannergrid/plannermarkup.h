#pragma once

#include <QString>

namespace tarvik::widgets {

// The one place where the rich caption markup of planner items becomes the
// HTML that QTextDocument renders, so that it can be replaced by the shared
// markup converter. Handles what the markup uses besides plain HTML: font
// sizes in points (`<font size="10">`), the named colours "clRed",
// "clSilver" and "clGreen", and pictures `<IMG src="idx:N">` from the grid's
// image list, which stay as resources named "idx:N".
[[nodiscard]] QString plannerMarkupToHtml(const QString& markup);

} // namespace tarvik::widgets

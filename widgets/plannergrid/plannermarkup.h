#pragma once

#include <QString>
#include <QStringList>

namespace tarvik::widgets {

// The rich caption markup of planner items as the HTML that QTextDocument
// renders, through the shared markup converter, so that an item's markup
// means what it means in every other markup widget. Pictures
// `<IMG src="idx:N">` stay references to resources named "idx:N", which
// the grid supplies from its own image list of `imageCount` pictures;
// without a count, the program's image list is assumed.
[[nodiscard]] QString plannerMarkupToHtml(const QString& markup);
[[nodiscard]] QString plannerMarkupToHtml(const QString& markup, int imageCount);
// The text of an item's markup as a screen reader reads it: one entry per
// line or rule-separated block, pictures left out, empty lines dropped.
// The first line is the item's header.
[[nodiscard]] QStringList plannerMarkupLines(const QString& markup);

} // namespace tarvik::widgets

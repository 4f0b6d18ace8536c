#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarvik::widgets {

// The rich caption markup, the small HTML subset in which the system writes
// user names, planner items, tree entries and notices, turned into the rich
// text Qt's text engine draws. Every markup widget converts through here so
// that the subset means the same everywhere:
//   <b> (and <i>, <u>); <font size="points" face="family" color="...">
//   with colours "clRed"-style names or "#RRGGBB"; <IMG src="idx:N"> for
//   picture N of the image list; <a href="target">; <br>; <hr>.
// Tag and attribute names are case-insensitive. Other tags are dropped and
// their content kept; text is escaped, so a stray "<" or "&" shows as is.
// Blanks are kept as written (two blanks show as two), while line ends in
// the text are blanks, as in HTML.
class MarkupConverter
{
public:
    // images[N] is the picture of "idx:N"; indexes outside the list show
    // nothing.
    explicit MarkupConverter(const QList<QImage>& images);

    // The converter over the program's image list, shared by all widgets.
    [[nodiscard]] static const MarkupConverter& standard();
    // Pictures 0 to count - 1 stay references named "idx:N", for a view
    // that keeps its own image list and hands the pictures to its document
    // as resources (the planner grid).
    [[nodiscard]] static MarkupConverter withImageResources(int count);

    // Qt rich text, pictures embedded, so it needs no resources to draw.
    [[nodiscard]] QString toRichText(const QString& markup) const;
    // The text a reader sees, for keyboard search and accessibility; line
    // breaks and rules become line ends.
    [[nodiscard]] QString toPlainText(const QString& markup) const;

    // "clRed", "clsilver", "#00FF00" ... ; nullopt for anything else.
    [[nodiscard]] static std::optional<QColor> colorOf(const QString& name);

private:
    MarkupConverter() = default;

    // The source of each picture: its data URL, encoded once, or its
    // resource name.
    QStringList m_imageSources;
};

} // namespace tarvik::widgets

#include "plannermarkup.h"

#include "markupconverter.h"
#include "pictures.h"

namespace tarvik::widgets {

QString plannerMarkupToHtml(const QString& markup)
{
    return plannerMarkupToHtml(markup, Pictures::ImageCount);
}

QString plannerMarkupToHtml(const QString& markup, int imageCount)
{
    return MarkupConverter::withImageResources(imageCount).toRichText(markup);
}

} // namespace tarvik::widgets

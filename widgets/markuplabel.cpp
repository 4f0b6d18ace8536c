#include "markuplabel.h"

#include "markupconverter.h"

namespace tarvik::widgets {

MarkupLabel::MarkupLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(this, &QLabel::linkActivated, this, &MarkupLabel::linkClicked);
}

MarkupLabel::MarkupLabel(const QString& markup, QWidget* parent) : MarkupLabel(parent)
{
    setMarkup(markup);
}

void MarkupLabel::setMarkup(const QString& markup)
{
    m_markup = markup;
    setText(MarkupConverter::standard().toRichText(markup));
}

} // namespace tarvik::widgets

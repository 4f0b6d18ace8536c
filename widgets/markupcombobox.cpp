#include "markupcombobox.h"

#include "markupconverter.h"
#include "markupitemdelegate.h"
#include "markuprenderer.h"

#include <QStylePainter>

namespace tarvik::widgets {

MarkupComboBox::MarkupComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new MarkupItemDelegate(this));
}

void MarkupComboBox::addMarkupItem(const QString& markup, const QVariant& data)
{
    addItem(MarkupConverter::standard().toPlainText(markup), data);
    setItemData(count() - 1, markup, MarkupRole);
}

void MarkupComboBox::setMarkupItems(const QStringList& markups)
{
    clear();
    for (const QString& markup : markups)
        addMarkupItem(markup);
}

QString MarkupComboBox::markupItem(int position) const
{
    return itemData(position, MarkupRole).toString();
}

QSize MarkupComboBox::sizeHint() const
{
    QSize hint = QComboBox::sizeHint();
    for (int i = 0; i < count(); ++i)
        hint.setHeight(std::max(hint.height(), MarkupRenderer::sizeOf(markupItem(i), font()).height() + 6));
    return hint;
}

void MarkupComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = {};
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0)
        return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    MarkupRenderer(markupItem(currentIndex()), font(), field.adjusted(2, 0, -2, 0))
        .paint(painter, palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
}

} // namespace tarvik::widgets

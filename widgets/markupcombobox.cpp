#include "markupcombobox.h"

#include "markupconverter.h"
#include "markupitemdelegate.h"
#include "markuprenderer.h"

#include <QHelpEvent>
#include <QStylePainter>
#include <QToolTip>

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

namespace {
// Characters of an average width the closed box makes room for at most.
constexpr int kWidestItem = 40;
} // namespace

int MarkupComboBox::widthCap() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize content(fontMetrics().averageCharWidth() * kWidestItem, fontMetrics().height());
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this).width();
}

QSize MarkupComboBox::sizeHint() const
{
    QSize hint = QComboBox::sizeHint();
    for (int i = 0; i < count(); ++i)
        hint.setHeight(std::max(hint.height(), MarkupRenderer::sizeOf(markupItem(i), font()).height() + 6));
    hint.setWidth(std::min(hint.width(), widthCap()));
    return hint;
}

QSize MarkupComboBox::minimumSizeHint() const
{
    QSize hint = QComboBox::minimumSizeHint();
    hint.setWidth(std::min(hint.width(), widthCap()));
    return hint;
}

QRect MarkupComboBox::fieldRect() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
        .adjusted(2, 0, -2, 0);
}

QString MarkupComboBox::cutText() const
{
    if (currentIndex() < 0 || MarkupRenderer(markupItem(currentIndex()), font(), fieldRect()).fits())
        return {};
    return currentText();
}

bool MarkupComboBox::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const QString text = cutText();
        if (!text.isEmpty()) {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, this);
            return true;
        }
    }
    return QComboBox::event(event);
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
    MarkupRenderer(markupItem(currentIndex()), font(), fieldRect())
        .paint(painter, palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
}

} // namespace tarvik::widgets

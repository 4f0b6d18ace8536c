#include "lettersheader.h"

#include <QPainter>

namespace tarvik::messaging {

LettersHeader::LettersHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("dbgTextsTitles"));
    setMinimumSectionSize(1);
    setHighlightSections(false);
    setSectionsClickable(false);
}

void LettersHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!model())
        return;
    const QVariant background = model()->headerData(logicalIndex, orientation(), Qt::BackgroundRole);
    painter->save();
    painter->fillRect(rect, background.isValid() ? background.value<QBrush>() : palette().button());
    const QString title = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    if (rect.width() > 1) {
        painter->setPen(palette().color(QPalette::Mid));
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignCenter, title);
    }
    painter->restore();
}

} // namespace tarvik::messaging

#pragma once

#include <QHeaderView>

namespace tarvik::messaging {

// The title row of the letter grid, painted in the colours its model gives
// (the accent colour, the window colour for the dividers) whatever the
// desktop style would paint.
class LettersHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit LettersHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

} // namespace tarvik::messaging

#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <memory>

class QPainter;
class QTextDocument;

namespace tarvik::widgets {

// Lays out and draws one piece of rich caption markup inside a rectangle,
// for the widgets that paint their own cells (list and tree items, status
// bar panels, the closed drop-down list). Lines are not wrapped: what does
// not fit the rectangle is cut off and ends in "…", so that a cut name
// does not pass for a whole one.
class MarkupRenderer
{
public:
    MarkupRenderer(const QString& markup, const QFont& font, const QRect& rect,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    ~MarkupRenderer();

    // The size the markup needs with the given font.
    [[nodiscard]] static QSize sizeOf(const QString& markup, const QFont& font);

    // True when the markup fits its rectangle's width.
    [[nodiscard]] bool fits() const;

    void paint(QPainter& painter, const QColor& textColor) const;
    // The target of the link at point (widget coordinates), empty if none.
    [[nodiscard]] QString anchorAt(const QPoint& point) const;

private:
    [[nodiscard]] QPointF origin() const;

    std::unique_ptr<QTextDocument> m_document;
    QRect m_rect;
    Qt::Alignment m_alignment;
};

} // namespace tarvik::widgets

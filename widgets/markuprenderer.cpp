#include "markuprenderer.h"

#include "markupconverter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>

namespace tarvik::widgets {

namespace {

std::unique_ptr<QTextDocument> layOut(const QString& markup, const QFont& font)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(font);
    document->setDocumentMargin(0);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    document->setDefaultTextOption(option);
    document->setHtml(MarkupConverter::standard().toRichText(markup));
    return document;
}

} // namespace

MarkupRenderer::MarkupRenderer(const QString& markup, const QFont& font, const QRect& rect,
                               Qt::Alignment alignment)
    : m_document(layOut(markup, font)), m_rect(rect), m_alignment(alignment)
{}

MarkupRenderer::~MarkupRenderer() = default;

QSize MarkupRenderer::sizeOf(const QString& markup, const QFont& font)
{
    return layOut(markup, font)->size().toSize();
}

QPointF MarkupRenderer::origin() const
{
    const QSizeF size = m_document->size();
    qreal x = m_rect.left();
    if (m_alignment & Qt::AlignHCenter)
        x += (m_rect.width() - size.width()) / 2;
    else if (m_alignment & Qt::AlignRight)
        x += m_rect.width() - size.width();
    qreal y = m_rect.top();
    if (m_alignment & Qt::AlignVCenter)
        y += (m_rect.height() - size.height()) / 2;
    else if (m_alignment & Qt::AlignBottom)
        y += m_rect.height() - size.height();
    // Text wider than its cell starts at the cell's edge and is cut at the far one.
    return {std::max<qreal>(x, m_rect.left()), std::max<qreal>(y, m_rect.top())};
}

void MarkupRenderer::paint(QPainter& painter, const QColor& textColor) const
{
    painter.save();
    painter.setClipRect(m_rect, Qt::IntersectClip);
    const QPointF at = origin();
    painter.translate(at);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, textColor);
    context.clip = QRectF(m_rect).translated(-at);
    m_document->documentLayout()->draw(&painter, context);
    painter.restore();
}

QString MarkupRenderer::anchorAt(const QPoint& point) const
{
    if (!m_rect.contains(point))
        return {};
    return m_document->documentLayout()->anchorAt(QPointF(point) - origin());
}

} // namespace tarvik::widgets

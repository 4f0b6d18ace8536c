#include "markuprenderer.h"

#include "markupconverter.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
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

bool MarkupRenderer::fits() const
{
    return m_document->size().width() <= m_rect.width();
}

void MarkupRenderer::paint(QPainter& painter, const QColor& textColor) const
{
    const QString ellipsis(QChar(0x2026));
    const QFontMetrics metrics(m_document->defaultFont());
    const bool cut = !fits();
    QRect shown = m_rect;
    if (cut)
        shown.setRight(m_rect.right() - metrics.horizontalAdvance(ellipsis));
    painter.save();
    painter.setClipRect(shown, Qt::IntersectClip);
    const QPointF at = origin();
    painter.translate(at);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, textColor);
    context.clip = QRectF(shown).translated(-at);
    m_document->documentLayout()->draw(&painter, context);
    painter.restore();
    if (cut) {
        painter.save();
        painter.setFont(m_document->defaultFont());
        painter.setPen(textColor);
        const QRect tail(shown.right() + 1, m_rect.top(), m_rect.right() - shown.right(), m_rect.height());
        painter.drawText(tail, int(Qt::AlignLeft | (m_alignment & Qt::AlignVertical_Mask)), ellipsis);
        painter.restore();
    }
}

QString MarkupRenderer::anchorAt(const QPoint& point) const
{
    if (!m_rect.contains(point))
        return {};
    return m_document->documentLayout()->anchorAt(QPointF(point) - origin());
}

} // namespace tarvik::widgets

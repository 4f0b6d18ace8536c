#include "planneritempictures.h"

#include "plannergrid.h"
#include "plannermarkup.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QTextDocument>

#include <cmath>

namespace tarvik::widgets {

namespace {

QRectF bodyOf(PlannerCaptionType captionType, const QFont& captionFont, const QRectF& rect)
{
    const int caption = captionType == PlannerCaptionType::None ? 0 : QFontMetrics(captionFont).height() + 4;
    return rect.adjusted(PlannerGrid::kTrackWidth + 2, caption + 1, -2, -1);
}

QString timeText(const PlannerItemLook& look)
{
    const QString format = look.dayRows ? QStringLiteral("dd.MM HH:mm") : QStringLiteral("HH:mm");
    return look.start.toString(format) + QLatin1Char('-') + look.end.toString(format);
}

} // namespace

PlannerItemPictures::PlannerItemPictures() = default;
PlannerItemPictures::~PlannerItemPictures() = default;

void PlannerItemPictures::setImages(const QList<QPixmap>& images)
{
    m_images = images;
    m_pictures.clear();
}

PlannerItemLook PlannerItemPictures::lookOf(const PlannerItem& item, const QRectF& rect, bool dayRows,
                                            qreal pixelRatio)
{
    PlannerItemLook look;
    look.text = item.text;
    look.font = item.font;
    look.captionType = item.captionType;
    if (item.captionType == PlannerCaptionType::Time || item.captionType == PlannerCaptionType::TimeText) {
        look.start = item.start;
        look.end = item.end;
        look.dayRows = dayRows;
    }
    if (item.captionType != PlannerCaptionType::None) {
        look.captionText = item.captionText;
        look.captionBackground = item.captionBackground;
        look.captionFont = item.captionFont;
        look.captionFontColor = item.captionFontColor;
    }
    look.color = item.color;
    look.trackColor = item.trackColor;
    look.uniformBackground = item.uniformBackground;
    look.selected = item.selected;
    look.selectColor = item.selectColor;
    look.selectFontColor = item.selectFontColor;
    look.size = rect.size();
    look.offset = QPointF(rect.x() - std::floor(rect.x()), rect.y() - std::floor(rect.y()));
    look.pixelRatio = pixelRatio;
    return look;
}

QRectF PlannerItemPictures::bodyRect(const PlannerItem& item, const QRectF& rect)
{
    return bodyOf(item.captionType, item.captionFont, rect);
}

std::unique_ptr<QTextDocument> PlannerItemPictures::document(const QString& text, const QFont& font,
                                                             qreal width) const
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(font);
    document->setDocumentMargin(1);
    for (int i = 0; i < m_images.size(); ++i)
        document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("idx:%1").arg(i)),
                              m_images.at(i));
    document->setHtml(plannerMarkupToHtml(text, int(m_images.size())));
    document->setTextWidth(width);
    return document;
}

// Both ways draw on the same whole pixels with the same fraction, so that
// a picture replacing the drawn box later shows the same.
void PlannerItemPictures::draw(QPainter& p, const QString& name, const PlannerItemLook& look,
                               const QPointF& topLeft) const
{
    const QPointF pixel(std::floor(topLeft.x()), std::floor(topLeft.y()));
    const auto it = m_pictures.constFind(name);
    if (it != m_pictures.cend() && it->look == look) {
        p.drawPixmap(pixel, it->pixmap);
        return;
    }
    p.save();
    p.translate(pixel);
    paintBox(p, look, QRectF(look.offset, look.size));
    p.restore();
}

bool PlannerItemPictures::isReady(const QString& name, const PlannerItemLook& look) const
{
    const auto it = m_pictures.constFind(name);
    return it != m_pictures.cend() && it->look == look;
}

void PlannerItemPictures::prepare(const QString& name, const PlannerItemLook& look)
{
    if (!isReady(name, look))
        m_pictures.insert(name, {look, render(look)});
}

void PlannerItemPictures::forget(const QString& name)
{
    m_pictures.remove(name);
}

void PlannerItemPictures::keepOnly(const QSet<QString>& names)
{
    m_pictures.removeIf([&names](const auto& it) { return !names.contains(it.key()); });
}

// The box drawn on whole pixels of a transparent picture, shifted by the
// fraction of a pixel it has on the grid.
QPixmap PlannerItemPictures::render(const PlannerItemLook& look) const
{
    const QRectF rect(look.offset, look.size);
    const QSize size(int(std::ceil(rect.right())), int(std::ceil(rect.bottom())));
    QPixmap pixmap(size * look.pixelRatio);
    pixmap.setDevicePixelRatio(look.pixelRatio);
    pixmap.fill(Qt::transparent);
    if (size.isEmpty())
        return pixmap;
    QPainter p(&pixmap);
    paintBox(p, look, rect);
    return pixmap;
}

void PlannerItemPictures::paintBox(QPainter& p, const PlannerItemLook& look, const QRectF& rect) const
{
    p.fillRect(QRectF(rect.left(), rect.top(), PlannerGrid::kTrackWidth, rect.height()), look.trackColor);
    const QRectF box = rect.adjusted(PlannerGrid::kTrackWidth, 0, 0, 0);
    const QRectF body = bodyOf(look.captionType, look.captionFont, rect);
    if (look.captionType != PlannerCaptionType::None) {
        const QRectF caption(box.left(), box.top(), box.width(), body.top() - 1 - box.top());
        p.fillRect(caption, look.captionBackground);
        QFont f = look.captionFont;
        f.setBold(true);
        p.setFont(f);
        p.setPen(look.captionFontColor);
        QString text = look.captionType == PlannerCaptionType::Text ? QString() : timeText(look);
        if (look.captionType != PlannerCaptionType::Time && !look.captionText.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + look.captionText;
        p.drawText(caption.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    const QRectF area(box.left(), body.top() - 1, box.width(), box.bottom() - body.top() + 1);
    if (look.selected) {
        p.fillRect(area, look.selectColor);
    } else if (look.uniformBackground) {
        p.fillRect(area, look.color);
    } else {
        QLinearGradient fade(area.topLeft(), area.bottomLeft());
        fade.setColorAt(0, look.color);
        fade.setColorAt(1, Qt::white);
        p.fillRect(area, fade);
    }
    paintBody(p, look, body);
    p.setPen(look.selected ? QColor(Qt::red) : QColor(Qt::darkGray));
    p.drawRect(rect.adjusted(0, 0, -1, -1));
}

void PlannerItemPictures::paintBody(QPainter& p, const PlannerItemLook& look, const QRectF& body) const
{
    if (body.height() < 2 || body.width() < 2)
        return;
    const std::unique_ptr<QTextDocument> doc = document(look.text, look.font, body.width());
    p.save();
    p.translate(body.topLeft());
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = QRectF(0, 0, body.width(), body.height());
    ctx.palette.setColor(QPalette::Text, look.selected ? look.selectFontColor : QColor(Qt::black));
    p.setClipRect(ctx.clip, Qt::IntersectClip);
    doc->documentLayout()->draw(&p, ctx);
    p.restore();
}

} // namespace tarvik::widgets

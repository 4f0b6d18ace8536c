#pragma once

#include "planneritem.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointF>
#include <QSet>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QTextDocument;

namespace tarvik::widgets {

// Everything an item's box is drawn from. A picture is drawn from its look
// alone, so two equal looks give the same pixels, and a picture kept for an
// older look is never shown for a newer one.
struct PlannerItemLook
{
    QString text;
    QFont font;
    PlannerCaptionType captionType = PlannerCaptionType::None;
    QString captionText;
    // The times the caption shows, with dates when rows are days.
    QDateTime start;
    QDateTime end;
    bool dayRows = false;
    QColor captionBackground;
    QFont captionFont;
    QColor captionFontColor;
    QColor color;
    QColor trackColor;
    bool uniformBackground = true;
    bool selected = false;
    QColor selectColor;
    QColor selectFontColor;
    QSizeF size;
    // How far inside its first pixel the box begins, so that a picture
    // placed on whole pixels shows what drawing in place would.
    QPointF offset;
    qreal pixelRatio = 1;

    [[nodiscard]] bool operator==(const PlannerItemLook& other) const = default;
};

// The boxes of planner items drawn once into pictures and kept, one for
// each item, under a name that outlives a reload of the items (the row key
// of a bound item). A picture is drawn again whenever the item's look
// differs from the one it was drawn for: a new text, font, colour, size or
// selection.
class PlannerItemPictures
{
public:
    PlannerItemPictures();
    ~PlannerItemPictures();
    PlannerItemPictures(const PlannerItemPictures&) = delete;
    PlannerItemPictures& operator=(const PlannerItemPictures&) = delete;

    // Pictures the body markup shows by index ("idx:N"); forgets every
    // picture drawn with the former ones.
    void setImages(const QList<QPixmap>& images);

    // The look of `item` in `rect`; `dayRows` when the grid's rows are days.
    [[nodiscard]] static PlannerItemLook lookOf(const PlannerItem& item, const QRectF& rect, bool dayRows,
                                                qreal pixelRatio);
    // The part of a box under its caption bar that shows the body text.
    [[nodiscard]] static QRectF bodyRect(const PlannerItem& item, const QRectF& rect);
    // The body text laid out at `width`, for finding links in it.
    [[nodiscard]] std::unique_ptr<QTextDocument> document(const QString& text, const QFont& font,
                                                          qreal width) const;

    // Draws the box of item `name` at `topLeft`: its kept picture when
    // there is one for this look, else the box itself, leaving the picture
    // to prepare(), so that a first paint costs no more than drawing.
    void draw(QPainter& p, const QString& name, const PlannerItemLook& look, const QPointF& topLeft) const;
    [[nodiscard]] bool isReady(const QString& name, const PlannerItemLook& look) const;
    // Draws the picture ahead of need.
    void prepare(const QString& name, const PlannerItemLook& look);
    void forget(const QString& name);
    // Forgets the pictures of every item not named.
    void keepOnly(const QSet<QString>& names);

private:
    struct Picture
    {
        PlannerItemLook look;
        QPixmap pixmap;
    };

    [[nodiscard]] QPixmap render(const PlannerItemLook& look) const;
    void paintBox(QPainter& p, const PlannerItemLook& look, const QRectF& rect) const;
    void paintBody(QPainter& p, const PlannerItemLook& look, const QRectF& body) const;

    QList<QPixmap> m_images;
    QHash<QString, Picture> m_pictures;
};

} // namespace tarvik::widgets

#include "picturepainter.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <cmath>

namespace tarvik::widgets {

const QColor PicturePainter::accent(177, 185, 207);

namespace {

const QColor outline(60, 60, 60);

QPen pen(const QColor& color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void PicturePainter::envelope(QPainter& p, const QRectF& r, bool open)
{
    p.save();
    p.setPen(pen(outline, 1));
    if (open) {
        // The flap stands up behind the body.
        QPolygonF flap{r.bottomLeft() + QPointF(0, -r.height() * 0.6), QPointF(r.center().x(), r.top() - 2),
                       r.bottomRight() + QPointF(0, -r.height() * 0.6)};
        p.setBrush(QColor(235, 225, 190));
        p.drawPolygon(flap);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + 2, r.top(), r.width() - 4, r.height() * 0.7));
    }
    p.setBrush(QColor(250, 240, 200));
    p.drawRect(r.adjusted(0.5, open ? r.height() * 0.35 : 0.5, -0.5, -0.5));
    const qreal top = open ? r.top() + r.height() * 0.35 : r.top();
    p.drawPolyline(QPolygonF{QPointF(r.left() + 0.5, top + 0.5), QPointF(r.center().x(), r.center().y() + 2),
                             QPointF(r.right() - 0.5, top + 0.5)});
    p.restore();
}

void PicturePainter::person(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setPen(pen(color.darker(150), 0.8));
    p.setBrush(QColor(250, 215, 180));
    const qreal head = r.width() * 0.45;
    p.drawEllipse(QRectF(r.center().x() - head / 2, r.top(), head, head));
    QPainterPath body;
    const QRectF shoulders(r.left(), r.top() + head + 0.5, r.width(), (r.bottom() - r.top() - head) * 2);
    body.moveTo(shoulders.left(), r.bottom());
    body.arcTo(shoulders, 180, -180);
    body.closeSubpath();
    p.setBrush(color);
    p.drawPath(body);
    p.restore();
}

void PicturePainter::tie(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF{QPointF(r.left(), r.top()), QPointF(r.right(), r.top()),
                            QPointF(r.right(), r.bottom() - 1.5), QPointF(r.center().x(), r.bottom()),
                            QPointF(r.left(), r.bottom() - 1.5)});
    p.restore();
}

void PicturePainter::sheet(QPainter& p, const QRectF& r)
{
    p.save();
    const qreal fold = r.width() * 0.3;
    p.setPen(pen(QColor(110, 110, 110), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{r.topLeft() + QPointF(0.5, 0.5), QPointF(r.right() - fold, r.top() + 0.5),
                            QPointF(r.right() - 0.5, r.top() + fold), r.bottomRight() + QPointF(-0.5, -0.5),
                            r.bottomLeft() + QPointF(0.5, -0.5)});
    p.setPen(pen(QColor(120, 140, 200), 1));
    for (qreal y = r.top() + 4.5; y < r.bottom() - 2; y += 3)
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
    p.restore();
}

void PicturePainter::tick(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setPen(pen(color, r.width() / 5));
    p.drawPolyline(QPolygonF{QPointF(r.left() + r.width() * 0.1, r.top() + r.height() * 0.55),
                             QPointF(r.left() + r.width() * 0.4, r.bottom() - r.height() * 0.1),
                             QPointF(r.right() - r.width() * 0.05, r.top() + r.height() * 0.1)});
    p.restore();
}

void PicturePainter::bell(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setPen(pen(color.darker(170), 0.8));
    p.setBrush(color);
    QPainterPath path;
    const qreal w = r.width();
    const qreal h = r.height();
    path.moveTo(r.left(), r.top() + h * 0.8);
    path.cubicTo(r.left() + w * 0.2, r.top() + h * 0.6, r.left() + w * 0.1, r.top() + h * 0.05,
                 r.center().x(), r.top() + h * 0.05);
    path.cubicTo(r.right() - w * 0.1, r.top() + h * 0.05, r.right() - w * 0.2, r.top() + h * 0.6, r.right(),
                 r.top() + h * 0.8);
    path.closeSubpath();
    p.drawPath(path);
    p.drawEllipse(QPointF(r.center().x(), r.top() + h * 0.9), w * 0.13, w * 0.13);
    p.restore();
}

void PicturePainter::ringing(QPainter& p, const QRectF& r)
{
    p.save();
    p.setPen(pen(QColor(90, 90, 90), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(r.left(), r.top(), r.width() * 0.35, r.height()), 120 * 16, 120 * 16);
    p.drawArc(QRectF(r.right() - r.width() * 0.35, r.top(), r.width() * 0.35, r.height()), -60 * 16,
              120 * 16);
    p.restore();
}

void PicturePainter::strike(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setPen(pen(color, r.width() / 7));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
    p.restore();
}

void PicturePainter::monitor(QPainter& p, const QRectF& r)
{
    p.save();
    p.setPen(pen(outline, 1));
    p.setBrush(QColor(200, 200, 205));
    const QRectF screen(r.left() + 0.5, r.top() + 0.5, r.width() - 1, r.height() * 0.7);
    p.drawRoundedRect(screen, 1, 1);
    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0, QColor(90, 160, 230));
    glass.setColorAt(1, QColor(20, 60, 140));
    p.setBrush(glass);
    p.setPen(Qt::NoPen);
    p.drawRect(screen.adjusted(1.5, 1.5, -1.5, -1.5));
    p.setBrush(QColor(150, 150, 155));
    p.drawRect(QRectF(r.center().x() - 1.5, screen.bottom(), 3, r.height() * 0.15));
    p.drawRect(QRectF(r.left() + r.width() * 0.25, r.bottom() - 1.5, r.width() * 0.5, 1.5));
    p.restore();
}

void PicturePainter::arrow(QPainter& p, const QRectF& r, const QColor& color)
{
    p.save();
    p.setPen(pen(color, r.height() / 4));
    const QPointF tip(r.left() + 1, r.center().y());
    p.drawLine(tip, QPointF(r.right() - 1, r.center().y()));
    p.drawLine(tip, QPointF(r.left() + r.height() / 2, r.top() + 1));
    p.drawLine(tip, QPointF(r.left() + r.height() / 2, r.bottom() - 1));
    p.restore();
}

void PicturePainter::eye(QPainter& p, const QRectF& r)
{
    p.save();
    QPainterPath lids;
    lids.moveTo(r.left(), r.center().y());
    lids.quadTo(r.center().x(), r.top() - r.height() * 0.4, r.right(), r.center().y());
    lids.quadTo(r.center().x(), r.bottom() + r.height() * 0.4, r.left(), r.center().y());
    p.setPen(pen(outline, 1));
    p.setBrush(Qt::white);
    p.drawPath(lids);
    p.setBrush(QColor(50, 110, 190));
    p.drawEllipse(r.center(), r.height() * 0.38, r.height() * 0.38);
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(r.center(), r.height() * 0.15, r.height() * 0.15);
    p.restore();
}

void PicturePainter::pencil(QPainter& p, const QRectF& r)
{
    p.save();
    p.translate(r.center());
    p.rotate(-45);
    const qreal len = r.width() * 1.2;
    const qreal w = r.width() * 0.28;
    p.setPen(pen(outline, 0.8));
    p.setBrush(QColor(240, 180, 40));
    p.drawRect(QRectF(-len / 2 + w, -w / 2, len - w * 1.6, w));
    p.setBrush(QColor(230, 120, 130));
    p.drawRect(QRectF(len / 2 - w * 0.6, -w / 2, w * 0.6, w));
    p.setBrush(QColor(245, 215, 170));
    p.drawPolygon(
        QPolygonF{QPointF(-len / 2, 0), QPointF(-len / 2 + w, -w / 2), QPointF(-len / 2 + w, w / 2)});
    p.restore();
}

void PicturePainter::calendarPage(QPainter& p, const QRectF& r, const QString& label)
{
    p.save();
    p.setPen(pen(outline, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    const QRectF band(r.left() + 0.5, r.top() + 0.5, r.width() - 1, r.height() * 0.28);
    p.setBrush(QColor(200, 40, 40));
    p.drawRoundedRect(band, 2, 2);
    p.setBrush(outline);
    for (qreal x : {r.left() + r.width() * 0.28, r.right() - r.width() * 0.28})
        p.drawRect(QRectF(x - 1, r.top() - 1.5, 2, band.height() * 0.6));
    if (!label.isEmpty()) {
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(int(r.height() * 0.55));
        p.setFont(font);
        p.setPen(QColor(40, 40, 40));
        p.drawText(QRectF(r.left(), band.bottom(), r.width(), r.bottom() - band.bottom()), Qt::AlignCenter,
                   label);
    }
    p.restore();
}

void PicturePainter::calendarGrid(QPainter& p, const QRectF& r, int rows, int columns, int highlightRow)
{
    calendarPage(p, r, QString());
    p.save();
    const QRectF grid(r.left() + 2.5, r.top() + r.height() * 0.36, r.width() - 5, r.height() * 0.58);
    const qreal cw = grid.width() / columns;
    const qreal rh = grid.height() / rows;
    if (highlightRow >= 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 150, 230));
        p.drawRect(QRectF(grid.left(), grid.top() + rh * highlightRow, grid.width(), rh));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 90));
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < columns; ++col)
            p.drawRect(QRectF(grid.left() + col * cw + cw * 0.2, grid.top() + row * rh + rh * 0.2, cw * 0.6,
                              rh * 0.6));
    p.restore();
}

void PicturePainter::clock(QPainter& p, const QRectF& r)
{
    p.save();
    p.setPen(pen(QColor(30, 50, 110), r.width() / 12));
    p.setBrush(QColor(250, 250, 235));
    p.drawEllipse(r.adjusted(1, 1, -1, -1));
    p.setPen(pen(QColor(30, 30, 30), r.width() / 12));
    p.drawLine(r.center(), r.center() + QPointF(0, -r.height() * 0.3));
    p.drawLine(r.center(), r.center() + QPointF(r.width() * 0.22, r.height() * 0.08));
    p.restore();
}

void PicturePainter::checklist(QPainter& p, const QRectF& r)
{
    sheet(p, r);
    p.save();
    const qreal row = r.height() / 3.6;
    for (int i = 0; i < 3; ++i) {
        const QRectF box(r.left() + r.width() * 0.15, r.top() + row * (i + 0.4), row * 0.7, row * 0.7);
        p.setPen(pen(outline, 1));
        p.setBrush(Qt::white);
        p.drawRect(box);
        if (i < 2)
            tick(p, box.adjusted(0, -2, 3, 0), QColor(220, 0, 0));
        p.setPen(pen(QColor(60, 60, 60), 1.5));
        p.drawLine(QPointF(box.right() + 3, box.center().y()), QPointF(r.right() - 4, box.center().y()));
    }
    p.restore();
}

void PicturePainter::speechBubbles(QPainter& p, const QRectF& r)
{
    p.save();
    p.setPen(pen(outline, 1));
    auto bubble = [&p](const QRectF& b, const QColor& fill, bool tailLeft) {
        QPainterPath path;
        path.addRoundedRect(b, b.height() * 0.35, b.height() * 0.35);
        const qreal x = tailLeft ? b.left() + b.width() * 0.25 : b.right() - b.width() * 0.25;
        QPolygonF tail{QPointF(x - 3, b.bottom() - 1), QPointF(x + (tailLeft ? -4 : 4), b.bottom() + 5),
                       QPointF(x + 3, b.bottom() - 1)};
        QPainterPath t;
        t.addPolygon(tail);
        p.setBrush(fill);
        p.drawPath(path.united(t));
    };
    bubble(QRectF(r.left(), r.top(), r.width() * 0.7, r.height() * 0.45), QColor(250, 250, 250), true);
    bubble(
        QRectF(r.right() - r.width() * 0.7, r.top() + r.height() * 0.4, r.width() * 0.7, r.height() * 0.42),
        QColor(170, 210, 250), false);
    p.restore();
}

void PicturePainter::exitDoor(QPainter& p, const QRectF& r)
{
    p.save();
    p.setPen(pen(outline, 1));
    p.setBrush(QColor(150, 100, 60));
    const QRectF frame(r.left() + r.width() * 0.35, r.top() + 0.5, r.width() * 0.6, r.height() - 1);
    p.drawRect(frame);
    p.setBrush(QColor(110, 70, 40));
    p.drawPolygon(QPolygonF{
        frame.topLeft(), frame.topLeft() + QPointF(frame.width() * 0.6, frame.height() * 0.1),
        frame.bottomLeft() + QPointF(frame.width() * 0.6, -frame.height() * 0.05), frame.bottomLeft()});
    p.restore();
    arrow(p, QRectF(r.left(), r.center().y() - r.height() * 0.15, r.width() * 0.5, r.height() * 0.3),
          QColor(0, 140, 0));
}

void PicturePainter::banner(QPainter& p, const QRectF& r)
{
    p.save();
    QLinearGradient back(r.topLeft(), r.bottomRight());
    back.setColorAt(0, accent.lighter(125));
    back.setColorAt(1, accent.darker(130));
    p.fillRect(r, back);
    calendarGrid(p, QRectF(r.left() + 14, r.top() + 18, 62, 62), 5, 7, 2);
    clock(p, QRectF(r.left() + 52, r.top() + 52, 40, 40));
    QFont title = p.font();
    title.setBold(true);
    title.setPixelSize(int(r.height() * 0.34));
    p.setFont(title);
    const QRectF text(r.left() + 100, r.top() + 10, r.width() - 106, r.height() * 0.55);
    p.setPen(QColor(255, 255, 255, 160));
    p.drawText(text.translated(2, 2), Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Tarvik"));
    p.setPen(QColor(25, 40, 95));
    p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Tarvik"));
    QFont small = p.font();
    small.setBold(false);
    small.setPixelSize(int(r.height() * 0.11));
    p.setFont(small);
    p.drawText(QRectF(text.left(), text.bottom() + 4, text.width(), r.height() * 0.3),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Планирование рабочего времени"));
    p.restore();
}

void PicturePainter::progressStrip(QPainter& p, const QRect& r, int step, int last)
{
    p.fillRect(r, QColor(35, 40, 60));
    const int filled = last > 0 ? int(std::lround(double(r.width()) * step / last)) : r.width();
    if (filled <= 0)
        return;
    const QRect bar(r.left(), r.top() + 1, filled, r.height() - 2);
    QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
    fill.setColorAt(0, accent.lighter(130));
    fill.setColorAt(0.5, QColor(70, 110, 200));
    fill.setColorAt(1, QColor(30, 60, 140));
    p.fillRect(bar, fill);
    // Diagonal stripes that travel one pixel a step keep the strip alive
    // when the progress itself stands still.
    p.save();
    p.setClipRect(bar);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 60), 3));
    for (int x = r.left() - r.height() + (step % 12); x < bar.right() + r.height(); x += 12)
        p.drawLine(QPointF(x, bar.bottom() + 1), QPointF(x + bar.height(), bar.top()));
    p.restore();
}

void PicturePainter::printer(QPainter& p)
{
    p.save();
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 8, 6);
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(1, 6, 14, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 8, 5);
    p.setPen(QColor(0, 150, 0));
    p.drawPoint(12, 8);
    p.restore();
}

} // namespace tarvik::widgets

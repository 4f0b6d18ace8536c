#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace tarvik::widgets {

// The drawing of the program's pictures, shape by shape, each into the
// rectangle it is given, so that the 16-pixel list pictures, the toolbar
// pictures and the banner share one look.
class PicturePainter
{
public:
    static void envelope(QPainter& p, const QRectF& r, bool open);
    static void person(QPainter& p, const QRectF& r, const QColor& color);
    static void tie(QPainter& p, const QRectF& r, const QColor& color);
    static void sheet(QPainter& p, const QRectF& r);
    // The 16-pixel printer of the print buttons, with a sheet in it.
    static void printer(QPainter& p);
    static void tick(QPainter& p, const QRectF& r, const QColor& color);
    static void bell(QPainter& p, const QRectF& r, const QColor& color);
    static void ringing(QPainter& p, const QRectF& r);
    static void strike(QPainter& p, const QRectF& r, const QColor& color);
    static void monitor(QPainter& p, const QRectF& r);
    static void arrow(QPainter& p, const QRectF& r, const QColor& color);
    static void eye(QPainter& p, const QRectF& r);
    static void pencil(QPainter& p, const QRectF& r);
    // A tear-off calendar page; label is written big on it when not empty.
    static void calendarPage(QPainter& p, const QRectF& r, const QString& label);
    // A calendar grid of rows × columns; highlightRow (or -1) is filled.
    static void calendarGrid(QPainter& p, const QRectF& r, int rows, int columns, int highlightRow);
    static void clock(QPainter& p, const QRectF& r);
    static void checklist(QPainter& p, const QRectF& r);
    static void speechBubbles(QPainter& p, const QRectF& r);
    static void exitDoor(QPainter& p, const QRectF& r);
    static void banner(QPainter& p, const QRectF& r);
    // A progress strip at step of last, with stripes that move each step.
    static void progressStrip(QPainter& p, const QRect& r, int step, int last);

    // The accent colour of caption bars and grid titles.
    static const QColor accent;
};

} // namespace tarvik::widgets

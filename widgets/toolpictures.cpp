#include "toolpictures.h"

#include "picturepainter.h"

#include <QPixmap>

namespace tarvik::widgets {

QImage ToolPictures::image(Tool tool, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-pixel canvas and scaled, so every size looks alike.
    p.scale(size / double(Size), size / double(Size));
    const QRectF r(2, 3, 28, 27);
    switch (tool) {
    case Tool::Day:
        PicturePainter::calendarPage(p, r, QStringLiteral("1"));
        break;
    case Tool::Week:
        PicturePainter::calendarGrid(p, r, 4, 7, 1);
        break;
    case Tool::Month:
        PicturePainter::calendarGrid(p, r, 5, 7, -1);
        break;
    case Tool::Tasks:
        PicturePainter::checklist(p, QRectF(4, 1, 24, 30));
        break;
    case Tool::Mail:
        PicturePainter::envelope(p, QRectF(1, 7, 30, 19), false);
        break;
    case Tool::Chat:
        PicturePainter::speechBubbles(p, QRectF(1, 3, 30, 24));
        break;
    case Tool::Exit:
        PicturePainter::exitDoor(p, QRectF(1, 1, 30, 30));
        break;
    }
    return image;
}

QIcon ToolPictures::icon(Tool tool)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image(tool, 16)));
    icon.addPixmap(QPixmap::fromImage(image(tool, Size)));
    return icon;
}

} // namespace tarvik::widgets

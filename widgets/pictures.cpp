#include "pictures.h"

#include "picturepainter.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPixmap>

namespace tarvik::widgets {

namespace {

QImage drawn(int width, int height, void (*draw)(QPainter&))
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return image;
}

QImage icon16(void (*draw)(QPainter&))
{
    return drawn(Pictures::ImageSize, Pictures::ImageSize, draw);
}

} // namespace

const QList<QImage>& Pictures::imageList()
{
    static const QList<QImage> images{
        icon16([](QPainter& p) { PicturePainter::envelope(p, QRectF(1, 3, 14, 10), false); }),
        icon16([](QPainter& p) { PicturePainter::person(p, QRectF(2, 1, 12, 14), QColor(40, 90, 180)); }),
        icon16([](QPainter& p) {
            PicturePainter::sheet(p, QRectF(2, 1, 11, 14));
            PicturePainter::tick(p, QRectF(4, 5, 11, 10), QColor(220, 0, 0));
        }),
        icon16([](QPainter& p) { PicturePainter::sheet(p, QRectF(2, 1, 11, 14)); }),
        icon16([](QPainter& p) {
            PicturePainter::bell(p, QRectF(3, 2, 10, 12), QColor(240, 190, 30));
            PicturePainter::ringing(p, QRectF(0, 1, 16, 10));
        }),
        icon16([](QPainter& p) { PicturePainter::monitor(p, QRectF(1, 2, 14, 12)); }),
        icon16([](QPainter& p) {
            PicturePainter::person(p, QRectF(2, 1, 12, 14), QColor(60, 60, 70));
            PicturePainter::tie(p, QRectF(6.5, 9.5, 3, 6), QColor(200, 20, 20));
        }),
        icon16([](QPainter& p) {
            PicturePainter::person(p, QRectF(6, 0, 10, 12), QColor(120, 140, 170));
            PicturePainter::person(p, QRectF(0, 3, 11, 13), QColor(40, 90, 180));
        }),
        icon16([](QPainter& p) {
            PicturePainter::bell(p, QRectF(3, 2, 10, 12), QColor(170, 170, 170));
            PicturePainter::strike(p, QRectF(1.5, 1.5, 13, 13), QColor(220, 0, 0));
        }),
    };
    return images;
}

QImage Pictures::mailState(MailState state)
{
    switch (state) {
    case MailNew:
        return icon16([](QPainter& p) { PicturePainter::envelope(p, QRectF(1, 3, 14, 10), false); });
    case MailRead:
        return icon16([](QPainter& p) { PicturePainter::envelope(p, QRectF(1, 4, 14, 10), true); });
    case MailAnswered:
        return icon16([](QPainter& p) {
            PicturePainter::envelope(p, QRectF(1, 4, 14, 10), true);
            PicturePainter::arrow(p, QRectF(6, 0, 10, 8), QColor(0, 130, 0));
        });
    }
    return {};
}

QImage Pictures::eye()
{
    return icon16([](QPainter& p) { PicturePainter::eye(p, QRectF(1, 4, 14, 8)); });
}

QImage Pictures::pencil()
{
    return icon16([](QPainter& p) { PicturePainter::pencil(p, QRectF(1, 1, 14, 14)); });
}

QImage Pictures::banner()
{
    return drawn(SplashFrameWidth, 110,
                 [](QPainter& p) { PicturePainter::banner(p, QRectF(0, 0, 255, 110)); });
}

QImage Pictures::splashFrame(int frame)
{
    QImage image(SplashFrameWidth, SplashFrameHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    PicturePainter::progressStrip(p, image.rect(), std::clamp(frame, 0, SplashFrameCount - 1),
                                  SplashFrameCount - 1);
    return image;
}

QImage Pictures::programImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    PicturePainter::calendarPage(p, QRectF(1, 2, 26, 26), QString());
    PicturePainter::clock(p, QRectF(15, 15, 16, 16));
    return image;
}

namespace {

QIcon iconOf(QImage (*image)(int))
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

} // namespace

QIcon Pictures::programIcon()
{
    return iconOf(&Pictures::programImage);
}

QImage Pictures::utilityImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    PicturePainter::calendarPage(p, QRectF(1, 2, 26, 26), QString());
    PicturePainter::person(p, QRectF(15, 14, 15, 17), QColor(40, 90, 180));
    PicturePainter::strike(p, QRectF(15.5, 15.5, 14, 14), QColor(220, 0, 0));
    return image;
}

QIcon Pictures::utilityIcon()
{
    return iconOf(&Pictures::utilityImage);
}

} // namespace tarvik::widgets

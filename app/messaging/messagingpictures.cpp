#include "messagingpictures.h"

#include "picturepainter.h"
#include "pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

namespace tarvik::messaging {

namespace {

void drawArrow(QPainter& p, const QColor& color)
{
    p.setPen(QPen(color, 2));
    p.drawLine(9, 12, 14, 12);
    p.drawLine(9, 12, 11, 10);
    p.drawLine(9, 12, 11, 14);
}

} // namespace

QIcon MessagingPictures::icon(Tool tool)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    using widgets::Pictures;
    switch (tool) {
    case Tool::NewLetter:
        p.drawImage(0, 0, Pictures::mailState(Pictures::MailNew));
        p.setPen(QPen(QColor(0, 140, 0), 2));
        p.drawLine(12, 0, 12, 6);
        p.drawLine(9, 3, 15, 3);
        break;
    case Tool::Open:
        p.drawImage(0, 0, Pictures::mailState(Pictures::MailRead));
        break;
    case Tool::Delete:
        p.drawImage(0, 0, Pictures::mailState(Pictures::MailNew));
        p.setPen(QPen(QColor(200, 0, 0), 2));
        p.drawLine(8, 8, 14, 14);
        p.drawLine(14, 8, 8, 14);
        break;
    case Tool::Reply:
        p.drawImage(0, 0, Pictures::mailState(Pictures::MailAnswered));
        break;
    case Tool::Print:
        widgets::PicturePainter::printer(p);
        break;
    case Tool::Find:
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(40, 40, 40), 2));
        p.setBrush(QColor(200, 225, 255));
        p.drawEllipse(QRectF(1.5, 1.5, 8, 8));
        p.setPen(QPen(QColor(120, 80, 40), 3));
        p.drawLine(9, 9, 14, 14);
        break;
    case Tool::Clear:
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(2, 1, 10, 13);
        drawArrow(p, QColor(200, 0, 0));
        break;
    case Tool::Palette:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::red);
        p.drawRect(1, 1, 6, 6);
        p.setBrush(QColor(0, 160, 0));
        p.drawRect(8, 1, 6, 6);
        p.setBrush(Qt::blue);
        p.drawRect(1, 8, 6, 6);
        p.setBrush(QColor(230, 200, 0));
        p.drawRect(8, 8, 6, 6);
        break;
    }
    return QIcon(pixmap);
}

QToolButton* MessagingPictures::toolButton(QWidget* parent, const QString& name, const QString& hint,
                                           Tool tool)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(icon(tool));
    button->setAutoRaise(true);
    return button;
}

} // namespace tarvik::messaging

#include "tfmload.h"

#include "pictures.h"
#include "screencentre.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace tarvik::startup {

using widgets::Pictures;

TfmLoad::TfmLoad(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fmLoad"));
    setWindowTitle(QStringLiteral("Загрузка..."));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* banner = new QLabel(this);
    banner->setPixmap(QPixmap::fromImage(Pictures::banner()));
    m_strip = new QLabel(this);
    m_strip->setObjectName(QStringLiteral("Animate"));
    m_strip->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(banner);
    layout->addWidget(m_strip);
    showFrame(0);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &TfmLoad::tick);
}

void TfmLoad::showEvent(QShowEvent* event)
{
    adjustSize();
    widgets::centreOnScreen(this);
    QWidget::showEvent(event);
}

void TfmLoad::showFrame(int frame)
{
    m_frame = frame;
    m_strip->setPixmap(QPixmap::fromImage(Pictures::splashFrame(frame)));
}

void TfmLoad::tick()
{
    if (m_frame <= Pictures::SplashFrameCount - 2) {
        showFrame(m_frame + 1);
    } else if (m_looping) {
        showFrame(1);
    } else {
        m_timer.stop();
        close();
    }
}

} // namespace tarvik::startup

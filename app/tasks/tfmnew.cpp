#include "tfmnew.h"

#include "markuplabel.h"
#include "pictures.h"

#include <QGraphicsDropShadowEffect>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

namespace tarvik::tasks {

TfmNew::TfmNew(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_lbText(new widgets::MarkupLabel(this))
{
    setObjectName(QStringLiteral("fmNew"));
    // The notice comes also while the main window sits in the tray; its
    // closing must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kWidth, kHeight);
    m_lbText->setObjectName(QStringLiteral("lbText"));
    m_lbText->setGeometry(12, kHeight / 3, kWidth - 24, kHeight - kHeight / 3 - 8);
    m_lbText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lbText->setWordWrap(true);
    m_lbText->setAttribute(Qt::WA_TranslucentBackground);
    auto* shadow = new QGraphicsDropShadowEffect(m_lbText);
    shadow->setColor(Qt::gray);
    shadow->setOffset(2, 2);
    shadow->setBlurRadius(0);
    m_lbText->setGraphicsEffect(shadow);

    m_timer.setObjectName(QStringLiteral("Timer"));
    m_timer.setInterval(kShowTime);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TfmNew::TimerTimer);
}

void TfmNew::showNotice(const QStringList& lines)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        move(area.x() + area.width() - width(), area.y() + area.height() - height());
    }
    m_lines = lines;
    m_lbText->setMarkup(lines.join(QString()));
    show();
    raise();
}

void TfmNew::startTimer()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void TfmNew::TimerTimer()
{
    close();
}

bool TfmNew::event(QEvent* event)
{
    // The time runs from activation; a window manager that never activates
    // the notice (focus kept by the main window) must not leave it for good,
    // so being shown starts it as well.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        startTimer();
    return QWidget::event(event);
}

void TfmNew::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QWidget::hideEvent(event);
}

void TfmNew::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(177, 185, 207));
    sky.setColorAt(1, Qt::white);
    p.fillRect(rect(), sky);
    p.setPen(QColor(120, 128, 150));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QImage logo = widgets::Pictures::programImage(48);
    p.drawImage(12, 12, logo);
    QFont title = font();
    title.setBold(true);
    title.setPointSize(14);
    p.setFont(title);
    p.setPen(QColor(40, 50, 90));
    p.drawText(QRect(72, 12, width() - 84, 48), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Tarvik"));
}

} // namespace tarvik::tasks

#include "markupstatusbar.h"

#include "markupconverter.h"
#include "markuprenderer.h"
#include "markupstatusbaraccessible.h"
#include "platform.h"

#include <QHelpEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QToolTip>

namespace tarvik::widgets {

namespace {
// Between a panel's edge and its text.
constexpr int TextMargin = 3;
} // namespace

MarkupStatusBar::MarkupStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    m_clock.setInterval(1000);
    connect(&m_clock, &QTimer::timeout, this, &MarkupStatusBar::showClock);
    MarkupStatusBarAccessible::install();
}

int MarkupStatusBar::addPanel(int width, Qt::Alignment alignment, bool rich)
{
    m_panels.append({width, alignment, rich, QString()});
    update();
    return panelCount() - 1;
}

void MarkupStatusBar::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= panelCount() || m_panels[panel].text == text)
        return;
    m_panels[panel].text = text;
    update(panelRect(panel));
    // The clock changes every second: a reader asks for it when it wants it.
    if (panel != m_clockPanel)
        MarkupStatusBarAccessible::panelChanged(this, panel);
}

QString MarkupStatusBar::panelText(int panel) const
{
    return m_panels.value(panel).text;
}

void MarkupStatusBar::setPanelWidth(int panel, int width)
{
    if (panel < 0 || panel >= panelCount())
        return;
    m_panels[panel].width = std::max(0, width);
    update();
}

int MarkupStatusBar::panelWidth(int panel) const
{
    return m_panels.value(panel).width;
}

Qt::Alignment MarkupStatusBar::panelAlignment(int panel) const
{
    return m_panels.value(panel).alignment;
}

QRect MarkupStatusBar::panelRect(int panel) const
{
    if (panel < 0 || panel >= panelCount())
        return {};
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += m_panels[i].width;
    return {left, 0, m_panels[panel].width, height()};
}

QRect MarkupStatusBar::contentRect(int panel) const
{
    return panelRect(panel).adjusted(TextMargin, 1, -TextMargin, -1);
}

int MarkupStatusBar::panelAt(const QPoint& point) const
{
    for (int i = 0; i < panelCount(); ++i)
        if (panelRect(i).contains(point))
            return i;
    return -1;
}

void MarkupStatusBar::setClockPanel(int panel, const QString& format)
{
    m_clockPanel = panel;
    m_clockFormat = format;
    showClock();
    m_clock.start();
}

void MarkupStatusBar::showClock()
{
    setPanelText(m_clockPanel, QLocale().toString(tarvik::platform().now(), m_clockFormat));
}

QSize MarkupStatusBar::sizeHint() const
{
    int width = 0;
    for (const Panel& p : m_panels)
        width += p.width;
    return {width, fontMetrics().height() + 8};
}

QSize MarkupStatusBar::minimumSizeHint() const
{
    return {0, sizeHint().height()};
}

QString MarkupStatusBar::cutText(int panel) const
{
    if (panel < 0 || panel >= panelCount())
        return {};
    const Panel& p = m_panels[panel];
    const QRect content = contentRect(panel);
    if (!p.rich)
        return fontMetrics().horizontalAdvance(p.text) > content.width() ? p.text : QString();
    if (MarkupRenderer(p.text, font(), content).fits())
        return {};
    return MarkupConverter::standard().toPlainText(p.text).trimmed();
}

bool MarkupStatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int panel = panelAt(help->pos());
        const QString text = cutText(panel);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this, panelRect(panel));
        return true;
    }
    return QStatusBar::event(event);
}

void MarkupStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor textColor = palette().color(QPalette::WindowText);
    for (int i = 0; i < panelCount(); ++i) {
        const Panel& panel = m_panels[i];
        QStyleOption frame;
        frame.initFrom(this);
        frame.rect = panelRect(i).adjusted(0, 0, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, this);
        const QRect content = contentRect(i);
        const Qt::Alignment alignment = (panel.alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
        if (panel.rich) {
            MarkupRenderer(panel.text, font(), content, alignment).paint(painter, textColor);
        } else {
            painter.save();
            painter.setClipRect(content);
            painter.setPen(textColor);
            painter.drawText(content, int(alignment),
                             fontMetrics().elidedText(panel.text, Qt::ElideRight, content.width()));
            painter.restore();
        }
    }
}

void MarkupStatusBar::mouseReleaseEvent(QMouseEvent* event)
{
    QStatusBar::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    const int panel = panelAt(pos);
    if (panel < 0 || !m_panels[panel].rich || event->button() != Qt::LeftButton)
        return;
    const Qt::Alignment alignment = (m_panels[panel].alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    const QString href =
        MarkupRenderer(m_panels[panel].text, font(), contentRect(panel), alignment).anchorAt(pos);
    if (!href.isEmpty())
        emit linkClicked(panel, href);
}

} // namespace tarvik::widgets

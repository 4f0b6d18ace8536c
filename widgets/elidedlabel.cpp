#include "elidedlabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace tarvik::widgets {

namespace {
// Characters of an average width the label asks room for at most.
constexpr int kWidest = 40;
} // namespace

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

QSize ElidedLabel::sizeHint() const
{
    QSize hint = QLabel::sizeHint();
    hint.setWidth(std::min(hint.width(), fontMetrics().averageCharWidth() * kWidest + 2 * margin()));
    return hint;
}

QSize ElidedLabel::minimumSizeHint() const
{
    QSize hint = QLabel::minimumSizeHint();
    hint.setWidth(std::min(hint.width(), fontMetrics().averageCharWidth() * kWidest + 2 * margin()));
    return hint;
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width() - 2 * margin());
}

bool ElidedLabel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (shownText() != text())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shownText(),
                          foregroundRole());
}

} // namespace tarvik::widgets

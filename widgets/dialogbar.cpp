#include "dialogbar.h"

#include <QAction>
#include <QDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

namespace tarvik::widgets {

namespace {

enum class Mark
{
    Help,
    Ok,
    Cancel
};

// The bar's 16×16 pictures: a question mark, a tick and a cross.
QIcon markIcon(Mark mark)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (mark) {
    case Mark::Help: {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 200));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(12);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Mark::Ok: {
        QPainterPath tick;
        tick.moveTo(2.5, 8.5);
        tick.lineTo(6.5, 12.5);
        tick.lineTo(13.5, 3.5);
        p.setPen(QPen(QColor(0, 140, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tick);
        break;
    }
    case Mark::Cancel:
        p.setPen(QPen(QColor(200, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    }
    return QIcon(pixmap);
}

QToolButton* toolButton(QWidget* parent, const QString& name, const QString& hint, const QIcon& icon)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setIcon(icon);
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    return b;
}

} // namespace

DialogBar::DialogBar(QDialog* dialog, bool withHelp) : QWidget(dialog)
{
    setObjectName(QStringLiteral("pnDialogBar"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(1);
    row->addStretch(1);
    if (withHelp) {
        m_help = toolButton(this, QStringLiteral("sbHelp"), QStringLiteral("Справка"), markIcon(Mark::Help));
        row->addWidget(m_help);
        connect(m_help, &QToolButton::clicked, this, &DialogBar::helpClicked);
    }
    m_ok = toolButton(this, QStringLiteral("sbOK"), QStringLiteral("ОК"), markIcon(Mark::Ok));
    m_cancel = toolButton(this, QStringLiteral("sbCancel"), QStringLiteral("Отмена"), markIcon(Mark::Cancel));
    row->addWidget(m_ok);
    row->addWidget(m_cancel);
    connect(m_ok, &QToolButton::clicked, this, &DialogBar::okClicked);
    connect(m_cancel, &QToolButton::clicked, this, &DialogBar::cancelClicked);

    // The invisible default button: Enter anywhere in the dialog acts as OK.
    m_default = new QPushButton(this);
    m_default->setObjectName(QStringLiteral("btOk"));
    m_default->setVisible(false);
    connect(m_default, &QPushButton::clicked, this, [this] {
        if (m_ok->isEnabled())
            emit okClicked();
    });
    auto* enter = new QAction(dialog);
    enter->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    enter->setShortcutContext(Qt::WindowShortcut);
    connect(enter, &QAction::triggered, m_default, &QPushButton::click);
    dialog->addAction(enter);
    auto* escape = new QAction(dialog);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    connect(escape, &QAction::triggered, m_cancel, &QToolButton::click);
    dialog->addAction(escape);
}

QToolButton* DialogBar::addLeftButton(const QString& name, const QString& hint, const QIcon& icon)
{
    auto* b = toolButton(this, name, hint, icon);
    static_cast<QHBoxLayout*>(layout())->insertWidget(layout()->count() - 1 - (m_help ? 3 : 2), b);
    return b;
}

} // namespace tarvik::widgets

#include "datepicker.h"

#include "plannercalendar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::widgets {

DatePicker::DatePicker(QWidget* parent)
    : QWidget(parent), m_text(new QLineEdit(this)), m_drop(new QToolButton(this)),
      m_popup(new QFrame(this, Qt::Popup)), m_calendar(new PlannerCalendar(m_popup))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_text->setReadOnly(true);
    setFocusProxy(m_text);
    m_text->setMaxLength(10);
    m_text->setFixedWidth(m_text->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 8);
    m_drop->setObjectName(QStringLiteral("sbCalendar"));
    m_drop->setArrowType(Qt::DownArrow);
    m_drop->setToolTip(QStringLiteral("Выбрать дату"));
    m_drop->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_text);
    layout->addWidget(m_drop);
    m_popup->setFrameShape(QFrame::Box);
    auto* popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(1, 1, 1, 1);
    popupLayout->addWidget(m_calendar);
    m_calendar->setShortMonthTitle(true);
    connect(m_drop, &QToolButton::clicked, this, &DatePicker::showCalendar);
    connect(m_calendar, &PlannerCalendar::daySelected, this, &DatePicker::daySelected);
    setDate(QDate::currentDate());
}

void DatePicker::setDate(QDate date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    m_text->setText(date.toString(QStringLiteral("dd.MM.yyyy")));
    emit dateChanged(date);
}

QString DatePicker::text() const
{
    return m_text->text();
}

void DatePicker::showCalendar()
{
    if (!isEnabled())
        return;
    m_calendar->setDate(m_date);
    m_popup->resize(m_calendar->sizeHint() + QSize(2, 2));
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F4 ||
        (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)))
        showCalendar();
    else
        QWidget::keyPressEvent(event);
}

bool DatePicker::isCalendarShown() const
{
    return m_popup->isVisible();
}

void DatePicker::daySelected(QDate day)
{
    m_popup->hide();
    setDate(day);
}

} // namespace tarvik::widgets

#include "plannercalendar.h"

#include "plannercalendaraccessible.h"
#include "plannergridaccessible.h"
#include "platform.h"
#include "query.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace tarvik::widgets {

namespace {

const QColor kAccent(177, 185, 207);

} // namespace

PlannerCalendar::PlannerCalendar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DBPlannerCalendar"));
    setMinimumSize(180, 150);
    // Reached by Tab, so that a click on a day leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    installPlannerAccessibility();
}

void PlannerCalendar::setQuery(db::Query* query, const QString& startField, const QString& endField)
{
    for (const auto& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_query = query;
    m_startField = startField;
    m_endField = endField;
    if (query) {
        m_connections << connect(query, &db::Query::opened, this, &PlannerCalendar::refreshMarks)
                      << connect(query, &db::Query::closed, this, &PlannerCalendar::refreshMarks)
                      << connect(query, &db::Query::rowChanged, this, &PlannerCalendar::refreshMarks)
                      << connect(query, &db::Query::rowInserted, this, &PlannerCalendar::refreshMarks)
                      << connect(query, &db::Query::rowRemoved, this, &PlannerCalendar::refreshMarks)
                      << connect(query, &db::Query::rowsMerged, this, &PlannerCalendar::refreshMarks);
    }
    refreshMarks();
}

void PlannerCalendar::setDate(QDate date)
{
    if (!date.isValid())
        return;
    const bool otherMonth = date.year() != m_date.year() || date.month() != m_date.month();
    m_date = date;
    update();
    PlannerCalendarAccessible::dateChanged(this, otherMonth);
}

void PlannerCalendar::setMarksEnabled(bool enabled)
{
    m_marksEnabled = enabled;
    refreshMarks();
}

void PlannerCalendar::refreshMarks()
{
    m_marks.clear();
    if (m_marksEnabled && m_query && m_query->isOpen()) {
        const int start = m_query->columnIndex(m_startField);
        const int end = m_query->columnIndex(m_endField);
        for (int row = 0; start >= 0 && end >= 0 && row < m_query->recordCount(); ++row)
            m_marks.addSpan(m_query->dateTimeAt(row, start), m_query->dateTimeAt(row, end));
    }
    update();
}

QString PlannerCalendar::monthName(int month)
{
    static const char16_t* const names[] = {u"Январь",   u"Февраль", u"Март",   u"Апрель",
                                            u"Май",      u"Июнь",    u"Июль",   u"Август",
                                            u"Сентябрь", u"Октябрь", u"Ноябрь", u"Декабрь"};
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}

QString PlannerCalendar::shortMonthName(int month)
{
    static const char16_t* const names[] = {u"янв", u"фев", u"мар", u"апр", u"май", u"июн",
                                            u"июл", u"авг", u"сен", u"окт", u"ноя", u"дек"};
    return month >= 1 && month <= 12 ? QString::fromUtf16(names[month - 1]) : QString();
}

void PlannerCalendar::setShortMonthTitle(bool shortTitle)
{
    m_shortMonthTitle = shortTitle;
    update();
}

QString PlannerCalendar::weekdayName(Qt::DayOfWeek day)
{
    static const char16_t* const names[] = {u"Пн", u"Вт", u"Ср", u"Чт", u"Пт", u"Сб", u"Вс"};
    return QString::fromUtf16(names[(int(day) + 6) % 7]);
}

QString PlannerCalendar::title() const
{
    return (m_shortMonthTitle ? shortMonthName(m_date.month()) : monthName(m_date.month())) +
           QLatin1Char(' ') + QString::number(m_date.year());
}

QSize PlannerCalendar::sizeHint() const
{
    return {220, 180};
}

QSizeF PlannerCalendar::cellSize() const
{
    return {width() / 7.0, (height() - kTitleHeight - kWeekdayHeight) / 6.0};
}

// Days of the previous month before the 1st in its Monday-first week.
int PlannerCalendar::leadingBlanks() const
{
    return QDate(m_date.year(), m_date.month(), 1).dayOfWeek() - 1;
}

QRect PlannerCalendar::dayRect(QDate day) const
{
    if (day.year() != m_date.year() || day.month() != m_date.month())
        return {};
    const int index = leadingBlanks() + day.day() - 1;
    const QSizeF cell = cellSize();
    return QRectF(index % 7 * cell.width(), kTitleHeight + kWeekdayHeight + index / 7 * cell.height(),
                  cell.width(), cell.height())
        .toRect();
}

QRect PlannerCalendar::previousMonthRect() const
{
    return {0, 0, kTitleHeight, kTitleHeight};
}

QRect PlannerCalendar::nextMonthRect() const
{
    return {width() - kTitleHeight, 0, kTitleHeight, kTitleHeight};
}

void PlannerCalendar::stepMonth(int months)
{
    m_date = m_date.addMonths(months);
    update();
    PlannerCalendarAccessible::dateChanged(this, true);
    emit monthChanged(m_date);
}

void PlannerCalendar::stepDays(int days)
{
    const QDate to = m_date.addDays(days);
    if (to.month() != m_date.month() || to.year() != m_date.year()) {
        m_date = to;
        update();
        PlannerCalendarAccessible::dateChanged(this, true);
        emit monthChanged(m_date);
        return;
    }
    m_date = to;
    update();
    PlannerCalendarAccessible::dateChanged(this, false);
}

void PlannerCalendar::keyPressEvent(QKeyEvent* event)
{
    if (!isEnabled() || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
        stepDays(-1);
        break;
    case Qt::Key_Right:
        stepDays(1);
        break;
    case Qt::Key_Up:
        stepDays(-7);
        break;
    case Qt::Key_Down:
        stepDays(7);
        break;
    case Qt::Key_PageUp:
        stepMonth(-1);
        break;
    case Qt::Key_PageDown:
        stepMonth(1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        chooseDay(m_date);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PlannerCalendar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPoint pos = event->position().toPoint();
    if (previousMonthRect().contains(pos)) {
        stepMonth(-1);
        return;
    }
    if (nextMonthRect().contains(pos)) {
        stepMonth(1);
        return;
    }
    const QDate first(m_date.year(), m_date.month(), 1);
    for (QDate d = first; d.month() == first.month(); d = d.addDays(1)) {
        if (dayRect(d).contains(pos)) {
            chooseDay(d);
            return;
        }
    }
}

void PlannerCalendar::chooseDay(QDate day)
{
    m_date = day;
    update();
    PlannerCalendarAccessible::dateChanged(this, false);
    emit daySelected(day);
}

void PlannerCalendar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), isEnabled() ? palette().base() : palette().window());
    paintTitle(p);
    paintWeekdays(p);
    const QDate first(m_date.year(), m_date.month(), 1);
    for (QDate d = first; d.month() == first.month(); d = d.addDays(1))
        paintDay(p, d);
}

void PlannerCalendar::paintTitle(QPainter& p) const
{
    p.fillRect(QRect(0, 0, width(), kTitleHeight), kAccent);
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, width(), kTitleHeight), Qt::AlignCenter, title());
    p.drawText(previousMonthRect(), Qt::AlignCenter, QStringLiteral("<"));
    p.drawText(nextMonthRect(), Qt::AlignCenter, QStringLiteral(">"));
    p.setFont(font());
}

void PlannerCalendar::paintWeekdays(QPainter& p) const
{
    const double w = width() / 7.0;
    for (int i = 0; i < 7; ++i) {
        p.setPen(i >= 5 ? Qt::red : palette().color(QPalette::Text));
        p.drawText(QRectF(i * w, kTitleHeight, w, kWeekdayHeight), Qt::AlignCenter,
                   weekdayName(Qt::DayOfWeek(i + 1)));
    }
}

void PlannerCalendar::paintDay(QPainter& p, QDate day) const
{
    const QRect r = dayRect(day);
    if (isMarked(day))
        p.fillRect(r.adjusted(1, 1, -1, -1), kAccent);
    if (day == m_date)
        p.fillRect(r.adjusted(3, 3, -3, -3), palette().highlight());
    const bool weekend = day.dayOfWeek() >= Qt::Saturday;
    // Today by the program's clock, as everything else reads it.
    const bool today = day == platform().now().date();
    QFont f = font();
    f.setBold(today);
    p.setFont(f);
    p.setPen(day == m_date ? palette().color(QPalette::HighlightedText)
                           : (weekend ? QColor(Qt::red) : palette().color(QPalette::Text)));
    p.drawText(r, Qt::AlignCenter, QString::number(day.day()));
    if (today) {
        p.setPen(QPen(Qt::red, 1));
        p.drawRect(r.adjusted(1, 1, -2, -2));
    }
}

} // namespace tarvik::widgets

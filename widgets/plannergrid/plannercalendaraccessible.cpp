#include "plannercalendaraccessible.h"

#include "plannercalendar.h"
#include "plannercalendaraccessible_p.h"
#include "platform.h"

namespace tarvik::widgets {

namespace {

constexpr int kHeaders = PlannerCalendarAccessible::kDays;
constexpr int kFirstCell = PlannerCalendarAccessible::kButtons + kHeaders;
constexpr int kCells = PlannerCalendarAccessible::kWeeks * PlannerCalendarAccessible::kDays;

} // namespace

QAccessibleInterface* plannerCalendarAccessible(const QString& key, QObject* object)
{
    if (key == QLatin1String(PlannerCalendar::staticMetaObject.className()))
        if (auto* calendar = qobject_cast<PlannerCalendar*>(object))
            return new PlannerCalendarAccessible(calendar);
    return nullptr;
}

PlannerCalendarAccessible::PlannerCalendarAccessible(PlannerCalendar* calendar)
    : AccessibleTable(calendar, QAccessible::Table)
{}

PlannerCalendarAccessible::~PlannerCalendarAccessible()
{
    for (QAccessible::Id id : std::as_const(m_children))
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

PlannerCalendar* PlannerCalendarAccessible::calendar() const
{
    return static_cast<PlannerCalendar*>(widget());
}

void* PlannerCalendarAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PlannerCalendarAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Name && calendar() && calendar()->accessibleName().isEmpty())
        return calendar()->title();
    return QAccessibleWidget::text(type);
}

int PlannerCalendarAccessible::childCount() const
{
    return calendar() ? kFirstCell + kCells : 0;
}

QAccessibleInterface* PlannerCalendarAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (m_children.isEmpty())
        m_children.resize(childCount());
    if (QAccessibleInterface* made = QAccessible::accessibleInterface(m_children.at(index)))
        return made;
    auto* part = new PlannerCalendarPartAccessible(const_cast<PlannerCalendarAccessible*>(this), index);
    m_children[index] = QAccessible::registerAccessibleInterface(part);
    return part;
}

int PlannerCalendarAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* part = dynamic_cast<const PlannerCalendarPartAccessible*>(child);
    return part && part->parent() == this ? part->index() : -1;
}

QAccessibleInterface* PlannerCalendarAccessible::childAt(int x, int y) const
{
    const PlannerCalendar* c = calendar();
    if (!c)
        return nullptr;
    const QPoint pos = c->mapFromGlobal(QPoint(x, y));
    if (c->previousMonthRect().contains(pos))
        return child(0);
    if (c->nextMonthRect().contains(pos))
        return child(1);
    if (!c->rect().contains(pos) || pos.y() < PlannerCalendar::kTitleHeight)
        return nullptr;
    const int column = qBound(0, int(pos.x() / (c->width() / double(kDays))), kDays - 1);
    if (pos.y() < PlannerCalendar::kTitleHeight + PlannerCalendar::kWeekdayHeight)
        return child(kButtons + column);
    const QSizeF cell = c->cellSize();
    const int row =
        int((pos.y() - PlannerCalendar::kTitleHeight - PlannerCalendar::kWeekdayHeight) / cell.height());
    return cellAt(qBound(0, row, kWeeks - 1), column);
}

QAccessibleInterface* PlannerCalendarAccessible::focusChild() const
{
    const PlannerCalendar* c = calendar();
    if (!c || !c->hasFocus())
        return nullptr;
    const int index = c->leadingBlanks() + c->date().day() - 1;
    return cellAt(index / kDays, index % kDays);
}

QAccessibleInterface* PlannerCalendarAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= kWeeks || column < 0 || column >= kDays)
        return nullptr;
    return child(kFirstCell + row * kDays + column);
}

int PlannerCalendarAccessible::selectedCellCount() const
{
    return calendar() ? 1 : 0;
}

QList<QAccessibleInterface*> PlannerCalendarAccessible::selectedCells() const
{
    const PlannerCalendar* c = calendar();
    if (!c)
        return {};
    const int index = c->leadingBlanks() + c->date().day() - 1;
    return {cellAt(index / kDays, index % kDays)};
}

QString PlannerCalendarAccessible::columnDescription(int column) const
{
    return PlannerCalendar::weekdayName(Qt::DayOfWeek(column + 1));
}

QDate PlannerCalendarAccessible::dayAt(int row, int column) const
{
    const PlannerCalendar* c = calendar();
    if (!c)
        return {};
    const QDate date = c->date();
    const int day = row * kDays + column - c->leadingBlanks() + 1;
    if (day < 1 || day > date.daysInMonth())
        return {};
    return QDate(date.year(), date.month(), day);
}

QRect PlannerCalendarAccessible::cellRect(int row, int column) const
{
    const PlannerCalendar* c = calendar();
    if (!c)
        return {};
    const QSizeF cell = c->cellSize();
    const QRectF r(column * cell.width(),
                   PlannerCalendar::kTitleHeight + PlannerCalendar::kWeekdayHeight + row * cell.height(),
                   cell.width(), cell.height());
    return toGlobal(r.toRect());
}

QRect PlannerCalendarAccessible::toGlobal(const QRect& local) const
{
    const PlannerCalendar* c = calendar();
    return c ? QRect(c->mapToGlobal(local.topLeft()), local.size()) : QRect();
}

void PlannerCalendarAccessible::chooseDay(QDate day)
{
    PlannerCalendar* c = calendar();
    if (c && c->isEnabled() && day.isValid())
        c->chooseDay(day);
}

void PlannerCalendarAccessible::stepMonth(int months)
{
    PlannerCalendar* c = calendar();
    if (c && c->isEnabled())
        c->stepMonth(months);
}

void PlannerCalendarAccessible::dateChanged(PlannerCalendar* calendar, bool monthChanged)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(calendar);
    if (monthChanged) {
        QAccessibleTableModelChangeEvent reset(calendar, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
        QAccessibleEvent named(calendar, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    auto* table = iface ? iface->tableInterface() : nullptr;
    const QList<QAccessibleInterface*> cells =
        table ? table->selectedCells() : QList<QAccessibleInterface*>();
    if (cells.isEmpty() || !cells.first())
        return;
    QAccessibleEvent selected(cells.first(), QAccessible::Selection);
    QAccessible::updateAccessibility(&selected);
    if (calendar->hasFocus()) {
        QAccessibleEvent focused(cells.first(), QAccessible::Focus);
        QAccessible::updateAccessibility(&focused);
    }
}

// Children.

PlannerCalendarPartAccessible::PlannerCalendarPartAccessible(PlannerCalendarAccessible* calendar, int index)
    : m_calendar(calendar), m_index(index)
{}

PlannerCalendarPartAccessible::Kind PlannerCalendarPartAccessible::kind() const
{
    if (m_index < PlannerCalendarAccessible::kButtons)
        return Kind::Button;
    return m_index < kFirstCell ? Kind::Header : Kind::Day;
}

int PlannerCalendarPartAccessible::offset() const
{
    return kind() == Kind::Header ? m_index - PlannerCalendarAccessible::kButtons : m_index - kFirstCell;
}

QDate PlannerCalendarPartAccessible::day() const
{
    return kind() == Kind::Day ? m_calendar->dayAt(rowIndex(), columnIndex()) : QDate();
}

bool PlannerCalendarPartAccessible::isValid() const
{
    return m_calendar->calendar() != nullptr;
}

QAccessibleInterface* PlannerCalendarPartAccessible::parent() const
{
    return m_calendar;
}

QAccessibleInterface* PlannerCalendarPartAccessible::table() const
{
    return m_calendar;
}

int PlannerCalendarPartAccessible::columnIndex() const
{
    return kind() == Kind::Button ? -1 : offset() % PlannerCalendarAccessible::kDays;
}

int PlannerCalendarPartAccessible::rowIndex() const
{
    return kind() == Kind::Day ? offset() / PlannerCalendarAccessible::kDays : -1;
}

// A day reads as its date and weekday; its description says whether it
// holds events and whether it is today.
QString PlannerCalendarPartAccessible::text(QAccessible::Text type) const
{
    if (!isValid())
        return {};
    switch (kind()) {
    case Kind::Button:
        if (type != QAccessible::Name)
            return {};
        return m_index == 0 ? QStringLiteral("Предыдущий месяц") : QStringLiteral("Следующий месяц");
    case Kind::Header:
        return type == QAccessible::Name ? PlannerCalendar::weekdayName(Qt::DayOfWeek(offset() + 1))
                                         : QString();
    case Kind::Day:
        break;
    }
    const QDate d = day();
    if (!d.isValid())
        return {};
    if (type == QAccessible::Name)
        return d.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(", ") +
               PlannerCalendar::weekdayName(Qt::DayOfWeek(d.dayOfWeek()));
    if (type != QAccessible::Description)
        return {};
    QStringList notes;
    if (m_calendar->calendar()->isMarked(d))
        notes << QStringLiteral("есть задания");
    if (d == platform().now().date())
        notes << QStringLiteral("сегодня");
    return notes.join(QStringLiteral(", "));
}

QRect PlannerCalendarPartAccessible::rect() const
{
    const PlannerCalendar* c = m_calendar->calendar();
    if (!c)
        return {};
    QRect local;
    switch (kind()) {
    case Kind::Button:
        local = m_index == 0 ? c->previousMonthRect() : c->nextMonthRect();
        break;
    case Kind::Header: {
        const double w = c->width() / double(PlannerCalendarAccessible::kDays);
        local =
            QRectF(offset() * w, PlannerCalendar::kTitleHeight, w, PlannerCalendar::kWeekdayHeight).toRect();
        break;
    }
    case Kind::Day:
        return m_calendar->cellRect(rowIndex(), columnIndex());
    }
    return QRect(c->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::Role PlannerCalendarPartAccessible::role() const
{
    switch (kind()) {
    case Kind::Button:
        return QAccessible::Button;
    case Kind::Header:
        return QAccessible::ColumnHeader;
    case Kind::Day:
        break;
    }
    return QAccessible::Cell;
}

QAccessible::State PlannerCalendarPartAccessible::state() const
{
    QAccessible::State s;
    const PlannerCalendar* c = m_calendar->calendar();
    if (!c) {
        s.invalid = true;
        return s;
    }
    s.invisible = !c->isVisible();
    s.disabled = !c->isEnabled();
    if (kind() == Kind::Day && day().isValid()) {
        s.selectable = true;
        s.focusable = true;
        s.selected = isSelected();
        s.focused = s.selected && c->hasFocus();
    }
    return s;
}

void* PlannerCalendarPartAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TableCellInterface && kind() != Kind::Button)
        return static_cast<QAccessibleTableCellInterface*>(this);
    if (type == QAccessible::ActionInterface && kind() != Kind::Header)
        return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
}

bool PlannerCalendarPartAccessible::isSelected() const
{
    const QDate d = day();
    return d.isValid() && d == m_calendar->calendar()->date();
}

QList<QAccessibleInterface*> PlannerCalendarPartAccessible::columnHeaderCells() const
{
    if (kind() != Kind::Day)
        return {};
    return {m_calendar->child(PlannerCalendarAccessible::kButtons + columnIndex())};
}

QStringList PlannerCalendarPartAccessible::actionNames() const
{
    if (kind() == Kind::Day && !day().isValid())
        return {};
    return {pressAction()};
}

void PlannerCalendarPartAccessible::doAction(const QString& actionName)
{
    if (!isValid() || actionName != pressAction())
        return;
    if (kind() == Kind::Button)
        m_calendar->stepMonth(m_index == 0 ? -1 : 1);
    else if (kind() == Kind::Day)
        m_calendar->chooseDay(day());
}

} // namespace tarvik::widgets

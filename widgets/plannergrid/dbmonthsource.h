#pragma once

#include "planneritemsource.h"

namespace tarvik::widgets {

// Items of one calendar month, one row per day of the month, all columns.
class DbMonthSource : public PlannerItemSource
{
    Q_OBJECT
public:
    explicit DbMonthSource(QObject* parent = nullptr);

    void setMonth(int year, int month);
    [[nodiscard]] int year() const { return m_year; }
    [[nodiscard]] int month() const { return m_month; }
    [[nodiscard]] QDate firstDay() const { return QDate(m_year, m_month, 1); }

protected:
    void arrangeRows(PlannerRowMap& rows) const override;
    [[nodiscard]] bool covers(const QDateTime& start, const QDateTime& end) const override;

private:
    int m_year = QDate::currentDate().year();
    int m_month = QDate::currentDate().month();
};

} // namespace tarvik::widgets

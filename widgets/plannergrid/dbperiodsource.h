#pragma once

#include "planneritemsource.h"

#include <QDate>

namespace tarvik::widgets {

// Items of a span of days, one row per day from the start date to the end
// date, one column per resource.
class DbPeriodSource : public PlannerItemSource
{
    Q_OBJECT
public:
    explicit DbPeriodSource(QObject* parent = nullptr);

    void setPeriod(QDate startDate, QDate endDate);
    [[nodiscard]] QDate startDate() const { return m_start; }
    [[nodiscard]] QDate endDate() const { return m_end; }

protected:
    void arrangeRows(PlannerRowMap& rows) const override;
    [[nodiscard]] bool covers(const QDateTime& start, const QDateTime& end) const override;

private:
    QDate m_start = QDate::currentDate();
    QDate m_end = QDate::currentDate();
};

} // namespace tarvik::widgets

#pragma once

#include "planneritemsource.h"

#include <QDate>

namespace tarvik::widgets {

// Items of one day in a day layout: rows are time slots of that day, one
// column per resource. Rows shown and minutes per row stay as the grid has
// them.
class DbDaySource : public PlannerItemSource
{
    Q_OBJECT
public:
    explicit DbDaySource(QObject* parent = nullptr);

    void setDay(QDate day);
    [[nodiscard]] QDate day() const { return m_day; }

protected:
    void arrangeRows(PlannerRowMap& rows) const override;
    [[nodiscard]] bool covers(const QDateTime& start, const QDateTime& end) const override;

private:
    QDate m_day = QDate::currentDate();
};

} // namespace tarvik::widgets

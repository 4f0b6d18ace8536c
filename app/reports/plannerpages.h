#pragma once

#include "reportdocument.h"

#include "plannerrowmap.h"

#include <QDateTime>
#include <QList>
#include <QStringList>

#include <functional>

namespace tarvik::planner {
class PlannerPage;
}

namespace tarvik::reports {

// What the planner shows, copied out of its rows so that the printed grid
// can be laid out while the rows themselves change: the columns, the rows
// of time (slots of a day, or days) and the events over them.
struct PlannerSheet
{
    struct Event
    {
        QString header;
        QDateTime start;
        QDateTime end;
        int column = 0; // counted from 0, left to right
        bool finished = false;
    };

    QString period; // the grid's caption: the day, week or month shown
    QString group;  // the chosen entry of the work place tree
    QStringList columns;
    widgets::PlannerRowMap rows;
    QList<Event> events;

    [[nodiscard]] int bandCount() const { return rows.rowCount(); }

    // The view the planner shows now, with the events of its rows that fall
    // into the view's columns and rows.
    [[nodiscard]] static PlannerSheet of(const planner::PlannerPage& page);
};

// How the grid goes onto sheets.
struct PlannerPageSetup
{
    static constexpr int kMinColumns = 1;
    static constexpr int kMaxColumns = 20;
    int columnsPerPage = 6;
    bool landscape = true;

    // The choice remembered in the workstation's ini file.
    [[nodiscard]] static PlannerPageSetup remembered();
    void remember() const;
};

// Rows of time one sheet holds: a week of days, or as many slots of a
// day as fit at a readable height.
[[nodiscard]] int plannerBandsPerPage(const PlannerPageSetup& setup, widgets::PlannerRowMap::Unit unit);
// Sheets of the printed grid: every group of columns for every group of
// rows, at least one.
[[nodiscard]] int plannerPageCount(int columns, int bands, widgets::PlannerRowMap::Unit unit,
                                   const PlannerPageSetup& setup);

// Reports a laid-out sheet (done of total); false stops the layout.
using LayoutProgress = std::function<bool(int done, int total)>;

// The printed grid: on every sheet the period and the group, the column
// heads and the time labels of its share, the events over them and
// "стр. N из M" at the foot. An event's header is printed once, on the
// sheet where its box begins; a box continued from an earlier sheet says
// so instead. Texts are wrapped and cut inside their boxes. Empty when
// progress stopped it.
[[nodiscard]] ReportDocument plannerPagesReport(const PlannerSheet& sheet, const PlannerPageSetup& setup,
                                                const QDateTime& printed,
                                                const LayoutProgress& progress = {});

} // namespace tarvik::reports

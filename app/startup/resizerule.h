#pragma once

#include <QList>

namespace tarvik::startup {

// Rounds to the nearest integer, halves to the even neighbour.
[[nodiscard]] int roundHalfEven(double value);

// The main window's contents follow its size by these rules (pixels).
namespace resize {

// Status bar panel 5, the date and time.
[[nodiscard]] inline int clockPanelWidth(int windowWidth)
{
    return windowWidth - 600;
}

// Column widths of the task list, left to right: the done box, "Заголовок",
// "Рабочее место", "Дата начала", "Дата окончания", "Выполнение".
[[nodiscard]] QList<int> taskListColumns(int listWidth);

// The "Тема" column of the mail grid.
[[nodiscard]] inline int mailSubjectWidth(int gridWidth)
{
    return gridWidth - 416;
}

// The chat's message edit box.
[[nodiscard]] inline int chatEditWidth(int controlPanelWidth)
{
    return controlPanelWidth - 410;
}

enum class PlannerView
{
    Day,
    Week,
    Month
};
// The height of one planner time slot.
[[nodiscard]] int plannerSlotHeight(PlannerView view, int windowHeight);

} // namespace resize
} // namespace tarvik::startup

#include "resizerule.h"

#include <cmath>

namespace tarvik::startup {

int roundHalfEven(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode rounds halves to even
}

namespace resize {

QList<int> taskListColumns(int listWidth)
{
    const int q = roundHalfEven(listWidth / 6.0);
    return {16, 2 * (q - 5), q - 5, q - 5, q - 5, q - 5};
}

int plannerSlotHeight(PlannerView view, int windowHeight)
{
    switch (view) {
    case PlannerView::Day:
        return roundHalfEven(windowHeight / 20.0);
    case PlannerView::Week:
        return roundHalfEven(windowHeight / 6.0);
    case PlannerView::Month:
        break;
    }
    return roundHalfEven(windowHeight / 10.0);
}

} // namespace resize
} // namespace tarvik::startup

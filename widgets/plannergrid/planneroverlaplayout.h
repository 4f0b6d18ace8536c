#pragma once

#include <vector>

namespace tarvik::widgets {

// Vertical extent of one item in one column, in rows.
struct PlannerSpan
{
    double top = 0;
    double bottom = 0;
    int column = 0;
};

// Where an item stands across its column: lane `lane` of `lanes` equal lanes.
struct PlannerLane
{
    int lane = 0;
    int lanes = 1;
};

// Lays overlapping items side by side. Items of one column that overlap,
// directly or through others, form a group; each group gets as many lanes as
// the most items that overlap at one moment, and every item takes the first
// lane that is free at its top. Spans that only touch do not overlap.
class PlannerOverlapLayout
{
public:
    // One lane per span, in the order given; O(n log n).
    [[nodiscard]] static std::vector<PlannerLane> arrange(const std::vector<PlannerSpan>& spans);
};

} // namespace tarvik::widgets

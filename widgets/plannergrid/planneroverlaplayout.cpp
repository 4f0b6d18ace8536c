#include "planneroverlaplayout.h"

#include <algorithm>
#include <numeric>

namespace tarvik::widgets {

namespace {

// Closes a group: every member learns how many lanes the group needed.
void finishGroup(std::vector<PlannerLane>& lanes, const std::vector<size_t>& group, int count)
{
    for (size_t i : group)
        lanes[i].lanes = count;
}

} // namespace

std::vector<PlannerLane> PlannerOverlapLayout::arrange(const std::vector<PlannerSpan>& spans)
{
    std::vector<PlannerLane> result(spans.size());
    std::vector<size_t> order(spans.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (spans[a].column != spans[b].column)
            return spans[a].column < spans[b].column;
        if (spans[a].top != spans[b].top)
            return spans[a].top < spans[b].top;
        return spans[a].bottom > spans[b].bottom;
    });

    std::vector<double> laneEnds; // bottom of the last item in each lane of the group
    std::vector<size_t> group;
    double groupBottom = 0;
    int column = 0;
    for (size_t i : order) {
        const PlannerSpan& s = spans[i];
        if (group.empty() || s.column != column || s.top >= groupBottom) {
            finishGroup(result, group, int(laneEnds.size()));
            group.clear();
            laneEnds.clear();
            column = s.column;
            groupBottom = s.bottom;
        }
        auto free = std::find_if(laneEnds.begin(), laneEnds.end(), [&](double end) { return end <= s.top; });
        if (free == laneEnds.end()) {
            result[i].lane = int(laneEnds.size());
            laneEnds.push_back(s.bottom);
        } else {
            result[i].lane = int(free - laneEnds.begin());
            *free = s.bottom;
        }
        groupBottom = std::max(groupBottom, s.bottom);
        group.push_back(i);
    }
    finishGroup(result, group, int(laneEnds.size()));
    return result;
}

} // namespace tarvik::widgets

#pragma once

#include <array>
#include <cstddef>

namespace tarvik::planner {

// Which work place each grid position shows: entry i is the work place ID
// of position i, 0 where none. Reset before each load.
class PositionMap
{
public:
    static constexpr int kSize = 256;

    void reset() { m_ids.fill(0); }
    // False when the position lies outside the map.
    bool set(int position, int workPlaceId);
    // 0 outside the map.
    [[nodiscard]] int workPlaceAt(int position) const;
    // The last position showing the work place (a work place listed twice
    // draws its events in the later column); -1 when none does.
    [[nodiscard]] int positionOf(int workPlaceId) const;

private:
    std::array<int, kSize> m_ids{};
};

} // namespace tarvik::planner

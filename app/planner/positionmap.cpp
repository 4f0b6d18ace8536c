#include "positionmap.h"

namespace tarvik::planner {

bool PositionMap::set(int position, int workPlaceId)
{
    if (position < 0 || position >= kSize)
        return false;
    m_ids[std::size_t(position)] = workPlaceId;
    return true;
}

int PositionMap::workPlaceAt(int position) const
{
    return position >= 0 && position < kSize ? m_ids[std::size_t(position)] : 0;
}

int PositionMap::positionOf(int workPlaceId) const
{
    for (int i = kSize - 1; i >= 0; --i)
        if (m_ids[std::size_t(i)] == workPlaceId)
            return i;
    return -1;
}

} // namespace tarvik::planner

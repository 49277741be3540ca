#pragma once

#include <cstdint>

namespace zorva {

// The relative sunspot number of Wolf: R = 10 g + s for g groups and s spots, each group
// counting as ten spots.
inline constexpr int64_t WolfGroupWeight = 10;
constexpr int64_t WolfNumberOf(int64_t groups, int64_t spots) {
    return WolfGroupWeight * groups + spots;
}

} // namespace zorva

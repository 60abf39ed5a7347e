#pragma once
// The two aim sweeps: their stop tables and one tick of either.

#include "runtime/basic.h"

#include <array>
#include <optional>

namespace aim {

using Stops = std::array<int, 9>;

// Where the ball stands at each stop, in twips. The steps are uneven on
// purpose: the horizontal sweep starts with a short step, the vertical one
// slows down below the target.
inline constexpr Stops horizontalStops {600, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500};
inline constexpr Stops verticalStops {0, 500, 1000, 1500, 2000, 2300, 2700, 3100, 3500};

// One tick of a sweep. Returns the stop to show when `paso` names one, then
// moves `paso` on in the direction `reversa` gives and turns at either end.
std::optional<int> tick(forms::Integer &paso, forms::Integer &reversa, const Stops &stops);

} // namespace aim

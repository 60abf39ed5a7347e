#pragma once
// Judging a shot and counting it.

#include "runtime/basic.h"

#include <cstdint>
#include <functional>

namespace forms {
class Label;
}

namespace shot {

// The target zone in twips, bounds excluded.
inline constexpr int MinLeft = 2099, MaxLeft = 3199;
inline constexpr int MinTop = 1499, MaxTop = 2301;

bool insideHorizontally(float left);
bool insideVertically(float top);

// Whether the frozen balls score. The vertical ball is looked at only when
// the horizontal one is inside.
bool scores(float left, const std::function<float()> &top);

// Baskets over attempts as a whole percent, halves to the even neighbour.
std::int16_t effectiveness(double baskets, double attempts);

// Raises a counter label by one: its caption is the only copy of the count.
void addOne(forms::Label &counter);

} // namespace shot

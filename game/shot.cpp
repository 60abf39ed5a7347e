#include "game/shot.h"

#include "runtime/controls.h"

namespace shot {

bool insideHorizontally(float left)
{
    return left > MinLeft && left < MaxLeft;
}

bool insideVertically(float top)
{
    return top > MinTop && top < MaxTop;
}

bool scores(float left, const std::function<float()> &top)
{
    return insideHorizontally(left) && insideVertically(top());
}

std::int16_t effectiveness(double baskets, double attempts)
{
    return forms::roundToInteger(baskets / attempts * 100);
}

void addOne(forms::Label &counter)
{
    counter.setCaption(forms::numberToText(forms::Val(counter.caption()) + 1));
}

} // namespace shot

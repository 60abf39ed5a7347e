#include "game/aim.h"

namespace aim {

std::optional<int> tick(forms::Integer &paso, forms::Integer &reversa, const Stops &stops)
{
    std::optional<int> shown;
    if (paso >= 0 && paso <= 8)
        shown = stops[static_cast<std::size_t>(paso.value())];

    if (reversa == 0)
        paso = paso + 1;
    else
        paso = paso - 1;

    // The turn is tested after the step, so each end stop shows once per turn.
    // Both sweeps share `reversa` and "Tirar" resets only `paso`: a sweep that
    // starts counting down shows stop 0, then nothing (paso -1), then stop 0
    // again before it climbs, so the ball rests three ticks on its first stop.
    if (paso == 8)
        reversa = -1;
    if (paso < 1)
        reversa = 0;
    return shown;
}

} // namespace aim

#include "runtime/controls.h"

namespace forms {

// What the controls mean whatever shows them; the rest of each control is
// its backend's.

void Image::setLeft(float left)
{
    if (left != m_left) {
        m_left = left;
        place();
    }
}

void Image::setTop(float top)
{
    if (top != m_top) {
        m_top = top;
        place();
    }
}

void Timer::tick()
{
    if (m_enabled && m_tick)
        m_tick();
}

} // namespace forms

#include "runtime/layout.h"

#include <array>

namespace forms {

std::uint32_t Color::toRgb() const
{
    if (!m_system) {
        // 0x00BBGGRR to 0x00RRGGBB
        return ((m_value & 0xFF) << 16) | (m_value & 0xFF00) | ((m_value >> 16) & 0xFF);
    }
    // The classic desktop scheme, by system colour index.
    static constexpr std::array<std::uint32_t, 25> classic = {
        0xD4D0C8, // 0 scroll bars
        0x3A6EA5, // 1 desktop
        0x0A246A, // 2 active title bar
        0x808080, // 3 inactive title bar
        0xD4D0C8, // 4 menu bar
        0xFFFFFF, // 5 window background
        0x000000, // 6 window frame
        0x000000, // 7 menu text
        0x000000, // 8 window text
        0xFFFFFF, // 9 title-bar text
        0xD4D0C8, // 10 active border
        0xD4D0C8, // 11 inactive border
        0x808080, // 12 application workspace
        0x0A246A, // 13 highlight
        0xFFFFFF, // 14 highlight text
        0xD4D0C8, // 15 button face
        0x808080, // 16 button shadow
        0x808080, // 17 grey text
        0x000000, // 18 button text
        0xD4D0C8, // 19 inactive title-bar text
        0xFFFFFF, // 20 3D highlight
        0x404040, // 21 3D dark shadow
        0xD4D0C8, // 22 3D light
        0x000000, // 23 tooltip text
        0xFFFFE1, // 24 tooltip background
    };
    return m_value < classic.size() ? classic[m_value] : 0x000000;
}

Typeface typefaceOf(const Font &font)
{
    const std::string &name = font.name;
    if (name.empty() || name == "MS Sans Serif")
        return {{"Liberation Sans", "Arimo", "DejaVu Sans"}};
    if (name == "Arial")
        return {{"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"}};
    if (name == "Comic Sans MS")
        return {{"Comic Sans MS", "Comic Neue", "Liberation Sans", "DejaVu Sans"}};
    if (name == "Compacta Blk BT")
        return {
            {"Compacta Blk BT", "Roboto Condensed", "DejaVu Sans Condensed", "Liberation Sans Narrow", "DejaVu Sans"},
            true};
    return {{name, "Liberation Sans", "DejaVu Sans"}};
}

} // namespace forms

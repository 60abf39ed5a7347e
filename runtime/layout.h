#pragma once
// The vocabulary of a stored layout: twips, colours, fonts, boxes.

#include <cstdint>
#include <string>
#include <vector>

namespace forms {

// 1440 twips to the inch, 15 to a pixel at 96 dpi (runtime/pixels.h has
// them as pixels at other DPIs).
constexpr int TwipsPerPixel = 15;

// A box in twips, relative to the form's client area or to the frame that
// holds the control.
struct Bounds
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Either an RGB value written 0x00BBGGRR or a system colour by index.
class Color
{
public:
    static constexpr Color rgb(std::uint32_t bgr) { return Color(false, bgr & 0xFFFFFF); }
    static constexpr Color system(int index) { return Color(true, std::uint32_t(index)); }

    // The colour as 0x00RRGGBB, system colours resolved to the fixed classic
    // scheme (never the desktop theme, so the game looks the same everywhere).
    std::uint32_t toRgb() const;

    // A backend that has the desktop's own system colours asks for them by
    // index.
    constexpr bool isSystem() const { return m_system; }
    constexpr int systemIndex() const { return m_system ? int(m_value) : -1; }

private:
    constexpr Color(bool system, std::uint32_t value) : m_system(system), m_value(value) { }
    bool m_system;
    std::uint32_t m_value;
};

// The system colours by the index a layout gives them.
namespace colors {
constexpr Color WindowBackground = Color::system(5);
constexpr Color MenuText = Color::system(7);
constexpr Color WindowText = Color::system(8);
constexpr Color TitleBarText = Color::system(9);
constexpr Color Highlight = Color::system(13);
constexpr Color HighlightText = Color::system(14);
constexpr Color ButtonFace = Color::system(15);
constexpr Color ButtonShadow = Color::system(16);
constexpr Color GrayText = Color::system(17);
constexpr Color ButtonText = Color::system(18);
constexpr Color ThreeDHighlight = Color::system(20);
constexpr Color ThreeDDarkShadow = Color::system(21);
constexpr Color ThreeDLight = Color::system(22);
constexpr Color InfoText = Color::system(23);
constexpr Color InfoBackground = Color::system(24);
constexpr Color White = Color::rgb(0xFFFFFF);
constexpr Color Black = Color::rgb(0x000000);
} // namespace colors

// A font as a layout names it. An empty name is the runtime's classic
// default face, an 8-point sans serif.
struct Font
{
    std::string name {};
    double size = 8.0;
    bool bold = false;
    bool italic = false;
};

// Where no face of a layout's name is installed, what shows it: the faces to
// try, best first (the layout's own, then lookalikes free to install
// anywhere), and whether they stand in for a black display face. Naming the
// lookalikes outright matters: left to itself, a font matcher may answer an
// unknown display face with a symbol font.
struct Typeface
{
    std::vector<std::string> families;
    bool black = false;
};
Typeface typefaceOf(const Font &font);

enum class Alignment { Left, Right, Center };

enum class ShapeKind { Rectangle, Square, Oval, Circle };
enum class FillStyle { Solid, Transparent, DiagonalCross };

} // namespace forms

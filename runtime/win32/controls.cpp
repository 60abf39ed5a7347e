// The controls, timers and menus on Win32: labels, buttons, frames and
// picture boxes are child windows; images, shapes and lines are drawn by the
// form or frame that holds them.

#include "runtime/backend.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"
#include "runtime/win32/picture.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace forms {

namespace win32 {

ControlNative::ControlNative(Control &control, HWND hwnd) : control(control), hwnd(hwnd)
{
    if (hwnd)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control));
    else
        drawOrder(control.parent()).push_back(&control);
}

ControlNative::~ControlNative()
{
    if (hwnd) {
        DestroyWindow(hwnd);
        return;
    }
    std::erase(drawOrder(control.parent()), &control);
    InvalidateRect(surface(control.parent()), &rect, FALSE);
}

TimerNative::TimerNative(Timer &owner) : timer(window(owner.form()), TickMessage)
{
    byId<Timer>()[timer.id()] = &owner;
}

TimerNative::~TimerNative()
{
    byId<Timer>().erase(timer.id());
}

MenuItemNative::MenuItemNative(MenuItem &item)
{
    static UINT nextCommand = 100;
    id = nextCommand++;
    byId<MenuItem>()[id] = &item;
}

MenuItemNative::~MenuItemNative()
{
    byId<MenuItem>().erase(id);
}

namespace {

UINT textFlags(const LabelStyle &style)
{
    UINT flags = DT_NOPREFIX | DT_EXPANDTABS | DT_TOP;
    flags |= style.alignment == Alignment::Right    ? DT_RIGHT
             : style.alignment == Alignment::Center ? DT_CENTER
                                                    : DT_LEFT;
    if (style.wordWrap)
        flags |= DT_WORDBREAK;
    return flags;
}

// The font a windowed control is given, for screen readers and the
// buttons' own drawing.
const Font *fontOf(const Control &control)
{
    static const Font classic {};
    if (const auto *label = dynamic_cast<const Label *>(&control))
        return &label->style().font;
    return dynamic_cast<const CommandButton *>(&control) ? &classic : nullptr;
}

void drawShape(HDC dc, const RECT &rect, const ShapeStyle &style, int dpi)
{
    const RectF outline =
        shapeOutline({rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, style.shape);
    const int left = int(outline.left), top = int(outline.top);
    const RECT box {left, top, left + int(outline.width), top + int(outline.height)};
    const bool round = style.shape == ShapeKind::Circle || style.shape == ShapeKind::Oval;
    const auto shape = round ? Ellipse : Rectangle;
    HPEN hatch = CreatePen(PS_SOLID, scaled(1, dpi), toColorRef(style.fillColor));
    // The border is drawn inside the box, as wide as the layout says at 96 DPI.
    HPEN border = CreatePen(PS_INSIDEFRAME, scaled(style.borderWidth, dpi), toColorRef(style.borderColor));
    int saved = SaveDC(dc);
    if (style.fillStyle == FillStyle::Solid) {
        SelectObject(dc, brush(style.fillColor));
        SelectObject(dc, GetStockObject(NULL_PEN));
        shape(dc, box.left, box.top, box.right + 1, box.bottom + 1);
    } else if (style.fillStyle == FillStyle::DiagonalCross) {
        // The clip region is in device units: the surface's origin is added
        // by hand.
        POINT origin {};
        GetViewportOrgEx(dc, &origin);
        const RECT clip {box.left + origin.x, box.top + origin.y, box.right + origin.x, box.bottom + origin.y};
        HRGN inside = round ? CreateEllipticRgnIndirect(&clip) : CreateRectRgnIndirect(&clip);
        ExtSelectClipRgn(dc, inside, RGN_AND);
        DeleteObject(inside);
        SelectObject(dc, hatch);
        for (const Segment &line : crossHatch({rect.right - rect.left, rect.bottom - rect.top}, scaled(8, dpi))) {
            MoveToEx(dc, rect.left + line.from.x, rect.top + line.from.y, nullptr);
            LineTo(dc, rect.left + line.to.x, rect.top + line.to.y);
        }
    }
    RestoreDC(dc, saved);
    if (style.borderWidth > 0) {
        saved = SaveDC(dc);
        SelectObject(dc, border);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        shape(dc, box.left, box.top, box.right, box.bottom);
        RestoreDC(dc, saved);
    }
    DeleteObject(hatch);
    DeleteObject(border);
}

void drawLine(HDC dc, const Line &line, int dpi)
{
    const LineStyle &style = line.style();
    const auto [a, b] = line.ends();
    const int width = scaled(style.width, dpi);
    const int back = width / 2; // a wide line is centred on its pixels
    if (a.y == b.y || a.x == b.x) {
        // Level or upright: exactly the rows or columns it covers.
        const RECT band = a.y == b.y ? RECT {std::min(a.x, b.x), a.y - back, std::max(a.x, b.x), a.y - back + width}
                                     : RECT {a.x - back, std::min(a.y, b.y), a.x - back + width, std::max(a.y, b.y)};
        FillRect(dc, &band, brush(style.color));
        return;
    }
    LOGBRUSH pattern {BS_SOLID, toColorRef(style.color), 0};
    HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, DWORD(width), &pattern, 0, nullptr);
    HGDIOBJ before = SelectObject(dc, pen);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
    SelectObject(dc, before);
    DeleteObject(pen);
}

// The picture from the box's top-left corner, cut to the box.
void drawPictureIn(HDC dc, const RECT &box, const std::string &picture, SIZE size, int dpi)
{
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    drawPicture(dc, picture, box.left, box.top, size, dpi);
    RestoreDC(dc, saved);
}

} // namespace

void drawLightweight(HDC dc, const Control &control)
{
    const int dpi = control.form().dpi();
    const RECT &box = native(control).rect;
    if (const auto *image = dynamic_cast<const Image *>(&control)) {
        // Stretched, the picture fills the box; otherwise it keeps its own
        // size.
        const std::string &picture = image->style().picture;
        const SIZE size =
            image->style().stretch ? SIZE {box.right - box.left, box.bottom - box.top} : pictureSize(picture, dpi);
        drawPictureIn(dc, box, picture, size, dpi);
    } else if (const auto *shape = dynamic_cast<const Shape *>(&control)) {
        drawShape(dc, box, shape->style(), dpi);
    } else if (const auto *line = dynamic_cast<const Line *>(&control)) {
        drawLine(dc, *line, dpi);
    }
}

// An owner-drawn static control: its text is there for screen readers, and
// the colours, font and alignment are drawn as the layout asks.
void drawLabel(const DRAWITEMSTRUCT &item, const Label &label)
{
    const LabelStyle &style = label.style();
    FillRect(item.hDC, &item.rcItem, brush(style.backColor));
    const std::wstring text = wide(label.caption());
    HGDIOBJ before = SelectObject(item.hDC, font(style.font, label.form().dpi()));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, toColorRef(style.foreColor));
    RECT area = item.rcItem;
    DrawTextW(item.hDC, text.c_str(), int(text.size()), &area, textFlags(style));
    SelectObject(item.hDC, before);
}

void drawPictureBox(HDC dc, const PictureBox &box)
{
    const PictureBoxStyle &style = box.style();
    const int dpi = box.form().dpi();
    RECT area {};
    GetClientRect(hwnd(box), &area);
    FillRect(dc, &area, brush(style.backColor));
    if (style.border) {
        // The classic sunken edge, two pixels at 96 DPI and as many more as
        // the scale has whole steps.
        for (int step = std::max(1, dpi / StandardDpi); step > 0; --step) {
            DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
            InflateRect(&area, -2, -2);
        }
    }
    drawPictureIn(dc, area, style.picture, pictureSize(style.picture, dpi), dpi);
}

} // namespace win32

namespace backend {

using namespace win32;

namespace {

// A windowed control: a child window of its form or frame.
std::unique_ptr<Native> windowed(Control &control, const wchar_t *windowClass, DWORD style,
                                 const std::string &text = {})
{
    HWND hwnd = CreateWindowExW(0, windowClass, wide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0,
                                0, 0, 0, surface(control.parent()), nullptr, GetModuleHandleW(nullptr), nullptr);
    return std::make_unique<ControlNative>(control, hwnd);
}

// A lightweight control, drawn by its form or frame in front of those made
// before it.
std::unique_ptr<Native> lightweight(Control &control)
{
    return std::make_unique<ControlNative>(control, nullptr);
}

} // namespace

std::unique_ptr<Native> makeLabel(Label &label)
{
    return windowed(label, L"STATIC", SS_OWNERDRAW | SS_NOPREFIX);
}

void setText(Label &label)
{
    SetWindowTextW(hwnd(label), wide(label.caption()).c_str());
    InvalidateRect(hwnd(label), nullptr, FALSE);
}

Size measureText(const Label &label, int wrapWidth)
{
    const std::wstring text = wide(label.caption());
    HDC dc = GetDC(hwnd(label));
    HGDIOBJ before = SelectObject(dc, font(label.style().font, label.form().dpi()));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    RECT measured {0, 0, wrapWidth, 0};
    if (!text.empty())
        DrawTextW(dc, text.c_str(), int(text.size()), &measured, textFlags(label.style()) | DT_CALCRECT);
    SelectObject(dc, before);
    ReleaseDC(hwnd(label), dc);
    return {measured.right - measured.left, std::max<int>(measured.bottom - measured.top, metrics.tmHeight)};
}

std::unique_ptr<Native> makeImage(Image &image)
{
    return lightweight(image);
}

std::unique_ptr<Native> makePictureBox(PictureBox &box)
{
    return windowed(box, PictureClass, 0);
}

std::unique_ptr<Native> makeFrame(Frame &frame)
{
    return windowed(frame, FrameClass, WS_CLIPCHILDREN);
}

std::unique_ptr<Native> makeButton(CommandButton &button)
{
    const DWORD kind = button.style().isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    return windowed(button, L"BUTTON", WS_TABSTOP | kind, button.style().caption);
}

std::unique_ptr<Native> makeShape(Shape &shape)
{
    return lightweight(shape);
}

std::unique_ptr<Native> makeLine(Line &line)
{
    return lightweight(line);
}

void place(Control &control, const Rect &rect)
{
    ControlNative &native = win32::native(control);
    const RECT moved {rect.left, rect.top, rect.right(), rect.bottom()};
    if (native.hwnd) {
        native.rect = moved;
        SetWindowPos(native.hwnd, nullptr, rect.left, rect.top, rect.width, rect.height, SWP_NOZORDER | SWP_NOACTIVATE);
        if (const Font *layoutFont = fontOf(control))
            SendMessageW(native.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(*layoutFont, control.form().dpi())),
                         FALSE);
        InvalidateRect(native.hwnd, nullptr, FALSE);
        return;
    }
    if (EqualRect(&moved, &native.rect))
        return;
    const RECT before = std::exchange(native.rect, moved);
    if (!control.visible())
        return;
    HWND surface = win32::surface(control.parent());
    InvalidateRect(surface, &before, FALSE);
    InvalidateRect(surface, &moved, FALSE);
    // A picture is drawn now rather than when the message loop comes round
    // to it: a click handled in between must find on screen the position
    // the program reads. Only the area it left and the one it entered.
    if (dynamic_cast<const Image *>(&control))
        UpdateWindow(surface);
}

void setVisible(Control &control, bool visible)
{
    const ControlNative &native = win32::native(control);
    if (native.hwnd)
        ShowWindow(native.hwnd, visible ? SW_SHOWNA : SW_HIDE);
    else
        InvalidateRect(surface(control.parent()), &native.rect, FALSE);
}

void setZOrder(Control &control, bool front)
{
    const ControlNative &native = win32::native(control);
    if (native.hwnd) {
        SetWindowPos(native.hwnd, front ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    // Lightweight controls are drawn in list order, the last in front.
    std::vector<Control *> &order = drawOrder(control.parent());
    std::erase(order, &control);
    order.insert(front ? order.end() : order.begin(), &control);
    InvalidateRect(surface(control.parent()), &native.rect, FALSE);
}

std::unique_ptr<Native> makeTimer(Timer &timer)
{
    return std::make_unique<TimerNative>(timer);
}

void startTimer(Timer &timer)
{
    win32::timer(timer).start(timer.interval());
}

void stopTimer(Timer &timer)
{
    win32::timer(timer).stop();
}

std::unique_ptr<Native> makeMenu(Menu &menu)
{
    FormNative &form = native(menu.form());
    if (!form.menuBar) {
        form.menuBar = CreateMenu();
        SetMenu(form.hwnd, form.menuBar);
    }
    auto made = std::make_unique<MenuNative>();
    AppendMenuW(form.menuBar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(made->menu),
                wide(menu.caption()).c_str());
    DrawMenuBar(form.hwnd);
    return made;
}

std::unique_ptr<Native> makeMenuItem(MenuItem &item)
{
    auto made = std::make_unique<MenuItemNative>(item);
    // The shortcut is shown at the right of the item, as Windows menus do;
    // the runtime's keyboard runs it.
    std::string text = item.caption();
    if (!item.shortcut().empty())
        text += "\t" + item.shortcut();
    AppendMenuW(win32::menu(item.menu()), MF_STRING | (item.checked() ? MF_CHECKED : MF_UNCHECKED), made->id,
                wide(text).c_str());
    return made;
}

void setChecked(MenuItem &item)
{
    // Windows never flips the mark itself: the program decides.
    CheckMenuItem(win32::menu(item.menu()), command(item), MF_BYCOMMAND | (item.checked() ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace backend
} // namespace forms

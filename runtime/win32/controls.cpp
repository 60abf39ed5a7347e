#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/native.h"
#include "runtime/win32/picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace forms {

using win32::Surface;

namespace {

Surface &surfaceOf(Container &container)
{
    if (auto *frame = dynamic_cast<Frame *>(&container))
        return *frame->native().inner;
    return static_cast<Form &>(container).native().surface;
}

int dpiOf(const Control::Native &native)
{
    return native.form->native().dpi;
}

// The control's record, known to its form from the start so that a change of
// DPI reaches it.
std::unique_ptr<Control::Native> makeNative(Container &parent, Bounds bounds = {})
{
    auto native = std::make_unique<Control::Native>();
    native->form = &parent.owner();
    native->parent = &surfaceOf(parent);
    native->bounds = bounds;
    native->form->native().controls.push_back(native.get());
    return native;
}

// A windowed control: a child window of its form or frame.
std::unique_ptr<Control::Native> makeWindowed(Container &parent, Bounds bounds, const wchar_t *windowClass, DWORD style,
                                              const std::string &text = {})
{
    auto native = makeNative(parent, bounds);
    native->hwnd =
        CreateWindowExW(0, windowClass, win32::wide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0,
                        0, 0, 0, native->parent->hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    return native;
}

// A lightweight control, drawn by its form or frame in front of those made
// before it.
std::unique_ptr<Control::Native> makeLightweight(Container &parent, Bounds bounds = {})
{
    auto native = makeNative(parent, bounds);
    native->parent->lightweight.push_back(native.get());
    return native;
}

// Where the layout puts a windowed control at its form's DPI, with its font.
void placeWindow(Control::Native &native, const Font *font = nullptr)
{
    const int dpi = dpiOf(native);
    native.rect = win32::toPixels(native.bounds, dpi);
    SetWindowPos(native.hwnd, nullptr, native.rect.left, native.rect.top, native.rect.right - native.rect.left,
                 native.rect.bottom - native.rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (font)
        SendMessageW(native.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(win32::font(*font, dpi)), TRUE);
}

void invalidate(const Control::Native &native)
{
    InvalidateRect(native.parent->hwnd, &native.rect, FALSE);
}

std::wstring windowText(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(std::size_t(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::size_t(length));
    return text;
}

} // namespace

Control::Control(std::string name, std::unique_ptr<Native> native)
    : m_name(std::move(name)),
      m_native(std::move(native))
{ }

Control::~Control()
{
    Native &native = *m_native;
    std::erase(native.form->native().controls, &native);
    std::erase(native.parent->lightweight, &native);
    if (native.hwnd) {
        DestroyWindow(native.hwnd);
    } else if (native.visible) {
        invalidate(native);
    }
}

bool Control::visible() const
{
    if (m_native->hwnd)
        return (GetWindowLongPtrW(m_native->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
    return m_native->visible;
}

void Control::setVisible(bool visible)
{
    Native &native = *m_native;
    if (native.hwnd) {
        ShowWindow(native.hwnd, visible ? SW_SHOWNA : SW_HIDE);
    } else if (native.visible != visible) {
        native.visible = visible;
        invalidate(native);
    }
}

void Control::ZOrder(int position)
{
    Native &native = *m_native;
    if (native.hwnd) {
        SetWindowPos(native.hwnd, position == 0 ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    // Lightweight controls are drawn in list order, the last in front.
    auto &list = native.parent->lightweight;
    std::erase(list, &native);
    if (position == 0)
        list.push_back(&native);
    else
        list.insert(list.begin(), &native);
    invalidate(native);
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

// The label takes the size of its text; a right-aligned label keeps its
// right edge, the others their left.
void fitToText(Control::Native &native, const LabelStyle &style)
{
    const int dpi = dpiOf(native);
    const RECT box = win32::toPixels(native.bounds, dpi);
    const std::wstring text = windowText(native.hwnd);
    HDC dc = GetDC(native.hwnd);
    HGDIOBJ before = SelectObject(dc, win32::font(style.font, dpi));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    RECT measured {0, 0, style.wordWrap ? box.right - box.left : 0, 0};
    if (!text.empty())
        DrawTextW(dc, text.c_str(), int(text.size()), &measured, textFlags(style) | DT_CALCRECT);
    SelectObject(dc, before);
    ReleaseDC(native.hwnd, dc);
    const int width = std::max<int>(measured.right - measured.left, 1);
    const int height = std::max<int>(measured.bottom - measured.top, metrics.tmHeight);
    const int left = style.alignment == Alignment::Right ? box.right - width : box.left;
    native.rect = {left, box.top, left + width, box.top + height};
    SetWindowPos(native.hwnd, nullptr, left, box.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

// An owner-drawn static control: its text is there for screen readers, and
// the colours, font and alignment are drawn as the layout asks.
Label::Label(Container &parent, std::string name, Bounds bounds, const LabelStyle &style)
    : Control(name, makeWindowed(parent, bounds, L"STATIC", SS_OWNERDRAW | SS_NOPREFIX)),
      m_bounds(bounds),
      m_style(style)
{
    Native &native = this->native();
    native.backColor = style.backColor;
    native.foreColor = style.foreColor;
    native.draw = [this](const DRAWITEMSTRUCT &item) {
        const Native &native = this->native();
        const int dpi = dpiOf(native);
        FillRect(item.hDC, &item.rcItem, win32::brush(m_style.backColor));
        const std::wstring text = win32::wide(m_caption);
        HGDIOBJ before = SelectObject(item.hDC, win32::font(m_style.font, dpi));
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, win32::toColorRef(m_style.foreColor));
        RECT area = item.rcItem;
        DrawTextW(item.hDC, text.c_str(), int(text.size()), &area, textFlags(m_style));
        SelectObject(item.hDC, before);
    };
    native.layout = [this] {
        Native &native = this->native();
        placeWindow(native, &m_style.font);
        if (m_style.autoSize)
            fitToText(native, m_style);
    };
    native.layout();
    setCaption(style.caption);
}

void Label::setCaption(const std::string &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Native &native = this->native();
    SetWindowTextW(native.hwnd, win32::wide(caption).c_str());
    if (m_style.autoSize)
        fitToText(native, m_style);
    InvalidateRect(native.hwnd, nullptr, FALSE);
}

Image::Image(Container &parent, std::string name, Bounds bounds, const ImageStyle &style)
    : Control(name, makeLightweight(parent, bounds)),
      m_left(float(bounds.left)),
      m_top(float(bounds.top))
{
    Native &native = this->native();
    native.paint = [&native, style](HDC dc) {
        // Stretched, the picture fills the box; otherwise it keeps its own
        // size, cut to the box from its top-left.
        const int dpi = dpiOf(native);
        const RECT &box = native.rect;
        const SIZE size =
            style.stretch ? SIZE {box.right - box.left, box.bottom - box.top} : win32::pictureSize(style.picture, dpi);
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
        win32::drawPicture(dc, style.picture, box.left, box.top, size, dpi);
        RestoreDC(dc, saved);
    };
    native.layout = [this] { place(); };
    place();
}

void Image::place()
{
    Native &native = this->native();
    const int dpi = dpiOf(native);
    const int left = win32::toPixels(double(m_left), dpi);
    const int top = win32::toPixels(double(m_top), dpi);
    const RECT moved {left, top, left + win32::toPixels(native.bounds.width, dpi),
                      top + win32::toPixels(native.bounds.height, dpi)};
    if (EqualRect(&moved, &native.rect))
        return;
    const RECT before = native.rect;
    native.rect = moved;
    if (!native.visible)
        return;
    // Drawn now rather than when the message loop comes round to it: a
    // click handled in between must find on screen the position the program
    // reads. Only the area the picture left and the one it entered.
    HWND surface = native.parent->hwnd;
    InvalidateRect(surface, &before, FALSE);
    InvalidateRect(surface, &moved, FALSE);
    UpdateWindow(surface);
}

PictureBox::PictureBox(Container &parent, std::string name, Bounds bounds, const PictureBoxStyle &style)
    : Control(name, makeWindowed(parent, bounds, win32::PictureClass, 0))
{
    Native &native = this->native();
    native.backColor = style.backColor;
    native.foreColor = style.foreColor;
    native.paint = [&native, style](HDC dc) {
        const int dpi = dpiOf(native);
        RECT area {};
        GetClientRect(native.hwnd, &area);
        FillRect(dc, &area, win32::brush(style.backColor));
        if (style.border) {
            // The classic sunken edge, two pixels at 96 DPI and as many
            // more as the scale has whole steps.
            for (int step = std::max(1, dpi / 96); step > 0; --step) {
                DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
                InflateRect(&area, -2, -2);
            }
        }
        // From the top-left corner, cut to what lies inside the edge.
        const int saved = SaveDC(dc);
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        win32::drawPicture(dc, style.picture, area.left, area.top, win32::pictureSize(style.picture, dpi), dpi);
        RestoreDC(dc, saved);
    };
    native.layout = [&native] {
        placeWindow(native);
        InvalidateRect(native.hwnd, nullptr, FALSE);
    };
    native.layout();
}

Frame::Frame(Container &parent, std::string name, Bounds bounds, const FrameStyle &style)
    : Control(name, makeWindowed(parent, bounds, win32::FrameClass, WS_CLIPCHILDREN)),
      m_owner(parent.owner())
{
    Native &native = this->native();
    native.inner = std::make_unique<Surface>();
    Surface &inner = *native.inner;
    inner.hwnd = native.hwnd;
    inner.form = &m_owner;
    inner.backColor = style.backColor;
    inner.foreColor = style.foreColor;
    inner.frame = true;
    inner.caption = win32::wide(style.caption);
    native.backColor = style.backColor;
    native.foreColor = style.foreColor;
    SetWindowLongPtrW(native.hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&inner));
    native.layout = [&native] {
        placeWindow(native);
        InvalidateRect(native.hwnd, nullptr, FALSE);
    };
    native.layout();
}

CommandButton::CommandButton(Container &parent, std::string name, Bounds bounds, const ButtonStyle &style)
    : Control(name,
              makeWindowed(parent, bounds, L"BUTTON",
                           WS_TABSTOP | DWORD(style.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), style.caption)),
      m_tabIndex(style.tabIndex)
{
    Native &native = this->native();
    native.click = [this] { click(); };
    native.layout = [&native] {
        static const Font classic {};
        placeWindow(native, &classic);
    };
    native.layout();
    parent.owner().add(*this, style.isDefault, style.isCancel);
}

void CommandButton::click()
{
    // Only a button the player could press: enabled and shown in its window.
    HWND button = native().hwnd;
    if (!IsWindowEnabled(button))
        return;
    for (HWND window = button; window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD);
         window = GetParent(window)) {
        if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE))
            return;
    }
    if (m_click)
        Dispatcher::instance().dispatch(this, m_click);
}

namespace {

void drawShape(HDC dc, const RECT &rect, const ShapeStyle &style, int dpi)
{
    // Circles and squares use the shorter side, centred in the box.
    RECT box = rect;
    if (style.shape == ShapeKind::Circle || style.shape == ShapeKind::Square) {
        const int side = std::min(box.right - box.left, box.bottom - box.top);
        box.left += (box.right - box.left - side) / 2;
        box.top += (box.bottom - box.top - side) / 2;
        box.right = box.left + side;
        box.bottom = box.top + side;
    }
    const bool round = style.shape == ShapeKind::Circle || style.shape == ShapeKind::Oval;
    const int saved = SaveDC(dc);
    if (style.fillStyle == FillStyle::Solid) {
        SelectObject(dc, win32::brush(style.fillColor));
        SelectObject(dc, GetStockObject(NULL_PEN));
        if (round)
            Ellipse(dc, box.left, box.top, box.right + 1, box.bottom + 1);
        else
            Rectangle(dc, box.left, box.top, box.right + 1, box.bottom + 1);
    } else if (style.fillStyle == FillStyle::DiagonalCross) {
        // Hatch lines eight pixels apart at 96 DPI, drawn as lines rather
        // than a brush pattern so they stay crisp and evenly spaced at any
        // scale. The clip region is in device units: the surface's origin
        // is added by hand.
        POINT origin {};
        GetViewportOrgEx(dc, &origin);
        HRGN inside =
            round ? CreateEllipticRgn(box.left + origin.x, box.top + origin.y, box.right + origin.x,
                                      box.bottom + origin.y)
                  : CreateRectRgn(box.left + origin.x, box.top + origin.y, box.right + origin.x, box.bottom + origin.y);
        ExtSelectClipRgn(dc, inside, RGN_AND);
        DeleteObject(inside);
        HPEN pen = CreatePen(PS_SOLID, win32::scaled(1, dpi), win32::toColorRef(style.fillColor));
        HGDIOBJ before = SelectObject(dc, pen);
        const int gap = win32::scaled(8, dpi);
        const int w = rect.right - rect.left, h = rect.bottom - rect.top;
        for (int d = -h; d < w + h; d += gap) {
            MoveToEx(dc, rect.left + d, rect.top, nullptr);
            LineTo(dc, rect.left + d + h, rect.top + h);
            MoveToEx(dc, rect.left + d, rect.top + h, nullptr);
            LineTo(dc, rect.left + d + h, rect.top);
        }
        SelectObject(dc, before);
        DeleteObject(pen);
        SelectClipRgn(dc, nullptr);
    }
    RestoreDC(dc, saved);
    if (style.borderWidth > 0) {
        // Drawn inside the box, as wide as the layout says at 96 DPI.
        HPEN pen =
            CreatePen(PS_INSIDEFRAME, win32::scaled(style.borderWidth, dpi), win32::toColorRef(style.borderColor));
        HGDIOBJ beforePen = SelectObject(dc, pen);
        HGDIOBJ beforeBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        if (round)
            Ellipse(dc, box.left, box.top, box.right, box.bottom);
        else
            Rectangle(dc, box.left, box.top, box.right, box.bottom);
        SelectObject(dc, beforeBrush);
        SelectObject(dc, beforePen);
        DeleteObject(pen);
    }
}

} // namespace

Shape::Shape(Container &parent, std::string name, Bounds bounds, const ShapeStyle &style)
    : Control(name, makeLightweight(parent, bounds))
{
    Native &native = this->native();
    native.paint = [&native, style](HDC dc) { drawShape(dc, native.rect, style, dpiOf(native)); };
    native.layout = [&native] {
        native.rect = win32::toPixels(native.bounds, dpiOf(native));
        invalidate(native);
    };
    native.layout();
}

Line::Line(Container &parent, std::string name, int x1, int y1, int x2, int y2, const LineStyle &style)
    : Control(name, makeLightweight(parent))
{
    Native &native = this->native();
    const auto ends = [&native, x1, y1, x2, y2] {
        const int dpi = dpiOf(native);
        return std::make_pair(POINT {win32::toPixels(x1, dpi), win32::toPixels(y1, dpi)},
                              POINT {win32::toPixels(x2, dpi), win32::toPixels(y2, dpi)});
    };
    native.paint = [&native, ends, style](HDC dc) {
        const auto [a, b] = ends();
        const int width = win32::scaled(style.width, dpiOf(native));
        const int back = width / 2; // a wide line is centred on its pixels
        if (a.y == b.y || a.x == b.x) {
            // Level or upright: exactly the rows or columns it covers.
            RECT band = a.y == b.y ? RECT {std::min(a.x, b.x), a.y - back, std::max(a.x, b.x), a.y - back + width}
                                   : RECT {a.x - back, std::min(a.y, b.y), a.x - back + width, std::max(a.y, b.y)};
            FillRect(dc, &band, win32::brush(style.color));
            return;
        }
        LOGBRUSH brush {BS_SOLID, win32::toColorRef(style.color), 0};
        HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, DWORD(width), &brush, 0, nullptr);
        HGDIOBJ before = SelectObject(dc, pen);
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
        SelectObject(dc, before);
        DeleteObject(pen);
    };
    native.layout = [&native, ends, style] {
        const auto [a, b] = ends();
        const int pad = win32::scaled(std::max(1, style.width), dpiOf(native));
        native.rect = {std::min(a.x, b.x) - pad, std::min(a.y, b.y) - pad, std::max(a.x, b.x) + pad,
                       std::max(a.y, b.y) + pad};
        invalidate(native);
    };
    native.layout();
}

Timer::Timer(Form &form, std::string name, int intervalMs, bool enabled)
    : m_name(std::move(name)),
      m_native(std::make_unique<Native>()),
      m_interval(intervalMs)
{
    m_native->form = &form.native();
    m_native->timer = std::make_unique<win32::PreciseTimer>(form.native().hwnd, win32::TickMessage);
    m_native->form->ticks[m_native->timer->id()] = [this] {
        // A tick message that outlived a stopped run is no tick. One that
        // falls due while a handler runs, or while a message box waits,
        // waits for it, once.
        if (m_native->timer->acknowledge())
            Dispatcher::instance().dispatch(
                this, [this] { tick(); }, this);
    };
    form.add(*this);
    setEnabled(enabled);
}

Timer::~Timer()
{
    m_native->timer->stop();
    m_native->form->ticks.erase(m_native->timer->id());
}

void Timer::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled && m_interval > 0)
        m_native->timer->start(m_interval);
    else
        m_native->timer->stop();
}

namespace {

// "F4", "Ctrl+S": the accelerator's key and modifiers; zero key if unknown.
ACCEL accelerator(const std::string &shortcut, WORD command)
{
    ACCEL accel {FVIRTKEY, 0, command};
    std::string rest = shortcut;
    for (auto [prefix, flag] :
         {std::pair {"Ctrl+", FCONTROL}, std::pair {"Shift+", FSHIFT}, std::pair {"Alt+", FALT}}) {
        if (rest.rfind(prefix, 0) == 0) {
            accel.fVirt |= flag;
            rest.erase(0, std::strlen(prefix));
        }
    }
    if (rest.size() >= 2 && rest[0] == 'F' && std::all_of(rest.begin() + 1, rest.end(), ::isdigit)) {
        const int number = std::stoi(rest.substr(1));
        if (number >= 1 && number <= 24)
            accel.key = WORD(VK_F1 + number - 1);
    } else if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
        accel.key = WORD(std::toupper(static_cast<unsigned char>(rest[0])));
    }
    return accel;
}

void rebuildAccelerators(Form::Native &form)
{
    if (form.accelerators)
        DestroyAcceleratorTable(form.accelerators);
    form.accelerators =
        form.shortcuts.empty() ? nullptr : CreateAcceleratorTableW(form.shortcuts.data(), int(form.shortcuts.size()));
}

} // namespace

Menu::Menu(Form &form, std::string name, const std::string &caption)
    : m_name(std::move(name)),
      m_native(std::make_unique<Native>())
{
    Form::Native &window = form.native();
    if (!window.menuBar) {
        window.menuBar = CreateMenu();
        SetMenu(window.hwnd, window.menuBar);
    }
    m_native->form = &window;
    m_native->menu = CreatePopupMenu();
    AppendMenuW(window.menuBar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(m_native->menu),
                win32::wide(caption).c_str());
    DrawMenuBar(window.hwnd);
}

Menu::~Menu() = default; // the menu bar goes with the window

MenuItem::MenuItem(Menu &menu, std::string name, const MenuItemStyle &style)
    : m_name(std::move(name)),
      m_native(std::make_unique<Native>()),
      m_checked(style.checked)
{
    static UINT nextCommand = 100;
    Native &native = *m_native;
    native.menu = menu.native().menu;
    native.form = menu.native().form;
    native.id = nextCommand++;
    // The shortcut is shown at the right of the item, as Windows menus do.
    std::string text = style.caption;
    if (!style.shortcut.empty())
        text += "\t" + style.shortcut;
    AppendMenuW(native.menu, MF_STRING | (m_checked ? MF_CHECKED : MF_UNCHECKED), native.id, win32::wide(text).c_str());
    // Windows never flips the mark itself: the program decides.
    native.form->commands[native.id] = [this] {
        if (m_click)
            Dispatcher::instance().dispatch(this, m_click);
    };
    if (!style.shortcut.empty()) {
        const ACCEL accel = accelerator(style.shortcut, WORD(native.id));
        if (accel.key) {
            native.form->shortcuts.push_back(accel);
            rebuildAccelerators(*native.form);
        }
    }
}

MenuItem::~MenuItem()
{
    Native &native = *m_native;
    native.form->commands.erase(native.id);
    std::erase_if(native.form->shortcuts, [&native](const ACCEL &accel) { return accel.cmd == native.id; });
}

void MenuItem::setChecked(bool checked)
{
    m_checked = checked;
    CheckMenuItem(m_native->menu, m_native->id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace forms

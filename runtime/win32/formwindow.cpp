#include "runtime/win32/formwindow.h"
#include "runtime/win32/look.h"
#include "runtime/win32/picture.h"

#include <algorithm>
#include <cwchar>
#include <optional>

namespace forms::win32 {

const wchar_t FormClass[] = L"KorvoForm";
const wchar_t FrameClass[] = L"KorvoFrame";
const wchar_t PictureClass[] = L"KorvoPicture";

namespace {

void drawGroupBox(HDC dc, HWND window, const Frame &frame)
{
    const int dpi = frame.form().dpi();
    const std::wstring caption = wide(frame.style().caption);
    RECT client {};
    GetClientRect(window, &client);
    HGDIOBJ before = SelectObject(dc, font(Font {}, dpi));
    SIZE text {0, 0};
    GetTextExtentPoint32W(dc, L"Ag", 2, &text);
    RECT edge = client;
    edge.top += text.cy / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        RECT title {scaled(8, dpi), 0, client.right - scaled(8, dpi), text.cy};
        DrawTextW(dc, caption.c_str(), int(caption.size()), &title, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        InflateRect(&title, scaled(2, dpi), 0);
        FillRect(dc, &title, brush(frame.style().backColor));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, toColorRef(frame.style().foreColor));
        DrawTextW(dc, caption.c_str(), int(caption.size()), &title, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, before);
}

// A form's or a frame's background and lightweight controls, drawn off
// screen and then copied: a ball passing over the ring every tick must not
// flicker.
void paintSurface(HWND window, Container &container)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const RECT area = paint.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width > 0 && height > 0) {
        HDC buffer = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ before = SelectObject(buffer, bitmap);
        SetViewportOrgEx(buffer, -area.left, -area.top, nullptr);
        FillRect(buffer, &area, brush(backColor(container)));
        if (const auto *frame = dynamic_cast<const Frame *>(&container))
            drawGroupBox(buffer, window, *frame);
        for (const Control *control : drawOrder(container)) {
            RECT overlap {};
            if (control->visible() && IntersectRect(&overlap, &native(*control).rect, &area))
                drawLightweight(buffer, *control);
        }
        SetViewportOrgEx(buffer, 0, 0, nullptr);
        BitBlt(dc, area.left, area.top, width, height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, before);
        DeleteObject(bitmap);
        DeleteDC(buffer);
    }
    EndPaint(window, &paint);
}

// What forms and frames both do: draw themselves, and hear from their
// controls.
std::optional<LRESULT> containerMessage(Container &container, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (!lParam || HIWORD(wParam) != BN_CLICKED)
            return std::nullopt;
        if (auto *button = dynamic_cast<CommandButton *>(controlOf(reinterpret_cast<HWND>(lParam))))
            button->click();
        return 0;
    case WM_DRAWITEM: {
        const auto &item = *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        const auto *label = dynamic_cast<const Label *>(controlOf(item.hwndItem));
        if (!label)
            return std::nullopt;
        drawLabel(item, *label);
        return TRUE;
    }
    case WM_CTLCOLORBTN: // a button's corners show its parent's colour
        return reinterpret_cast<LRESULT>(brush(backColor(container)));
    case WM_ERASEBKGND:
        return 1; // painted whole in WM_PAINT, without a flash of background
    case WM_PAINT:
        paintSurface(window, container);
        return 0;
    default:
        return std::nullopt;
    }
}

// The form's window hears from Windows for its form. Once a call into the
// runtime has returned (a click, a pick, a tick, the close box), the form
// may be gone and its window with it: nothing of it is touched after.
LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *native = reinterpret_cast<FormNative *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!native)
        return DefWindowProcW(window, message, wParam, lParam);
    Form &form = native->form;
    if (const auto result = containerMessage(form, window, message, wParam, lParam))
        return *result;
    switch (message) {
    case WM_COMMAND: // a menu item
        if (lParam == 0) {
            if (auto found = byId<MenuItem>().find(LOWORD(wParam)); found != byId<MenuItem>().end())
                found->second->pick();
            return 0;
        }
        break;
    case TickMessage:
        // A tick message that outlived a stopped run is no tick.
        if (auto found = byId<Timer>().find(wParam);
            found != byId<Timer>().end() && timer(*found->second).acknowledge())
            found->second->fire();
        return 0;
    case WM_CLOSE:
        form.closeBox();
        return 0;
    case WM_ACTIVATE:
        // Windows gives an activated window the focus itself; the control
        // that had it before takes it back, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus))
                native->focus = focus;
        } else {
            const std::vector<CommandButton *> order = form.tabOrder();
            HWND focus = IsWindow(native->focus) ? native->focus : order.empty() ? nullptr : hwnd(*order.front());
            SetFocus(focus && IsWindowVisible(focus) && IsWindowEnabled(focus) ? focus : window);
        }
        return 0;
    case WM_GETMINMAXINFO: {
        // The size cannot be dragged, and maximising keeps it.
        if (native->frameSize.cx <= 0)
            break;
        auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
        info->ptMaxSize = {native->frameSize.cx, native->frameSize.cy};
        info->ptMaxTrackSize = info->ptMaxSize;
        info->ptMinTrackSize = info->ptMaxSize;
        return 0;
    }
    case WM_GETDPISCALEDSIZE:
        // Asked before a move to a screen of another DPI: the size the
        // layout has there, so the rectangle Windows then suggests fits.
        *reinterpret_cast<SIZE *>(lParam) = frameFor(*native, int(wParam));
        return TRUE;
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        native->dpi = HIWORD(wParam);
        fitWindow(*native);
        form.dpiChanged();
        setIcons(*native);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE | RDW_FRAME);
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (auto *frame = dynamic_cast<Frame *>(controlOf(window))) {
        if (const auto result = containerMessage(*frame, window, message, wParam, lParam))
            return *result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK pictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (const auto *box = dynamic_cast<const PictureBox *>(controlOf(window)))
            drawPictureBox(dc, *box);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void registerWindowClasses()
{
    static const bool registered = [] {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        const auto add = [instance](const wchar_t *name, WNDPROC procedure, HICON icon) {
            WNDCLASSEXW windowClass {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = procedure;
            windowClass.hInstance = instance;
            windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
            windowClass.hIcon = icon;
            windowClass.lpszClassName = name;
            RegisterClassExW(&windowClass);
        };
        // The program's icon until the form sets its own.
        add(FormClass, formProcedure, LoadIconW(instance, MAKEINTRESOURCEW(1)));
        add(FrameClass, frameProcedure, nullptr);
        add(PictureClass, pictureProcedure, nullptr);
        return true;
    }();
    (void)registered;
}

FormNative *formOf(HWND window)
{
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    wchar_t name[32] = {};
    if (!root || !GetClassNameW(root, name, 32) || std::wcscmp(name, FormClass) != 0)
        return nullptr;
    return reinterpret_cast<FormNative *>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

Control *controlOf(HWND window)
{
    const FormNative *form = formOf(window);
    if (!form || window == form->hwnd)
        return nullptr;
    // Only what the form made: a stray child is no control of ours.
    auto *control = reinterpret_cast<Control *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const std::vector<Control *> &controls = form->form.controls();
    return std::find(controls.begin(), controls.end(), control) != controls.end() ? control : nullptr;
}

HWND surface(const Container &container)
{
    if (const auto *frame = dynamic_cast<const Frame *>(&container))
        return hwnd(*frame);
    return window(static_cast<const Form &>(container));
}

Color backColor(const Container &container)
{
    if (const auto *frame = dynamic_cast<const Frame *>(&container))
        return frame->style().backColor;
    return static_cast<const Form &>(container).storedLayout().backColor;
}

std::vector<Control *> &drawOrder(Container &container)
{
    if (auto *frame = dynamic_cast<Frame *>(&container))
        return native(*frame).drawn;
    return native(static_cast<Form &>(container)).drawn;
}

std::pair<DWORD, DWORD> stylesOf(const WindowLook &look)
{
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    if (!look.titleBar) {
        style |= WS_POPUP | (look.raisedBorder ? WS_DLGFRAME : 0);
    } else {
        style |= WS_CAPTION | (look.dialogFrame ? WS_POPUP : WS_OVERLAPPED);
        if (look.closeBox)
            style |= WS_SYSMENU;
        if (look.minMaxBoxes)
            style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        if (look.sizable)
            style |= WS_THICKFRAME;
        if (look.dialogFrame)
            exStyle |= WS_EX_DLGMODALFRAME;
    }
    // Tool windows stay out of the task bar.
    if (look.toolTitle || !look.inTaskbar)
        exStyle |= WS_EX_TOOLWINDOW;
    return {style, exStyle};
}

SIZE frameFor(const FormNative &form, int dpi)
{
    const FormLayout &layout = form.form.storedLayout();
    const auto [style, exStyle] = stylesOf(form.form.look());
    RECT frame {0, 0, toPixels(layout.clientWidth, dpi), toPixels(layout.clientHeight, dpi)};
    adjustWindowRect(frame, style, form.menuBar != nullptr, exStyle, dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void fitWindow(FormNative &form)
{
    const FormLayout &layout = form.form.storedLayout();
    const int width = toPixels(layout.clientWidth, form.dpi);
    const int height = toPixels(layout.clientHeight, form.dpi);
    form.frameSize = frameFor(form, form.dpi);
    SetWindowPos(form.hwnd, nullptr, 0, 0, form.frameSize.cx, form.frameSize.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar may take two lines where one was reckoned with.
    RECT client {};
    GetClientRect(form.hwnd, &client);
    if (client.right != width || client.bottom != height) {
        form.frameSize.cx += width - client.right;
        form.frameSize.cy += height - client.bottom;
        SetWindowPos(form.hwnd, nullptr, 0, 0, form.frameSize.cx, form.frameSize.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void setIcons(FormNative &form)
{
    const std::vector<std::string> &icon = form.form.storedLayout().icon;
    if (icon.empty())
        return;
    const int sides[2] = {systemMetric(SM_CXSMICON, form.dpi), systemMetric(SM_CXICON, form.dpi)};
    for (int which : {ICON_SMALL, ICON_BIG}) {
        if (HICON picture = pictureIcon(icon, sides[which]))
            SendMessageW(form.hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(picture));
    }
}

} // namespace forms::win32

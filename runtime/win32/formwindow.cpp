#include "runtime/win32/formwindow.h"
#include "runtime/application.h"
#include "runtime/dispatcher.h"
#include "runtime/win32/look.h"
#include "runtime/win32/picture.h"

#include <algorithm>

namespace forms::win32 {

const wchar_t FormClass[] = L"KorvoForm";
const wchar_t FrameClass[] = L"KorvoFrame";
const wchar_t PictureClass[] = L"KorvoPicture";

namespace {

// What forms and frames both do: their controls report to them.
bool containerMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT &result)
{
    switch (message) {
    case WM_COMMAND:
        if (lParam && HIWORD(wParam) == BN_CLICKED) {
            if (Control::Native *control = controlOf(reinterpret_cast<HWND>(lParam)); control && control->click) {
                // Kept aside: the click may take the button with its form.
                const std::function<void()> click = control->click;
                click();
            }
            result = 0;
            return true;
        }
        return false;
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (Control::Native *control = controlOf(item->hwndItem); control && control->draw) {
            control->draw(*item);
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_CTLCOLORBTN: {
        // A button's corners show its parent's colour.
        Control::Native *control = controlOf(reinterpret_cast<HWND>(lParam));
        if (control && control->parent) {
            result = reinterpret_cast<LRESULT>(brush(control->parent->backColor));
            return true;
        }
        return false;
    }
    case WM_ERASEBKGND:
        result = 1; // painted whole in WM_PAINT, without a flash of background
        return true;
    default:
        return false;
    }
    (void)window;
}

void drawGroupBox(HDC dc, const Surface &surface, const RECT &client, int dpi)
{
    HGDIOBJ before = SelectObject(dc, font(Font {}, dpi));
    SIZE text {0, 0};
    GetTextExtentPoint32W(dc, L"Ag", 2, &text);
    RECT edge = client;
    edge.top += text.cy / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    if (!surface.caption.empty()) {
        RECT title {scaled(8, dpi), 0, client.right - scaled(8, dpi), text.cy};
        DrawTextW(dc, surface.caption.c_str(), int(surface.caption.size()), &title,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        InflateRect(&title, scaled(2, dpi), 0);
        FillRect(dc, &title, brush(surface.backColor));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, toColorRef(surface.foreColor));
        DrawTextW(dc, surface.caption.c_str(), int(surface.caption.size()), &title,
                  DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, before);
}

LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *form = reinterpret_cast<Form::Native *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form || !form->hwnd)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (containerMessage(window, message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_PAINT:
        paintSurface(form->surface);
        return 0;
    case WM_COMMAND:
        // A menu item, picked or by its shortcut.
        if (lParam == 0) {
            // Kept aside: the command may end the program and take the
            // form with it.
            auto found = form->commands.find(LOWORD(wParam));
            if (found != form->commands.end()) {
                const std::function<void()> command = found->second;
                command();
            }
            return 0;
        }
        break;
    case TickMessage: {
        // Kept aside: a tick may unload the form, which takes its timers.
        auto found = form->ticks.find(wParam);
        if (found != form->ticks.end()) {
            const std::function<void()> tick = found->second;
            tick();
        }
        return 0;
    }
    case WM_CLOSE: {
        // The close box unloads the form; the window goes with the form.
        Form *owner = form->form;
        if (owner->isLoaded())
            Dispatcher::instance().dispatch(owner, [owner] { Unload(*owner); });
        return 0;
    }
    case WM_ACTIVATE:
        // Windows gives an activated window the focus itself; the control
        // that had it before takes it back, as in a dialog.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus))
                form->focus = focus;
        } else {
            HWND focus = form->focus && IsWindow(form->focus) ? form->focus
                         : form->tabOrder.empty()             ? nullptr
                                                              : form->tabOrder.front();
            if (focus && IsWindowVisible(focus) && IsWindowEnabled(focus))
                SetFocus(focus);
            else
                SetFocus(window);
        }
        return 0;
    case WM_GETMINMAXINFO: {
        // The size cannot be dragged, and maximising keeps it.
        if (form->frameSize.cx <= 0)
            break;
        auto *info = reinterpret_cast<MINMAXINFO *>(lParam);
        info->ptMaxSize = {form->frameSize.cx, form->frameSize.cy};
        info->ptMaxTrackSize = info->ptMaxSize;
        info->ptMinTrackSize = info->ptMaxSize;
        return 0;
    }
    case WM_GETDPISCALEDSIZE: {
        // Asked before a move to a screen of another DPI: the size the
        // layout has there, so the rectangle Windows then suggests fits.
        const int dpi = int(wParam);
        RECT frame {0, 0, toPixels(form->clientWidth, dpi), toPixels(form->clientHeight, dpi)};
        adjustWindowRect(frame, form->style, form->menuBar != nullptr, form->exStyle, dpi);
        auto *size = reinterpret_cast<SIZE *>(lParam);
        size->cx = frame.right - frame.left;
        size->cy = frame.bottom - frame.top;
        return TRUE;
    }
    case WM_DPICHANGED: {
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        layOut(*form, HIWORD(wParam));
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *surface = reinterpret_cast<Surface *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!surface)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    if (containerMessage(window, message, wParam, lParam, result))
        return result;
    if (message == WM_PAINT) {
        paintSurface(*surface);
        return 0;
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
        if (Control::Native *control = controlOf(window); control && control->paint)
            control->paint(dc);
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
        WNDCLASSEXW form {};
        form.cbSize = sizeof form;
        form.lpfnWndProc = formProcedure;
        form.hInstance = instance;
        form.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
        // The program's icon until the form sets its own.
        form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        form.lpszClassName = FormClass;
        RegisterClassExW(&form);

        WNDCLASSEXW frame = form;
        frame.lpfnWndProc = frameProcedure;
        frame.hIcon = nullptr;
        frame.lpszClassName = FrameClass;
        RegisterClassExW(&frame);

        WNDCLASSEXW picture = frame;
        picture.lpfnWndProc = pictureProcedure;
        picture.lpszClassName = PictureClass;
        RegisterClassExW(&picture);
        return true;
    }();
    (void)registered;
}

Form::Native *formOf(HWND window)
{
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    wchar_t name[32] = {};
    if (!root || !GetClassNameW(root, name, 32) || std::wstring(name) != FormClass)
        return nullptr;
    return reinterpret_cast<Form::Native *>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

Control::Native *controlOf(HWND window)
{
    if (!window || !(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        return nullptr;
    Form::Native *form = formOf(window);
    if (!form)
        return nullptr;
    // Only what the form made: a stray child is no control of ours.
    for (Control::Native *control : form->controls) {
        if (control->hwnd == window)
            return control;
    }
    return nullptr;
}

void stylesFor(const FormLayout &layout, DWORD &style, DWORD &exStyle)
{
    exStyle = 0;
    switch (layout.borderStyle) {
    case BorderStyle::None:
        style = WS_POPUP;
        break;
    case BorderStyle::FixedSingle:
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case BorderStyle::Sizable:
        style = WS_OVERLAPPEDWINDOW;
        break;
    case BorderStyle::FixedDialog:
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_DLGMODALFRAME;
        break;
    case BorderStyle::FixedToolWindow:
        style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
        exStyle = WS_EX_TOOLWINDOW;
        break;
    }
    if (!layout.controlBox)
        style &= ~DWORD(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    // No caption and no control box: no title bar, only the border.
    if (layout.caption.empty() && !layout.controlBox && layout.borderStyle != BorderStyle::Sizable
        && layout.borderStyle != BorderStyle::None) {
        style = WS_POPUP | WS_DLGFRAME;
        exStyle &= ~DWORD(WS_EX_DLGMODALFRAME);
    }
    // Tool windows stay out of the task bar.
    if (!layout.showInTaskbar)
        exStyle |= WS_EX_TOOLWINDOW;
    style |= WS_CLIPCHILDREN;
}

void fitWindow(Form::Native &form)
{
    const int width = toPixels(form.clientWidth, form.dpi);
    const int height = toPixels(form.clientHeight, form.dpi);
    RECT frame {0, 0, width, height};
    adjustWindowRect(frame, form.style, form.menuBar != nullptr, form.exStyle, form.dpi);
    form.frameSize = {frame.right - frame.left, frame.bottom - frame.top};
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

void setIcons(Form::Native &form)
{
    if (form.icon.empty())
        return;
    const int sides[2] = {systemMetric(SM_CXSMICON, form.dpi), systemMetric(SM_CXICON, form.dpi)};
    for (int which : {ICON_SMALL, ICON_BIG}) {
        if (HICON icon = pictureIcon(form.icon, sides[which]))
            SendMessageW(form.hwnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

void layOut(Form::Native &form, int dpi)
{
    form.dpi = dpi;
    fitWindow(form);
    for (Control::Native *control : form.controls) {
        if (control->layout)
            control->layout();
    }
    setIcons(form);
    RedrawWindow(form.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_ERASE | RDW_FRAME);
}

void paintSurface(Surface &surface)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(surface.hwnd, &paint);
    const RECT area = paint.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width > 0 && height > 0) {
        // Drawn off screen, then copied: a ball passing over the ring every
        // tick must not flicker.
        HDC buffer = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
        HGDIOBJ before = SelectObject(buffer, bitmap);
        SetViewportOrgEx(buffer, -area.left, -area.top, nullptr);
        FillRect(buffer, &area, brush(surface.backColor));
        const int dpi = surface.form ? surface.form->native().dpi : 96;
        if (surface.frame) {
            RECT client {};
            GetClientRect(surface.hwnd, &client);
            drawGroupBox(buffer, surface, client, dpi);
        }
        for (Control::Native *control : surface.lightweight) {
            RECT overlap {};
            if (control->visible && control->paint && IntersectRect(&overlap, &control->rect, &area))
                control->paint(buffer);
        }
        SetViewportOrgEx(buffer, 0, 0, nullptr);
        BitBlt(dc, area.left, area.top, width, height, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, before);
        DeleteObject(bitmap);
        DeleteDC(buffer);
    }
    EndPaint(surface.hwnd, &paint);
}

} // namespace forms::win32

// The null backend's windows and controls: rectangles and flags, laid out as
// the runtime says, with a fixed frame round every window.

#include "runtime/backend.h"
#include "runtime/null/native.h"
#include "runtime/null/null.h"
#include "runtime/null/state.h"

#include <algorithm>
#include <cmath>

namespace forms::null {

namespace {

// The frame round a client area, in pixels at 96 DPI.
constexpr int Border = 3;
constexpr int TitleBar = 23;
constexpr int ToolTitleBar = 17;
constexpr int MenuBar = 20;

struct Insets
{
    int left, top, right, bottom;
};

Insets insetsOf(const Form &form)
{
    const WindowLook &look = form.look();
    const int dpi = form.dpi();
    const int border = look.titleBar || look.raisedBorder ? scaled(Border, dpi) : 0;
    int top = border;
    if (look.titleBar)
        top += scaled(look.toolTitle ? ToolTitleBar : TitleBar, dpi);
    if (window(form).menuBar)
        top += scaled(MenuBar, dpi);
    return {border, top, border, border};
}

// The characters of a UTF-8 text, not its bytes.
int characters(const std::string &text)
{
    return int(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

} // namespace

bool isVisible(const Form &form)
{
    return window(form).visible;
}

int openWindows(const std::string &formName)
{
    const auto &stacking = state().stacking;
    return int(std::count_if(stacking.begin(), stacking.end(),
                             [&formName](const Form *form) { return formName.empty() || form->name() == formName; }));
}

Rect frame(const Form &form)
{
    return window(form).frame;
}

Size clientSize(const Form &form)
{
    const FormLayout &layout = form.storedLayout();
    return {form.pixels(layout.clientWidth), form.pixels(layout.clientHeight)};
}

Rect rect(const Control &control)
{
    return null::control(control).rect;
}

bool isVisible(const Control &control)
{
    return null::control(control).visible;
}

bool inFront(const Control &control)
{
    return null::control(control).front;
}

bool isChecked(const MenuItem &item)
{
    return null::item(item).checked;
}

bool isTicking(const Timer &timer)
{
    return null::timer(timer).running;
}

Control *focusedControl(const Form &form)
{
    return window(form).focus;
}

} // namespace forms::null

namespace forms::backend {

using namespace null;

std::unique_ptr<Native> makeWindow(Form &)
{
    return std::make_unique<WindowNative>();
}

void windowReady(Form &form)
{
    const std::vector<CommandButton *> order = form.tabOrder();
    window(form).focus = order.empty() ? nullptr : order.front();
}

int dpi(const Form &)
{
    return state().dpi;
}

Screen screen(const Form &)
{
    // A task bar 40 pixels high along the bottom.
    const Size size = state().screen;
    return {{0, 0, size.width, size.height}, {0, 0, size.width, size.height - scaled(40, state().dpi)}};
}

Size frameSize(Form &form)
{
    const Insets insets = insetsOf(form);
    const Size client = clientSize(form);
    return {client.width + insets.left + insets.right, client.height + insets.top + insets.bottom};
}

void moveWindow(Form &form, Point topLeft)
{
    const Size size = frameSize(form);
    window(form).frame = {topLeft.x, topLeft.y, size.width, size.height};
}

void showWindow(Form &form)
{
    WindowNative &native = window(form);
    const Size size = frameSize(form);
    native.frame.width = size.width;
    native.frame.height = size.height;
    native.visible = true;
    auto &stacking = state().stacking;
    std::erase(stacking, &form);
    stacking.push_back(&form); // in front, and active
}

void hideWindow(Form &form)
{
    window(form).visible = false;
    std::erase(state().stacking, &form);
}

Control *focused(const Form &form)
{
    return window(form).focus;
}

void focus(Control &control)
{
    window(control.form()).focus = &control;
}

std::unique_ptr<Native> makeLabel(Label &)
{
    return std::make_unique<ControlNative>();
}

std::unique_ptr<Native> makeImage(Image &)
{
    return std::make_unique<ControlNative>();
}

std::unique_ptr<Native> makePictureBox(PictureBox &)
{
    return std::make_unique<ControlNative>();
}

std::unique_ptr<Native> makeFrame(Frame &)
{
    return std::make_unique<ControlNative>();
}

std::unique_ptr<Native> makeButton(CommandButton &)
{
    return std::make_unique<ControlNative>();
}

std::unique_ptr<Native> makeShape(Shape &)
{
    return std::make_unique<ControlNative>();
}

std::unique_ptr<Native> makeLine(Line &)
{
    return std::make_unique<ControlNative>();
}

void place(Control &control, const Rect &rect)
{
    null::control(control).rect = rect;
}

void setVisible(Control &control, bool visible)
{
    null::control(control).visible = visible;
}

void setZOrder(Control &control, bool front)
{
    null::control(control).front = front;
}

void setText(Label &)
{
    // The label's caption is what shows: nothing to keep beside it.
}

Size measureText(const Label &label, int wrapWidth)
{
    const double em = label.style().font.size * label.form().dpi() / 72.0;
    const int charWidth = std::max(1, int(std::lround(em / 2)));
    const int lineHeight = std::max(1, int(std::lround(em * 1.2)));
    const std::string &text = label.caption();
    if (wrapWidth <= 0)
        return {characters(text) * charWidth, lineHeight};
    // Whole words to a line, as many as fit.
    int lines = 1, widest = 0, line = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const int word = characters(text.substr(at, end - at)) * charWidth;
        const int wanted = line ? line + charWidth + word : word;
        if (line && wanted > wrapWidth) {
            ++lines;
            line = word;
        } else {
            line = wanted;
        }
        widest = std::max(widest, line);
        at = end + 1;
    }
    return {widest, lines * lineHeight};
}

std::unique_ptr<Native> makeTimer(Timer &timer)
{
    auto native = std::make_unique<TimerNative>();
    native->timer = &timer;
    state().timers.push_back(native.get());
    return native;
}

void startTimer(Timer &timer)
{
    TimerNative &native = null::timer(timer);
    native.running = true;
    native.deadlines.start(state().now, timer.interval());
}

void stopTimer(Timer &timer)
{
    null::timer(timer).running = false;
}

std::unique_ptr<Native> makeMenu(Menu &menu)
{
    window(menu.form()).menuBar = true;
    return std::make_unique<Native>();
}

std::unique_ptr<Native> makeMenuItem(MenuItem &item)
{
    auto native = std::make_unique<MenuItemNative>();
    native->checked = item.checked();
    return native;
}

void setChecked(MenuItem &item)
{
    null::item(item).checked = item.checked();
}

} // namespace forms::backend

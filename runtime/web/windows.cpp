// The forms' windows on the page: made, placed, shown and hidden as the
// runtime asks, and the registry that finds an object again from the id the
// page reports.

#include "runtime/backend.h"
#include "runtime/web/look.h"
#include "runtime/web/native.h"
#include "runtime/web/page.h"

#include <unordered_map>

namespace forms::web {

namespace {

template <class T>
std::unordered_map<int, T *> &registry()
{
    static std::unordered_map<int, T *> objects;
    return objects;
}

template <class T>
T *find(int id)
{
    const auto &objects = registry<T>();
    const auto found = objects.find(id);
    return found == objects.end() ? nullptr : found->second;
}

// What the page draws round a window, as bits.
enum LookBits { TitleBar = 1, ToolTitle = 2, CloseBox = 4, RaisedBorder = 8, KeyPreview = 16 };

int lookBits(const Form &form)
{
    const WindowLook &look = form.look();
    return (form.storedLayout().keyPreview ? KeyPreview : 0) | (look.titleBar ? TitleBar : 0)
           | (look.toolTitle ? ToolTitle : 0) | (look.closeBox ? CloseBox : 0) | (look.raisedBorder ? RaisedBorder : 0);
}

} // namespace

int newId()
{
    static int last = 0;
    return ++last;
}

WindowNative::WindowNative(Form &form) : id(newId()), form(form)
{
    registry<Form>()[id] = &form;
}

WindowNative::~WindowNative()
{
    registry<Form>().erase(id);
    korvo_remove(id);
}

ControlNative::ControlNative(Control &control) : id(newId()), control(control)
{
    registry<Control>()[id] = &control;
}

ControlNative::~ControlNative()
{
    registry<Control>().erase(id);
    korvo_remove(id);
}

TimerNative::TimerNative(Timer &timer) : id(newId()), timer(timer)
{
    registry<TimerNative>()[id] = this;
}

TimerNative::~TimerNative()
{
    registry<TimerNative>().erase(id);
    korvo_timer_stop(id);
}

MenuNative::MenuNative() : id(newId()) { }

MenuNative::~MenuNative()
{
    korvo_remove(id);
}

MenuItemNative::MenuItemNative(MenuItem &item) : id(newId()), item(item)
{
    registry<MenuItem>()[id] = &item;
}

MenuItemNative::~MenuItemNative()
{
    registry<MenuItem>().erase(id);
    korvo_remove(id);
}

Form *formWithId(int id)
{
    return find<Form>(id);
}

Control *controlWithId(int id)
{
    return find<Control>(id);
}

TimerNative *timerWithId(int id)
{
    return find<TimerNative>(id);
}

MenuItem *itemWithId(int id)
{
    return find<MenuItem>(id);
}

} // namespace forms::web

namespace forms::backend {

using namespace web;

std::unique_ptr<Native> makeWindow(Form &form)
{
    auto native = std::make_unique<WindowNative>(form);
    const FormLayout &layout = form.storedLayout();
    const WindowLook &look = form.look();
    const int role = look.role == WindowLook::Role::Dialog ? 1 : look.role == WindowLook::Role::Bare ? 2 : 0;
    korvo_window_make(native->id, form.name().c_str(), layout.caption.c_str(), role, lookBits(form),
                      form.pixels(layout.clientWidth), form.pixels(layout.clientHeight),
                      cssColor(layout.backColor).c_str(), layout.icon.empty() ? "" : layout.icon.front().c_str());
    return native;
}

void windowReady(Form &form)
{
    // The first button in tab order takes the focus when the window comes up.
    const std::vector<CommandButton *> order = form.tabOrder();
    korvo_window_first_focus(id(form), order.empty() ? 0 : id(*order.front()));
}

int dpi(const Form &)
{
    return StandardDpi;
}

Screen screen(const Form &form)
{
    int width = 0, height = 0;
    korvo_screen(id(form), &width, &height);
    return {{0, 0, width, height}, {0, 0, width, height}};
}

Size frameSize(Form &form)
{
    Size size;
    korvo_window_size(id(form), &size.width, &size.height);
    return size;
}

void moveWindow(Form &form, Point topLeft)
{
    korvo_window_move(id(form), topLeft.x, topLeft.y);
}

void showWindow(Form &form)
{
    korvo_window_show(id(form));
}

void hideWindow(Form &form)
{
    korvo_window_hide(id(form));
}

Control *focused(const Form &form)
{
    return controlWithId(korvo_window_focused(id(form)));
}

void focus(Control &control)
{
    korvo_focus(id(control));
}

} // namespace forms::backend

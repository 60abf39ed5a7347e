#include "runtime/form.h"
#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/controls.h"
#include "runtime/keyboard.h"

#include <algorithm>
#include <cctype>

namespace forms {

WindowLook lookOf(const FormLayout &layout)
{
    WindowLook look;
    switch (layout.borderStyle) {
    case BorderStyle::None:
        look.role = WindowLook::Role::Bare;
        look.titleBar = look.closeBox = look.minMaxBoxes = look.sizable = false;
        break;
    case BorderStyle::FixedSingle:
        look.sizable = false;
        break;
    case BorderStyle::Sizable:
        break;
    case BorderStyle::FixedDialog:
        look.role = WindowLook::Role::Dialog;
        look.dialogFrame = true;
        look.minMaxBoxes = look.sizable = false;
        break;
    case BorderStyle::FixedToolWindow:
        look.role = WindowLook::Role::Dialog;
        look.toolTitle = true;
        look.minMaxBoxes = look.sizable = false;
        break;
    }
    if (!layout.controlBox)
        look.closeBox = look.minMaxBoxes = false;
    // No caption and no control box: no title bar at all, only the window's
    // own border.
    if (layout.caption.empty() && !layout.controlBox && layout.borderStyle != BorderStyle::Sizable
        && layout.borderStyle != BorderStyle::None) {
        look.role = WindowLook::Role::Bare;
        look.titleBar = look.toolTitle = look.dialogFrame = false;
        look.raisedBorder = true;
    }
    look.inTaskbar = layout.showInTaskbar;
    return look;
}

Form::Form(std::string name, const FormLayout &layout)
    : m_name(std::move(name)),
      m_layout(layout),
      m_look(lookOf(layout)),
      m_self(std::make_shared<const Form *const>(this)),
      m_native(backend::makeWindow(*this))
{ }

// The controls, members of the derived form, went first; the window goes now.
Form::~Form() = default;

int Form::dpi() const
{
    return backend::dpi(*this);
}

void Form::remove(Control &control)
{
    std::erase(m_controls, &control);
}

void Form::add(CommandButton &button, bool isDefault, bool isCancel)
{
    m_buttons.push_back(&button);
    if (isDefault)
        m_defaultButton = &button;
    if (isCancel)
        m_cancelButton = &button;
}

void Form::remove(MenuItem &item)
{
    std::erase(m_menuItems, &item);
}

std::vector<CommandButton *> Form::tabOrder() const
{
    std::vector<CommandButton *> buttons = m_buttons;
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const CommandButton *a, const CommandButton *b) { return a->tabIndex() < b->tabIndex(); });
    return buttons;
}

MenuItem *Form::shortcut(int key) const
{
    for (MenuItem *item : m_menuItems) {
        if (key && shortcutKey(item->shortcut()) == key)
            return item;
    }
    return nullptr;
}

void Form::load()
{
    backend::windowReady(*this);
    m_loaded = true;
    Form_Load();
}

void Form::release()
{
    m_loaded = false;
    for (Timer *timer : m_timers)
        timer->setEnabled(false);
    backend::hideWindow(*this);
}

void Form::Show()
{
    if (!m_loaded)
        return;
    if (!m_shown) {
        m_shown = true;
        placeOnScreen();
    }
    // Already open or not, it comes to the front.
    backend::showWindow(*this);
}

void Form::placeOnScreen()
{
    const backend::Screen screen = backend::screen(*this);
    switch (m_layout.startUpPosition) {
    case StartUpPosition::Manual:
        // From the top-left corner of the main screen.
        backend::moveWindow(*this,
                            {screen.bounds.left + pixels(m_layout.left), screen.bounds.top + pixels(m_layout.top)});
        break;
    case StartUpPosition::CenterScreen: {
        const Size frame = backend::frameSize(*this);
        const Rect &area = screen.workArea;
        backend::moveWindow(*this,
                            {area.left + (area.width - frame.width) / 2, area.top + (area.height - frame.height) / 2});
        break;
    }
    case StartUpPosition::WindowsDefault:
        break; // where the window system puts it
    }
}

void Form::closeBox()
{
    // The window itself goes with the form.
    if (m_loaded)
        Dispatcher::instance().dispatch(this, [this] { Unload(*this); });
}

void Form::dpiChanged()
{
    for (Control *control : m_controls)
        control->place();
}

bool Form::tab(bool back)
{
    const std::vector<CommandButton *> order = tabOrder();
    if (order.empty())
        return false;
    const Control *focus = backend::focused(*this);
    const auto at =
        std::find_if(order.begin(), order.end(), [focus](const CommandButton *button) { return button == focus; });
    std::size_t index = at == order.end() ? (back ? 0 : order.size() - 1) : std::size_t(at - order.begin());
    for (std::size_t step = 0; step < order.size(); ++step) {
        index = (index + (back ? order.size() - 1 : 1)) % order.size();
        if (order[index]->shown()) {
            backend::focus(*order[index]);
            break;
        }
    }
    return true;
}

bool Form::pressAccessKey(char32_t key)
{
    const auto upper = [](char32_t c) { return c < 128 ? char32_t(std::toupper(int(c))) : c; };
    for (CommandButton *button : tabOrder()) {
        const std::string &caption = button->style().caption;
        for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
            if (caption[i] != '&')
                continue;
            if (caption[i + 1] == '&') { // a plain ampersand
                ++i;
                continue;
            }
            if (upper(char32_t(static_cast<unsigned char>(caption[i + 1]))) == upper(key)) {
                button->click();
                return true;
            }
            break;
        }
    }
    return false;
}

bool Form::pressKey(int keyAscii)
{
    if (!m_layout.keyPreview || !m_loaded)
        return false;
    int key = keyAscii;
    Form_KeyPress(key);
    return key == 0 || !m_loaded;
}

bool Form::stillLoaded(const Watch &watch)
{
    const auto form = watch.lock();
    return form && (*form)->isLoaded();
}

void Unload(Form &form)
{
    Application::instance().unload(form);
}

namespace detail {
void adopt(std::unique_ptr<Form> form, std::function<void()> forget)
{
    Application::instance().adopt(std::move(form), std::move(forget));
}
} // namespace detail

} // namespace forms

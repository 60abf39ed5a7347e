#pragma once
// Forms: windows built from a stored layout, with their one implicit instance.

#include "runtime/dispatcher.h"
#include "runtime/layout.h"
#include "runtime/pixels.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class CommandButton;
class Control;
class Form;
class MenuItem;
class Timer;

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog, FixedToolWindow };
enum class StartUpPosition { Manual, CenterScreen, WindowsDefault };

struct FormLayout
{
    std::string caption {};
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    BorderStyle borderStyle = BorderStyle::Sizable;
    bool controlBox = true;
    bool showInTaskbar = true;
    StartUpPosition startUpPosition = StartUpPosition::WindowsDefault;
    int left = 0; // twips from the screen's top-left, for a manual position
    int top = 0;
    Color backColor = colors::ButtonFace;
    std::vector<std::string> icon {}; // picture names, smallest first
    bool keyPreview = false;
};

// What a form's window is to the desktop, worked out once from its layout:
// every backend shows the same window.
struct WindowLook
{
    // To a screen reader: a main window, a dialog, or a bare panel.
    enum class Role { Frame, Dialog, Bare } role = Role::Frame;
    bool titleBar = true;     // with the caption
    bool toolTitle = false;   // a tool window's small title bar, a close box only
    bool dialogFrame = false; // a fixed dialog's frame
    bool closeBox = true;     // the close box and the window menu
    bool minMaxBoxes = true;
    bool sizable = true;
    // No title bar: only a raised 3-D border round the client area.
    bool raisedBorder = false;
    bool inTaskbar = true;
};

WindowLook lookOf(const FormLayout &layout);

// What a backend keeps behind a form, a control, a timer or a menu: a type
// of its own, derived from this.
struct Native
{
    virtual ~Native() = default;
};

// Anything that holds controls: a form's client area or a frame.
class Container
{
public:
    virtual Form &owner() = 0;

protected:
    ~Container() = default;
};

class Form : public Container, public EventSource
{
public:
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;
    virtual ~Form();

    // Shows the form modeless and brings it to the front.
    void Show();
    bool isLoaded() const { return m_loaded; }

    const std::string &name() const { return m_name; }
    const std::string &caption() const { return m_layout.caption; }
    const FormLayout &storedLayout() const { return m_layout; }
    const WindowLook &look() const { return m_look; }
    Form &owner() override { return *this; }
    Native &native() const { return *m_native; }

    // The DPI the form is laid out at, and twips as its pixels.
    int dpi() const;
    int pixels(double twips) const { return toPixels(twips, dpi()); }

    // What the form holds, as its controls report it.
    void add(Control &control) { m_controls.push_back(&control); }
    void remove(Control &control);
    void add(CommandButton &button, bool isDefault, bool isCancel);
    void add(Timer &timer) { m_timers.push_back(&timer); }
    void add(MenuItem &item) { m_menuItems.push_back(&item); }
    void remove(MenuItem &item);
    const std::vector<Control *> &controls() const { return m_controls; }
    CommandButton *defaultButton() const { return m_defaultButton; }
    CommandButton *cancelButton() const { return m_cancelButton; }
    // The form's buttons in tab order: the first takes the focus.
    std::vector<CommandButton *> tabOrder() const;
    // The menu item whose shortcut is `key`, if any.
    MenuItem *shortcut(int key) const;

    // What the backend reports. The close box unloads the form through the
    // dispatch point. The window's DPI changed: everything is laid out again.
    void closeBox();
    void dpiChanged();
    // Tab and Shift+Tab: the focus to the next shown button in tab order.
    bool tab(bool back);
    // Alt and a button's access key ('&' in its caption) press it.
    bool pressAccessKey(char32_t key);
    // A character key with key preview on: Form_KeyPress sees it first; true
    // when it swallowed the key or unloaded the form.
    bool pressKey(int keyAscii);

    // Whether the form is still loaded after a call that may have unloaded
    // it, and taken the object with it.
    using Watch = std::weak_ptr<const Form *const>;
    Watch watch() const { return m_self; }
    static bool stillLoaded(const Watch &watch);

protected:
    Form(std::string name, const FormLayout &layout);

    virtual void Form_Load() { }
    // With key preview on, every character key reaches the form first. Setting
    // KeyAscii to 0 swallows the key.
    virtual void Form_KeyPress(int &KeyAscii) { (void)KeyAscii; }

private:
    friend class Application; // loads and releases forms

    void load();
    void release(); // hides the window and stops its timers; the object goes later
    void placeOnScreen();

    std::string m_name;
    FormLayout m_layout;
    WindowLook m_look;
    std::shared_ptr<const Form *const> m_self;
    std::unique_ptr<Native> m_native;
    std::vector<Control *> m_controls;
    std::vector<CommandButton *> m_buttons;
    std::vector<Timer *> m_timers;
    std::vector<MenuItem *> m_menuItems;
    CommandButton *m_defaultButton = nullptr;
    CommandButton *m_cancelButton = nullptr;
    bool m_loaded = false;
    bool m_shown = false;
};

namespace detail {
template <class F>
inline F *g_instance = nullptr;
void adopt(std::unique_ptr<Form> form, std::function<void()> forget);
} // namespace detail

// The form's implicit global instance: created and loaded (Form_Load) on first
// use; after it is unloaded the next use makes a fresh one.
template <class F>
F &instance()
{
    if (!detail::g_instance<F>) {
        auto form = std::make_unique<F>();
        F *created = form.get();
        detail::g_instance<F> = created;
        detail::adopt(std::move(form), [created] {
            if (detail::g_instance<F> == created)
                detail::g_instance<F> = nullptr;
        });
    }
    return *detail::g_instance<F>;
}

// The loaded instance, or nullptr; never creates one.
template <class F>
F *loadedInstance()
{
    return detail::g_instance<F>;
}

template <class F>
bool isLoaded()
{
    return detail::g_instance<F> != nullptr;
}

// Destroys the form's window and timers. A form may unload itself from inside
// its own handler: the object itself goes once that handler has returned.
void Unload(Form &form);

} // namespace forms

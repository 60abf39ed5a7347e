#pragma once
// Forms: windows built from a stored layout, with their one implicit instance.

#include "runtime/dispatcher.h"
#include "runtime/layout.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class CommandButton;
class Form;
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
    std::string caption() const;
    Form &owner() override { return *this; }

    // What the windowing system keeps of the form: its window.
    struct Native;
    Native &native() const { return *m_native; }

    // The buttons and timers the form holds, as its controls report them.
    void add(CommandButton &button, bool isDefault, bool isCancel);
    void add(Timer &timer) { m_timers.push_back(&timer); }

    // A character key pressed in the form's window. With key preview on,
    // Form_KeyPress sees it first; true when it swallowed the key.
    bool pressKey(int keyAscii);

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
    // The window's side of loading and releasing: tab order, the first focus
    // and the keys of the default and cancel buttons; hiding.
    void prepareWindow();
    void hideWindow();
    // The form's buttons in tab order: the first takes the focus.
    std::vector<CommandButton *> tabOrder() const;

    std::string m_name;
    FormLayout m_layout;
    std::unique_ptr<Native> m_native;
    std::vector<CommandButton *> m_buttons;
    std::vector<Timer *> m_timers;
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

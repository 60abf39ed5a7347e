#pragma once
// Forms: windows built from a stored layout, with their one implicit instance.

#include "runtime/layout.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace forms {

class CommandButton;
class Form;
class Timer;
class Menu;
class FormWindow;

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
    virtual QWidget *containerWidget() const = 0;
    virtual Form &owner() = 0;

protected:
    ~Container() = default;
};

class Form : public Container
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
    QWidget *window() const;
    QWidget *containerWidget() const override;
    Form &owner() override { return *this; }

protected:
    Form(std::string name, const FormLayout &layout);

    virtual void Form_Load() { }
    // With key preview on, every character key reaches the form first. Setting
    // KeyAscii to 0 swallows the key.
    virtual void Form_KeyPress(int &KeyAscii) { (void)KeyAscii; }

private:
    friend class Application;
    friend class FormWindow;
    friend class KeyPreviewFilter;
    friend class CommandButton;
    friend class Timer;
    friend class Menu;

    void load();
    void release(); // hides the window and stops its timers; the object goes later
    bool keyPress(int keyAscii);
    void placeOnScreen();

    std::string m_name;
    FormLayout m_layout;
    std::unique_ptr<FormWindow> m_window;
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

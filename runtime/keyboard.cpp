#include "runtime/keyboard.h"
#include "runtime/controls.h"
#include "runtime/dispatcher.h"
#include "runtime/form.h"

#include <algorithm>
#include <cctype>

namespace forms {

int shortcutKey(const std::string &shortcut)
{
    if (shortcut.size() < 2 || shortcut.size() > 3 || shortcut[0] != 'F'
        || !std::all_of(shortcut.begin() + 1, shortcut.end(), [](char c) { return std::isdigit(c); }))
        return 0;
    const int number = std::stoi(shortcut.substr(1));
    return number >= 1 && number <= 24 ? keys::F1 + number - 1 : 0;
}

Keyboard &Keyboard::instance()
{
    static Keyboard keyboard;
    return keyboard;
}

bool Keyboard::keyDown(Form &form, int key, bool repeat, bool shift)
{
    if (dropsRepeat(key, repeat))
        return true;
    if (MenuItem *item = form.shortcut(key)) {
        item->pick();
        return true;
    }
    if (key == keys::Enter || key == keys::Escape)
        return pressButton(form, key);
    if (key == keys::Tab)
        return form.tab(shift);
    return false;
}

bool Keyboard::character(Form &form, int keyAscii, int key)
{
    if (!form.storedLayout().keyPreview || !form.isLoaded() || Dispatcher::instance().busy())
        return false;
    bool swallowed = false;
    bool closed = false;
    Dispatcher::instance().dispatch(&form, [&form, keyAscii, &swallowed, &closed] {
        swallowed = form.pressKey(keyAscii);
        closed = !form.isLoaded();
    });
    // The form may be gone by now: only what the handler found is read.
    if (closed)
        m_spent = key;
    return swallowed;
}

bool Keyboard::dropsRepeat(int key, bool repeat)
{
    if (!m_spent || key != m_spent)
        return false;
    if (repeat)
        return true;
    m_spent = 0;
    return false;
}

bool Keyboard::pressButton(Form &form, int key)
{
    CommandButton *button = key == keys::Enter    ? form.defaultButton()
                            : key == keys::Escape ? form.cancelButton()
                                                  : nullptr;
    if (!button)
        return false;
    // The click may unload the form, and the form may go with it before
    // click() returns: afterwards only the watch is asked.
    const Form::Watch watch = form.watch();
    button->click();
    if (!Form::stillLoaded(watch))
        m_spent = key;
    return true;
}

} // namespace forms

#pragma once
// The keyboard as forms see it: menu shortcuts, the default and cancel
// buttons, Tab between the buttons, key preview, and the rule that a key
// which closed its form does nothing more while it is held.

#include <string>

namespace forms {

class Form;

// Keys by their virtual-key codes, the classic runtime's key codes.
namespace keys {
constexpr int Tab = 0x09;
constexpr int Enter = 0x0D;
constexpr int Escape = 0x1B;
constexpr int Space = 0x20;
constexpr int F1 = 0x70; // F2 to F24 follow
} // namespace keys

// The key a menu shortcut names: "F1" to "F24"; 0 for anything else.
int shortcutKey(const std::string &shortcut);

// What a backend reports of the keyboard. A toolkit that routes menu
// shortcuts and Tab itself uses the pieces (dropsRepeat, pressButton,
// character); the others hand every key to keyDown.
class Keyboard
{
public:
    static Keyboard &instance();

    // A key went down in the form's window (`repeat`: the keyboard repeats a
    // held key). True when the runtime took it: a spent key's repeat, a menu
    // shortcut, Enter or Esc for the default or cancel button, Tab.
    bool keyDown(Form &form, int key, bool repeat, bool shift = false);

    // A character key in the form's window, after its keyDown: with key
    // preview the form sees it first. True when the form swallowed it.
    bool character(Form &form, int keyAscii, int key);

    // A key that closed its form has done its work: while it is held, its
    // repeats must not act in the window that takes the form's place (Enter
    // held to skip the splash would shoot). True for such a repeat; a fresh
    // press of the key ends the rule.
    bool dropsRepeat(int key, bool repeat);

    // Enter presses the form's default button, Esc its cancel button; true
    // when the form has one. A key that closes the form this way is spent.
    bool pressButton(Form &form, int key);

    // Forgets a spent key, for a program that starts again from nothing.
    void forget() { m_spent = 0; }

private:
    Keyboard() = default;

    int m_spent = 0;
};

} // namespace forms

#pragma once
// The keyboard's way from Qt to the runtime (Keyboard): character keys for
// key preview, Enter and Esc for the default and cancel buttons, and the
// repeats of a key that closed its form, which are dropped.

#include <initializer_list>

#include <Qt>

class QApplication;

namespace forms {
class Form;
}

namespace forms::qt {

void installKeyPreview(QApplication &app);

// The keys, anywhere in the form's window, that press the button the
// runtime's `key` (keys::Enter, keys::Escape) stands for.
void bindButtonKeys(Form &form, std::initializer_list<Qt::Key> qtKeys, int key);

} // namespace forms::qt

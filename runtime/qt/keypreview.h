#pragma once
// The keyboard as forms see it: character keys reach a form with key preview
// before its controls, and a key whose press closed its form does not act in
// the window that takes the form's place while it is held.

class QApplication;

namespace forms {

void installKeyPreview(QApplication &app);

// The key (a Qt::Key) has just closed its form: its repeats are dropped until
// it is released and pressed again.
void spendKey(int key);

// Forgets a spent key, for a program that starts again from nothing.
void forgetSpentKey();

} // namespace forms

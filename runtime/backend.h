#pragma once
// What the forms runtime asks of the windowing system it runs on, besides the
// forms and controls themselves. The Qt backend (runtime/qt) defines it; a
// backend is chosen when the program is built. Not for game/ or screens/.

#include <functional>
#include <string>

namespace forms::backend {

// Once, when the application object is made.
void prepare();

// Runs the event loop until quit(); returns the code quit() gave it.
int exec();
void quit(int exitCode);

// Calls `call` from the event loop, after the events already waiting.
void post(std::function<void()> call);

// A modal box with the title, the text and one OK button; returns once it
// has been answered.
void messageBox(const std::string &title, const std::string &text);

// Forgets what the backend remembers from one event to the next (a held
// key), for a program that starts again from nothing.
void reset();

} // namespace forms::backend

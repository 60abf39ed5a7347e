#pragma once
// The seam between the forms runtime and the windowing system it runs on:
// every hook a backend provides, and nothing else. A backend (runtime/qt,
// runtime/win32, runtime/null) is this header implemented; KORVO_BACKEND
// chooses one when the program is built. Not for game/ or screens/.
//
// The runtime does its own work first (what a key means, where a window goes,
// how big an auto-sized label is) and calls a hook only for what a toolkit
// alone can do. Positions and sizes are pixels at the form's DPI (dpi()), in
// the form's client area or in the frame that holds the control. A backend
// reports back through the runtime's own members: Form::closeBox and
// dpiChanged, Keyboard, CommandButton::click, Timer::fire, MenuItem::pick.

#include "runtime/controls.h"
#include "runtime/form.h"
#include "runtime/pixels.h"

#include <functional>
#include <memory>
#include <string>

namespace forms {
struct Program;
}

namespace forms::backend {

// The program
int run(int argc, char *argv[], const Program &program,
        const std::function<int()> &runForms);                      // toolkit up, runForms() run; 2 if no desktop
void prepare();                                                     // once, when the application object is made
int exec();                                                         // runs the event loop until quit(); its code
void quit(int exitCode);                                            // makes exec() return exitCode
void post(std::function<void()> call);                              // calls `call` from the loop, after what waits
void messageBox(const std::string &title, const std::string &text); // modal, one OK; returns once answered

// Windows
std::unique_ptr<Native> makeWindow(Form &form); // the form's window, hidden, its client area the layout's size
void windowReady(Form &form);                   // every control made: tab order (Form::tabOrder), first focus
int dpi(const Form &form);                      // the DPI the form's pixels are at
struct Screen
{
    Rect bounds;   // the whole main screen
    Rect workArea; // where windows go, task bars left out
};
Screen screen(const Form &form);            // the main screen, in the form's pixels
Size frameSize(Form &form);                 // the window's size with its title bar and border
void moveWindow(Form &form, Point topLeft); // the window's outer top-left on the screen
void showWindow(Form &form);                // shown or restored, brought to the front and activated
void hideWindow(Form &form);                // hidden
Control *focused(const Form &form);         // the control with the keyboard focus, or nullptr
void focus(Control &control);               // gives the control the keyboard focus

// Controls
std::unique_ptr<Native> makeLabel(Label &label);           // text in the style's font and colours
std::unique_ptr<Native> makeImage(Image &image);           // a picture over what lies beneath
std::unique_ptr<Native> makePictureBox(PictureBox &box);   // a picture in an opaque box, maybe sunken
std::unique_ptr<Native> makeFrame(Frame &frame);           // a captioned group box holding controls
std::unique_ptr<Native> makeButton(CommandButton &button); // a push button that reports click()
std::unique_ptr<Native> makeShape(Shape &shape);           // drawn: shapeOutline, crossHatch
std::unique_ptr<Native> makeLine(Line &line);              // drawn: Line::ends
void place(Control &control, const Rect &rect);            // where it is; an image is drawn there at once
void setVisible(Control &control, bool visible);           // shown or hidden
void setZOrder(Control &control, bool front);              // in front of its siblings or behind them
void setText(Label &label);                                // shows Label::caption
Size measureText(const Label &label, int wrapWidth);       // its caption's size, at least a line high; wrapped if > 0

// Timers and menus
std::unique_ptr<Native> makeTimer(Timer &timer);      // stopped; reports fire()
void startTimer(Timer &timer);                        // a tick every Timer::interval ms from now
void stopTimer(Timer &timer);                         // no tick after it returns
std::unique_ptr<Native> makeMenu(Menu &menu);         // a title on its form's menu bar
std::unique_ptr<Native> makeMenuItem(MenuItem &item); // in its menu, with its shortcut shown; reports pick()
void setChecked(MenuItem &item);                      // shows MenuItem::checked

} // namespace forms::backend

// The seam suite on the null backend: virtual time, records for windows, and
// the DPI from the command line (--dpi=N, 96 unless told).

#include "driver.h"
#include "runtime/application.h"
#include "runtime/null/null.h"

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace forms;

namespace {
int g_dpi = StandardDpi;
}

namespace driver {

void fresh()
{
    Application::instance().reset();
    null::reset();
    null::setScreen({1280, 1024}, g_dpi);
}

int screenDpi()
{
    return g_dpi;
}

int deviceScale()
{
    return 1;
}

void show(Form &form)
{
    form.Show();
}

void activate(Form &form)
{
    null::activate(form);
}

bool isActive(const Form &form)
{
    return null::activeForm() == &form;
}

bool isVisible(const Form &form)
{
    return null::isVisible(form);
}

const Form *activeForm()
{
    return null::activeForm();
}

int openWindows(const std::string &formName)
{
    return null::openWindows(formName);
}

Rect frame(const Form &form)
{
    return null::frame(form);
}

Rect workArea()
{
    return {0, 0, 1280, 1024 - scaled(40, g_dpi)};
}

Size clientSize(const Form &form)
{
    return null::clientSize(form);
}

Rect placed(const Control &control)
{
    return null::rect(control);
}

Point drawnAt(const Image &image)
{
    const Rect rect = null::rect(image);
    return {rect.left, rect.top};
}

bool isVisible(const Control &control)
{
    return null::isVisible(control);
}

bool isChecked(const MenuItem &item)
{
    return null::isChecked(item);
}

const Control *focused()
{
    const Form *form = null::activeForm();
    return form ? null::focusedControl(*form) : nullptr;
}

void press(int key, bool shift)
{
    null::press(key, shift);
}

void hold(int key)
{
    null::keyDown(key);
}

void repeat(int key)
{
    null::keyDown(key, true);
}

void release(int)
{
    // A key going up changes nothing the runtime keeps.
}

void click(CommandButton &button)
{
    null::click(button);
}

void clickAt(Form &form, Point point)
{
    null::clickAt(form, point);
}

void answerBoxes(std::function<void(const std::string &, const std::string &)> read)
{
    null::onMessageBox(std::move(read));
}

void pressBehindBox(Form &form, int key)
{
    // Keys go to the active window, which the box has become.
    (void)form;
    null::press(key);
}

void clickBehindBox(CommandButton &button)
{
    null::click(button);
}

void pick(MenuItem &item)
{
    null::pick(item);
}

void closeBox(Form &form)
{
    null::clickCloseBox(form);
}

void stopTime()
{
    null::holdTicks(true);
}

bool tick(Timer &timer)
{
    if (!null::isTicking(timer))
        return false;
    timer.fire();
    return true;
}

bool isTicking(const Timer &timer)
{
    return null::isTicking(timer);
}

void settle()
{
    null::advance(0);
}

void wait(int ms)
{
    null::advance(ms);
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    for (int waited = 0; waited <= ms; waited += 10) {
        if (done())
            return true;
        null::advance(10);
    }
    return done();
}

} // namespace driver

int main(int argc, char **argv)
{
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0)
            g_dpi = std::atoi(argv[i] + 6);
        else
            rest.push_back(argv[i]);
    }
    doctest::Context context(int(rest.size()), rest.data());
    return context.run();
}

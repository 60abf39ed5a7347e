// The forms' windows on Qt: made, placed, shown and hidden as the runtime
// asks, and the keyboard focus.

#include "runtime/backend.h"
#include "runtime/keyboard.h"
#include "runtime/qt/formwindow.h"
#include "runtime/qt/keypreview.h"
#include "runtime/qt/native.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace forms {

namespace qt {

FormNative::~FormNative() = default;

QWidget *window(const Form &form)
{
    return &formWindow(form);
}

FormWindow &formWindow(const Form &form)
{
    return *static_cast<FormNative &>(form.native()).window;
}

QWidget *client(const Form &form)
{
    return formWindow(form).client();
}

QWidget *client(const Container &container)
{
    if (const auto *frame = dynamic_cast<const Frame *>(&container))
        return widget(*frame);
    return client(static_cast<const Form &>(container));
}

namespace {

Rect toRect(const QRect &rect)
{
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

} // namespace

} // namespace qt

namespace backend {

using namespace qt;

std::unique_ptr<Native> makeWindow(Form &form)
{
    auto native = std::make_unique<FormNative>();
    native->window = std::make_unique<FormWindow>(form);
    return native;
}

void windowReady(Form &form)
{
    // Tab order and the first focus follow the controls' tab indexes.
    const std::vector<CommandButton *> buttons = form.tabOrder();
    for (size_t i = 1; i < buttons.size(); ++i)
        QWidget::setTabOrder(widget(*buttons[i - 1]), widget(*buttons[i]));
    if (!buttons.empty())
        widget(*buttons.front())->setFocus(Qt::OtherFocusReason);
    if (form.defaultButton())
        bindButtonKeys(form, {Qt::Key_Return, Qt::Key_Enter}, keys::Enter);
    if (form.cancelButton())
        bindButtonKeys(form, {Qt::Key_Escape}, keys::Escape);
}

int dpi(const Form &)
{
    return StandardDpi;
}

Screen screen(const Form &)
{
    const QScreen *main = QGuiApplication::primaryScreen();
    if (!main)
        return {};
    return {toRect(main->geometry()), toRect(main->availableGeometry())};
}

Size frameSize(Form &form)
{
    QWidget *window = qt::window(form);
    window->adjustSize();
    // Before the window is first mapped the frame is not known yet.
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    return {size.width(), size.height()};
}

void moveWindow(Form &form, Point topLeft)
{
    QWidget *window = qt::window(form);
    window->adjustSize(); // the layout's size before the window system sees it
    window->move(topLeft.x, topLeft.y);
}

void showWindow(Form &form)
{
    QWidget *window = qt::window(form);
    if (window->isVisible())
        window->raise(); // already open: bring it to the front
    else
        window->show();
    // Where the compositor alone decides what comes forward (Wayland) this is
    // all a program can do: ask for the window to be activated. Qt passes the
    // request on, with an activation token where it has one.
    window->activateWindow();
}

void hideWindow(Form &form)
{
    window(form)->hide();
}

Control *focused(const Form &form)
{
    const QWidget *focus = QApplication::focusWidget();
    for (Control *control : form.controls()) {
        if (widget(*control) == focus)
            return control;
    }
    return nullptr;
}

void focus(Control &control)
{
    widget(control)->setFocus(Qt::TabFocusReason);
}

} // namespace backend
} // namespace forms

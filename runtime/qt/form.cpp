#include "runtime/form.h"
#include "runtime/controls.h"
#include "runtime/qt/formwindow.h"
#include "runtime/qt/keypreview.h"
#include "runtime/qt/look.h"
#include "runtime/qt/native.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShortcut>

namespace forms {

namespace {

void placeOnScreen(QWidget &window, const FormLayout &layout)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window.adjustSize();
    switch (layout.startUpPosition) {
    case StartUpPosition::Manual:
        window.move(screen->geometry().topLeft() + QPoint(toPixels(layout.left), toPixels(layout.top)));
        break;
    case StartUpPosition::CenterScreen: {
        const QSize size = window.frameGeometry().size().expandedTo(window.size());
        window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        break;
    }
    case StartUpPosition::WindowsDefault:
        break;
    }
}

} // namespace

Form::Form(std::string name, const FormLayout &layout)
    : m_name(std::move(name)),
      m_layout(layout),
      m_native(std::make_unique<Native>())
{
    m_native->window = std::make_unique<FormWindow>(*this, layout);
}

Form::~Form() = default;

std::string Form::caption() const
{
    return m_native->window->windowTitle().toStdString();
}

void Form::prepareWindow()
{
    // Tab order and the first focus follow the controls' tab indexes.
    const std::vector<CommandButton *> buttons = tabOrder();
    for (size_t i = 1; i < buttons.size(); ++i)
        QWidget::setTabOrder(qt::widget(*buttons[i - 1]), qt::widget(*buttons[i]));
    if (!buttons.empty())
        qt::widget(*buttons.front())->setFocus(Qt::OtherFocusReason);

    // Enter presses the default button from anywhere in the window, Esc the
    // cancel button. A key that closes the form this way has done its work,
    // as one that closes it through key preview has.
    const auto bind = [this](CommandButton *button, std::initializer_list<Qt::Key> keys) {
        if (!button)
            return;
        for (Qt::Key key : keys) {
            auto *shortcut = new QShortcut(QKeySequence(key), m_native->window.get());
            shortcut->setContext(Qt::WindowShortcut);
            QObject::connect(shortcut, &QShortcut::activated, shortcut, [this, shortcut, button, key] {
                // The click may unload the form, and the form may go with it
                // (its window and this shortcut too) before click() returns.
                const QPointer<QShortcut> stays(shortcut);
                button->click();
                if (!stays || !m_loaded)
                    spendKey(key);
            });
        }
    };
    bind(m_defaultButton, {Qt::Key_Return, Qt::Key_Enter});
    bind(m_cancelButton, {Qt::Key_Escape});
}

void Form::hideWindow()
{
    m_native->window->hide();
}

void Form::Show()
{
    if (!m_loaded)
        return;
    FormWindow &window = *m_native->window;
    if (!m_shown) {
        m_shown = true;
        placeOnScreen(window, m_layout);
    }
    if (window.isVisible())
        window.raise(); // already open: bring it to the front
    else
        window.show();
    // Where the compositor alone decides what comes forward (Wayland) this is
    // all a program can do: ask for the window to be activated. Qt passes the
    // request on, with an activation token where it has one.
    window.activateWindow();
}

namespace qt {

QWidget *window(const Form &form)
{
    return form.native().window.get();
}

QWidget *client(const Form &form)
{
    return form.native().window->client();
}

QWidget *client(const Container &container)
{
    if (const auto *frame = dynamic_cast<const Frame *>(&container))
        return widget(*frame);
    return client(static_cast<const Form &>(container));
}

} // namespace qt

} // namespace forms

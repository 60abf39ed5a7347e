#include "runtime/form.h"
#include "runtime/application.h"
#include "runtime/basic.h"
#include "runtime/controls.h"
#include "runtime/formwindow.h"
#include "runtime/widgets.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace forms {

Form::Form(std::string name, const FormLayout &layout)
    : m_name(std::move(name)), m_layout(layout), m_window(std::make_unique<FormWindow>(*this, layout))
{
}

Form::~Form() = default;

QWidget *Form::window() const
{
    return m_window.get();
}

QWidget *Form::containerWidget() const
{
    return m_window->client();
}

std::string Form::caption() const
{
    return m_window->windowTitle().toStdString();
}

void Form::load()
{
    // Tab order and the first focus follow the controls' tab indexes.
    std::vector<CommandButton *> buttons = m_buttons;
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const CommandButton *a, const CommandButton *b) { return a->tabIndex() < b->tabIndex(); });
    for (size_t i = 1; i < buttons.size(); ++i)
        QWidget::setTabOrder(buttons[i - 1]->widget(), buttons[i]->widget());
    if (!buttons.empty())
        buttons.front()->widget()->setFocus(Qt::OtherFocusReason);

    // Enter presses the default button from anywhere in the window, Esc the
    // cancel button.
    const auto bind = [this](CommandButton *button, std::initializer_list<Qt::Key> keys) {
        if (!button)
            return;
        for (Qt::Key key : keys) {
            auto *shortcut = new QShortcut(QKeySequence(key), m_window.get());
            shortcut->setContext(Qt::WindowShortcut);
            QObject::connect(shortcut, &QShortcut::activated, shortcut, [button] { button->click(); });
        }
    };
    bind(m_defaultButton, {Qt::Key_Return, Qt::Key_Enter});
    bind(m_cancelButton, {Qt::Key_Escape});

    m_loaded = true;
    Form_Load();
}

void Form::release()
{
    m_loaded = false;
    for (Timer *timer : m_timers)
        timer->setEnabled(false);
    m_window->hide();
}

bool Form::keyPress(int keyAscii)
{
    if (!m_layout.keyPreview || !m_loaded)
        return false;
    int key = keyAscii;
    Form_KeyPress(key);
    return key == 0 || !m_loaded;
}

void Form::placeOnScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    m_window->adjustSize();
    switch (m_layout.startUpPosition) {
    case StartUpPosition::Manual:
        m_window->move(screen->geometry().topLeft() + QPoint(toPixels(m_layout.left), toPixels(m_layout.top)));
        break;
    case StartUpPosition::CenterScreen: {
        const QSize size = m_window->frameGeometry().size().expandedTo(m_window->size());
        m_window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        break;
    }
    case StartUpPosition::WindowsDefault:
        break;
    }
}

void Form::Show()
{
    if (!m_loaded)
        return;
    if (!m_shown) {
        m_shown = true;
        placeOnScreen();
    }
    if (m_window->isVisible())
        m_window->raise(); // already open: bring it to the front
    else
        m_window->show();
    // Where the compositor alone decides what comes forward (Wayland) this is
    // all a program can do: ask for the window to be activated. Qt passes the
    // request on, with an activation token where it has one.
    m_window->activateWindow();
}

void Unload(Form &form)
{
    Application::instance().unload(form);
}

namespace detail {
void adopt(std::unique_ptr<Form> form, std::function<void()> forget)
{
    Application::instance().adopt(std::move(form), std::move(forget));
}
} // namespace detail


} // namespace forms

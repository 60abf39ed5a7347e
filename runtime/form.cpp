#include "runtime/form.h"
#include "runtime/application.h"
#include "runtime/controls.h"

#include <algorithm>

namespace forms {

void Form::add(CommandButton &button, bool isDefault, bool isCancel)
{
    m_buttons.push_back(&button);
    if (isDefault)
        m_defaultButton = &button;
    if (isCancel)
        m_cancelButton = &button;
}

std::vector<CommandButton *> Form::tabOrder() const
{
    std::vector<CommandButton *> buttons = m_buttons;
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const CommandButton *a, const CommandButton *b) { return a->tabIndex() < b->tabIndex(); });
    return buttons;
}

void Form::load()
{
    prepareWindow();
    m_loaded = true;
    Form_Load();
}

void Form::release()
{
    m_loaded = false;
    for (Timer *timer : m_timers)
        timer->setEnabled(false);
    hideWindow();
}

bool Form::pressKey(int keyAscii)
{
    if (!m_layout.keyPreview || !m_loaded)
        return false;
    int key = keyAscii;
    Form_KeyPress(key);
    return key == 0 || !m_loaded;
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

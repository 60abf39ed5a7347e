#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/form.h"
#include "runtime/keyboard.h"

#include <algorithm>

namespace forms {

const AppInfo &App()
{
    static const AppInfo info {KORVO_VERSION_MAJOR, KORVO_VERSION_MINOR, KORVO_VERSION_PATCH, "Korvo"};
    return info;
}

void MsgBox(const std::string &text)
{
    Application::instance().messageBox(text);
}

void End()
{
    Application::instance().end(0);
}

int run(int argc, char *argv[], const Program &program, const Handler &startup)
{
    return backend::run(argc, argv, program, [&startup] { return Application::instance().run(startup); });
}

Application &Application::instance()
{
    static Application application;
    return application;
}

Application::Application()
{
    backend::prepare();
}

int Application::run(const Handler &startup)
{
    Dispatcher::instance().dispatch(nullptr, startup);
    if (!m_ended && m_loaded.empty())
        end(0);
    if (!m_ended) {
        m_running = true;
        const int code = backend::exec();
        m_running = false;
        if (!m_ended)
            m_exitCode = code;
    }
    reset();
    return m_exitCode;
}

void Application::end(int exitCode)
{
    if (m_ended)
        return;
    m_ended = true;
    m_exitCode = exitCode;
    Dispatcher::instance().clear();
    while (!m_loaded.empty())
        unload(*m_loaded.back().form);
    if (m_running)
        backend::quit(exitCode);
}

std::vector<Form *> Application::loadedForms() const
{
    std::vector<Form *> forms;
    for (const auto &loaded : m_loaded)
        forms.push_back(loaded.form.get());
    return forms;
}

void Application::messageBox(const std::string &text)
{
    // The box is a handler's wait: nothing else runs until it is answered.
    Dispatcher::Busy busy(Dispatcher::Then::RunHeldSoon);
    const std::string &title = App().Title;
    if (m_messageBoxHook)
        m_messageBoxHook(title, text);
    else
        backend::messageBox(title, text);
}

void Application::fail(const std::string &message)
{
    try {
        messageBox(message);
    } catch (...) {
        // The report must not fail the report.
    }
    end(1);
}

void Application::adopt(std::unique_ptr<Form> form, std::function<void()> forget)
{
    Form *created = form.get();
    m_loaded.push_back({std::move(form), std::move(forget)});
    created->load();
}

void Application::unload(Form &form)
{
    auto found = std::find_if(m_loaded.begin(), m_loaded.end(),
                              [&form](const Loaded &loaded) { return loaded.form.get() == &form; });
    if (found == m_loaded.end())
        return;
    Loaded loaded = std::move(*found);
    m_loaded.erase(found);
    loaded.forget();
    loaded.form->release();
    // The form may be unloading itself from one of its own handlers: the
    // object goes once no handler runs.
    m_unloaded.push_back(std::move(loaded.form));
    scheduleEndCheck();
}

void Application::handlersDone()
{
    collectGarbage();
    if (m_endCheckWanted)
        scheduleEndCheck();
}

void Application::scheduleEndCheck()
{
    m_endCheckWanted = true;
    // While a handler runs (perhaps waiting in a message box for as long as
    // the player likes) the check waits for it to return instead of polling.
    if (m_endCheckPosted || Dispatcher::instance().busy())
        return;
    m_endCheckPosted = true;
    backend::post([generation = m_generation] {
        Application &app = Application::instance();
        if (generation != app.m_generation)
            return;
        app.m_endCheckPosted = false;
        if (Dispatcher::instance().busy())
            return; // handlersDone() posts it again
        app.m_endCheckWanted = false;
        app.collectGarbage();
        // The program runs while a form is loaded.
        if (app.m_loaded.empty() && !app.m_ended)
            app.end(0);
    });
}

void Application::collectGarbage()
{
    if (!Dispatcher::instance().busy())
        m_unloaded.clear();
}

void Application::reset()
{
    {
        Dispatcher::Busy busy(Dispatcher::Then::Nothing); // no handler runs while everything goes
        Dispatcher::instance().clear();
        while (!m_loaded.empty())
            unload(*m_loaded.back().form);
    }
    m_unloaded.clear();
    ++m_generation;
    Keyboard::instance().forget();
    m_endCheckWanted = false;
    m_endCheckPosted = false;
    m_ended = false;
    m_exitCode = 0;
    m_messageBoxHook = nullptr;
}

} // namespace forms

#include "runtime/dispatcher.h"
#include "runtime/application.h"
#include "runtime/backend.h"
#include "runtime/basic.h"

#include <algorithm>

namespace forms {

Dispatcher &Dispatcher::instance()
{
    static Dispatcher dispatcher;
    return dispatcher;
}

void Dispatcher::dispatch(const EventSource *source, Handler handler, const void *key)
{
    if (Application::instance().hasEnded() || !handler)
        return;
    if (m_depth > 0) {
        if (key && std::any_of(m_held.begin(), m_held.end(), [key](const Held &held) { return held.key == key; }))
            return;
        m_held.push_back({source, std::move(handler), key});
        return;
    }
    Busy busy;
    run(handler);
}

void Dispatcher::run(Handler &handler)
{
    // Errors stop here: they must never cross the toolkit's event loop.
    try {
        handler();
    } catch (const RuntimeError &error) {
        Application::instance().fail("Error '" + std::to_string(error.number()) + "' en tiempo de ejecución:\n\n"
                                     + error.what());
    } catch (const std::exception &error) {
        Application::instance().fail(std::string("Error en tiempo de ejecución:\n\n") + error.what());
    } catch (...) {
        Application::instance().fail("Error en tiempo de ejecución.");
    }
}

void Dispatcher::forget(const EventSource *source)
{
    std::erase_if(m_held, [source](const Held &held) { return held.source == source; });
}

void Dispatcher::clear()
{
    m_held.clear();
}

void Dispatcher::handlersDone()
{
    while (m_depth == 0 && !Application::instance().hasEnded() && !m_held.empty()) {
        Held next = std::move(m_held.front());
        m_held.erase(m_held.begin());
        dispatch(next.source, std::move(next.handler), next.key);
    }
    if (m_depth == 0)
        Application::instance().handlersDone();
}

Dispatcher::Busy::Busy(Then then) : m_then(then)
{
    ++Dispatcher::instance().m_depth;
}

Dispatcher::Busy::~Busy()
{
    Dispatcher &dispatcher = Dispatcher::instance();
    if (--dispatcher.m_depth > 0 || m_then == Then::Nothing)
        return;
    if (m_then == Then::RunHeld) {
        dispatcher.handlersDone();
    } else if (!dispatcher.m_held.empty() || Application::instance().hasWorkWhenIdle()) {
        backend::post([] {
            if (!Dispatcher::instance().busy())
                Dispatcher::instance().handlersDone();
        });
    }
}

} // namespace forms

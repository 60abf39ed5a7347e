#pragma once
// The one dispatch point every event handler runs through: one handler at a
// time, and an error a handler does not trap is reported and ends the program.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

using Handler = std::function<void()>;

class EventSource;

class Dispatcher
{
public:
    static Dispatcher &instance();

    // Runs the handler now, or, while another handler runs (even one waiting
    // in a message box), once that has returned. A handler held back with a
    // key is held once: a timer's ticks wait as one. A handler from a source
    // (the control or form it belongs to) is dropped if the source goes
    // first.
    void dispatch(const EventSource *source, Handler handler, const void *key = nullptr);

    bool busy() const { return m_depth > 0; }

    // While a Busy lives the runtime counts as running a handler. When the
    // last goes, what was held back runs: at once, soon from the event loop,
    // or, while everything is being taken down, never.
    enum class Then { RunHeld, RunHeldSoon, Nothing };
    class Busy
    {
    public:
        explicit Busy(Then then = Then::RunHeld);
        ~Busy();
        Busy(const Busy &) = delete;
        Busy &operator=(const Busy &) = delete;

    private:
        Then m_then;
    };

    // Drops everything held back.
    void clear();

private:
    Dispatcher() = default;
    friend class EventSource;
    // The source is going: nothing it asked for may run any more.
    void forget(const EventSource *source);

    struct Held
    {
        const EventSource *source;
        Handler handler;
        const void *key;
    };
    void run(Handler &handler);
    void handlersDone();

    std::vector<Held> m_held;
    int m_depth = 0;
};

// Where events come from: a form, a control, a timer, a menu item. When it
// goes, what it asked for and has not yet run goes with it.
class EventSource
{
protected:
    EventSource() = default;
    ~EventSource() { Dispatcher::instance().forget(this); }
};

} // namespace forms

#pragma once
// The application object and the services every form may call: message
// boxes, End, and the one dispatch point that runs every event handler.

#include "runtime/controls.h"
#include "runtime/form.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QObject;

namespace forms {

class KeyPreviewFilter;

struct AppInfo
{
    int Major;
    int Minor;
    int Revision;
    std::string Title;
};

// The application object: version and title.
const AppInfo &App();

// A modal message box with the application's title and one OK button; returns
// once the player has pressed OK.
void MsgBox(const std::string &text);

// Ends the program at once: no further events, every window gone.
void End();

class Application
{
public:
    static Application &instance();

    // Runs an event handler through the one dispatch point: one handler at a
    // time, and an error it does not trap is reported and ends the program.
    // While a handler runs (even waiting in a message box) later events are
    // held back; those with the same key wait only once.
    void raise(QObject *source, Handler handler, const void *key = nullptr);

    // Loads the start-up form through the dispatch point and runs the event
    // loop until the program ends. Returns the exit code.
    int run(const Handler &startup);

    void end(int exitCode);
    bool hasEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }
    bool busy() const { return m_depth > 0; }
    std::vector<Form *> loadedForms() const;

    // Tests can answer message boxes themselves: the hook receives the title
    // and the text instead of a real box being shown. Pass nullptr to restore.
    using MessageBoxHook = std::function<void(const std::string &title, const std::string &text)>;
    void setMessageBoxHook(MessageBoxHook hook) { m_messageBoxHook = std::move(hook); }
    void messageBox(const std::string &text);

    // Unloads every form and forgets that the program ended, so the next test
    // starts from nothing.
    void reset();

    void adopt(std::unique_ptr<Form> form, std::function<void()> forget);
    void unload(Form &form);
    void collectGarbage();

private:
    Application();
    struct Deferred;
    void drain();
    // Runs what waited for the last handler to return.
    void handlersDone();
    void report(const std::string &message);
    void scheduleEndCheck();

    struct Loaded
    {
        std::unique_ptr<Form> form;
        std::function<void()> forget;
    };
    std::vector<Loaded> m_loaded;
    std::vector<std::unique_ptr<Form>> m_unloaded;
    std::vector<std::unique_ptr<Deferred>> m_deferred;
    MessageBoxHook m_messageBoxHook;
    KeyPreviewFilter *m_keys = nullptr; // owned by the QApplication
    int m_depth = 0;
    int m_generation = 0;
    int m_exitCode = 0;
    bool m_ended = false;
    bool m_running = false;
    bool m_endCheckWanted = false; // a form unloaded since the last check
    bool m_endCheckPosted = false;
};

} // namespace forms

#pragma once
// The application object: the program's forms, from the start-up form to the
// end, and the services every form may call: message boxes, App and End.

#include "runtime/dispatcher.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class Form;

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

// Who the program is to the desktop.
struct Program
{
    std::string name;      // "Korvo Game": the task bar's and a screen reader's name
    std::string desktopId; // the desktop entry's name, without ".desktop"
};

// Starts the forms runtime on the desktop's windowing system, loads the
// start-up form and runs until the program ends; returns the exit code.
// Without a desktop to show windows on it says so in one line and returns 2.
int run(int argc, char *argv[], const Program &program, const Handler &startup);

class Application
{
public:
    static Application &instance();

    // Loads the start-up form through the dispatch point and runs the event
    // loop until the program ends. Returns the exit code.
    int run(const Handler &startup);

    void end(int exitCode);
    bool hasEnded() const { return m_ended; }
    int exitCode() const { return m_exitCode; }
    std::vector<Form *> loadedForms() const;

    // Tests can answer message boxes themselves: the hook receives the title
    // and the text instead of a real box being shown. Pass nullptr to restore.
    using MessageBoxHook = std::function<void(const std::string &title, const std::string &text)>;
    void setMessageBoxHook(MessageBoxHook hook) { m_messageBoxHook = std::move(hook); }
    void messageBox(const std::string &text);

    // An error no handler trapped: reported in a box, then the program ends
    // with exit code 1.
    void fail(const std::string &message);

    // Unloads every form and forgets that the program ended, so the next test
    // starts from nothing.
    void reset();

    void adopt(std::unique_ptr<Form> form, std::function<void()> forget);
    void unload(Form &form);

    // What waits for no handler to be running: the objects of unloaded forms
    // go, and the program ends if no form is left.
    void handlersDone();
    bool hasWorkWhenIdle() const { return m_endCheckWanted; }

private:
    Application();
    void scheduleEndCheck();
    void collectGarbage();

    struct Loaded
    {
        std::unique_ptr<Form> form;
        std::function<void()> forget;
    };
    std::vector<Loaded> m_loaded;
    std::vector<std::unique_ptr<Form>> m_unloaded;
    MessageBoxHook m_messageBoxHook;
    int m_generation = 0;
    int m_exitCode = 0;
    bool m_ended = false;
    bool m_running = false;
    bool m_endCheckWanted = false; // a form unloaded since the last check
    bool m_endCheckPosted = false;
};

} // namespace forms

// Starting the forms runtime on Windows, where there is always a desktop to
// show windows on.

#include "runtime/application.h"

namespace forms {

int run(int argc, char *argv[], const Program &program, const Handler &startup)
{
    // The window titles and the task bar name the program; nothing else
    // here needs the command line.
    (void)argc;
    (void)argv;
    (void)program;
    return Application::instance().run(startup);
}

} // namespace forms

// Starting the forms runtime on Windows, where there is always a desktop to
// show windows on.

#include "runtime/backend.h"

namespace forms::backend {

int run(int, char *[], const Program &, const std::function<int()> &runForms)
{
    // The window titles and the task bar name the program; nothing else
    // here needs the command line.
    return runForms();
}

} // namespace forms::backend

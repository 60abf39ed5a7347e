// Korvo Game: starts the forms runtime on the start-up form.

#include "game/frmsplash.h"
#include "runtime/application.h"

int main(int argc, char *argv[])
{
    const forms::Program program {.name = "Korvo Game", .desktopId = KORVO_APP_ID};
    return forms::run(argc, argv, program, [] { forms::instance<frmSplash>().Show(); });
}

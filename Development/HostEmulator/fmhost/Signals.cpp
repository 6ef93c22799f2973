#include "fmhost/Signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace fmhost
{
namespace
{
volatile sig_atomic_t gInterrupted = 0;
volatile sig_atomic_t gTerminated = 0;
volatile sig_atomic_t gInterruptEndsInput = 0;

// A signal that lands between the last check of the flags and the read of the next line would leave that read
// waiting for ever; reading from /dev/null from then on makes it end at once, wherever the signal lands.
void endInput()
{
    int saved = errno;
    int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (null >= 0)
    {
        dup2(null, STDIN_FILENO);
        close(null);
    }
    errno = saved;
}

void onSignal(int signal)
{
    if (signal == SIGINT)
        gInterrupted = 1;
    else
        gTerminated = 1;
    // At a terminal Ctrl-C only abandons the line being typed.
    if (signal != SIGINT || gInterruptEndsInput)
        endInput();
}
} // namespace

void installStopHandlers()
{
    gInterruptEndsInput = isatty(STDIN_FILENO) ? 0 : 1;
    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() { return gInterrupted != 0 || gTerminated != 0; }

bool takeInterrupt()
{
    bool interrupted = gInterrupted != 0;
    gInterrupted = 0;
    return interrupted;
}
} // namespace fmhost

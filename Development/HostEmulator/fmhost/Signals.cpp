#include "fmhost/Signals.h"

#include <signal.h>

namespace fmhost
{
namespace
{
volatile sig_atomic_t gInterrupted = 0;
volatile sig_atomic_t gTerminated = 0;

void onSignal(int signal)
{
    if (signal == SIGINT)
        gInterrupted = 1;
    else
        gTerminated = 1;
}
} // namespace

void installStopHandlers()
{
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

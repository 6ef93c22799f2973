// Ctrl-C and termination requests. Outside the prompt they stop fmhost after the calculation in progress, so that
// the plug-in still gets its shutdown message.
#pragma once

namespace fmhost
{
// Installs the handlers without SA_RESTART, so that a read waiting for input returns at once; a termination request
// (and Ctrl-C when the input is not a terminal) also ends the input, so that no later read can wait.
void installStopHandlers();
bool stopRequested();
// The prompt turns Ctrl-C into "abandon this input"; it takes the request back with this.
bool takeInterrupt();
} // namespace fmhost

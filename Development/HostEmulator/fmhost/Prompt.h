// Reading calculations from standard input: the interactive prompt on a terminal, line by line otherwise.
#pragma once

#include "fmhost/ScriptReader.h"

#include <functional>

namespace fmhost
{
// Reads calculations and command lines from standard input and hands each to `run` as soon as it is complete.
// On a terminal: line editing and history (~/.fmhost_history) when fmhost is built with libedit; a calculation goes
// on while a parenthesis, bracket or quote is open; Ctrl-C abandons the input, Ctrl-D ends. Otherwise the input is
// read as a script, so that another program can drive fmhost line by line.
void readStandardInput(const std::function<void(const ScriptItem &)> &run);
} // namespace fmhost

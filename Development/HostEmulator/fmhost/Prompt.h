// Reading calculations from standard input: the interactive prompt on a terminal, line by line otherwise.
#pragma once

#include "fmhost/ScriptReader.h"

#include <functional>
#include <string>

namespace fmhost
{
// Runs one item; false when fmhost is to stop reading (:quit).
using ItemRunner = std::function<bool(const ScriptItem &)>;

// Reads calculations and command lines from standard input and hands each to `run` as soon as it is complete.
// On a terminal: the prompt "<location>> " (location() names the current session and file), line editing and
// history (~/.fmhost_history) when fmhost is built with libedit; a calculation goes on while a parenthesis, bracket
// or quote is open; Ctrl-C abandons the input, Ctrl-D ends. Otherwise the input is read as a script, so that another
// program can drive fmhost line by line. Answers whether it was the prompt.
bool readStandardInput(const ItemRunner &run, const std::function<std::string()> &location);
} // namespace fmhost

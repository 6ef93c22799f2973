// The :vars listing: a session's variables as FileMaker's Data Viewer shows them.
#pragma once

#include "FMHost/Host.h"

#include <string>
#include <utility>
#include <vector>

namespace fmhost
{
// One line per variable that holds a value (FileMaker clears a variable set to empty): its name, then its value in
// a column of its own, a value of several lines going on under that column. Global ($$) variables come before local
// ($) ones, each sorted by name without regard to case, repetitions in their order ($x, $x[2], $x[10]). Empty when
// no variable holds a value.
std::string variableList(const std::vector<std::pair<std::string, FMHost::Result>> &variables);
} // namespace fmhost

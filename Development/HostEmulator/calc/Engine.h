// The calculation engine's entry points beyond emu::Evaluate (core/Evaluate.h), for fmhost and tests.
#pragma once

#include "calc/CalcErrors.h"

#include <string>

namespace emu::calc
{
// What Get ( ApplicationVersion ) answers and what fmhost announces to a plug-in at initialisation.
inline constexpr char16_t kApplicationVersion[] = u"Server 21.0.1";

// The failure of the last evaluation on this thread that did not succeed, with a message for people.
const Failure &lastFailure();
void resetLastFailure();

// Parsed calculations kept per session; beyond this many distinct texts the cache starts afresh.
constexpr std::size_t kParseCacheLimit = 512;
} // namespace emu::calc

#ifndef VANTREL_HOST_RESULTLIMITS_H
#define VANTREL_HOST_RESULTLIMITS_H

#include <cstdint>

namespace fmlib
{
// The longest text a function writes into its result: far beyond any text a calculation uses (256 MB of UTF-16).
// A function whose result would be longer gives up with an error instead of exhausting the server.
constexpr std::uint64_t kLongestResultText = std::uint64_t(1) << 27;
}

#endif

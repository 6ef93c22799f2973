#pragma once

#include <string>

namespace slib {

// Answers of the look-ups when they fail; they are handed to the calculation as the result text.
extern const char* const kCannotRetrieveIP;
extern const char* const kInvalidIPAddress;
extern const char* const kCannotGetHostInfo;

// First IPv4 address of a host name (or of an address in numbers-and-dots form), dotted.
// Returns kCannotRetrieveIP when the name has no IPv4 address.
std::string IPForName(const std::string& name);

// Host name of an IPv4 address in any numbers-and-dots form ("127.1" is 127.0.0.1).
// An address without a name comes back in dotted form. Returns kInvalidIPAddress for a text
// that is no IPv4 address (255.255.255.255 included), kCannotGetHostInfo when the look-up fails.
std::string NameForIP(const std::string& address);

}  // namespace slib

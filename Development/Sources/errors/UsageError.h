#ifndef VANTREL_ERRORS_USAGEERROR_H
#define VANTREL_ERRORS_USAGEERROR_H

#include <stdexcept>
#include <string>

namespace vtl
{
// Thrown by an external function's work when the caller used it wrongly (too few arguments, unknown selector, ...).
// The function guard turns it into the result -50 and records the message as the last error.
class cUsageError : public std::runtime_error
{
public:
    explicit cUsageError(const std::string &message) : std::runtime_error(message) {}
    explicit cUsageError(const char *message) : std::runtime_error(message) {}
};
}

#endif

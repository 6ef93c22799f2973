#ifndef VANTREL_REGEX_CREGEXPERROR_H
#define VANTREL_REGEX_CREGEXPERROR_H

#include <stdexcept>

namespace vtl {

// Raised for a pattern that cannot be compiled and for a match the engine gives
// up on (limits). Its text is what the user reads as the last-error message.
class cRegExpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vtl

#endif

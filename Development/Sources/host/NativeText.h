#ifndef VANTREL_HOST_NATIVETEXT_H
#define VANTREL_HOST_NATIVETEXT_H

#include <cstddef>
#include <string>

#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXText.h"

// The bytes of text in the host's native encoding, as they fit into a buffer of bufferSize bytes with its
// terminating NUL (a longer text is cut), up to the first zero byte. For functions that hand a text argument
// to the operating system as a C string.
std::string NativeBytesFromFmText(const fmx::Text &text, std::size_t bufferSize);

#endif

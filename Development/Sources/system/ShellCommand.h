#pragma once

#include <cstddef>

namespace slib {

// Size of the buffer that receives a shell command's output; the output keeps at most
// kShellBufferSize - 2 bytes.
constexpr std::size_t kShellBufferSize = 8192;

// Runs `command` through the system shell and leaves what it wrote to its standard output in
// `buffer`, NUL-terminated, at most size - 2 bytes of it (the rest is not read). Standard error
// is not collected. Returns 0 when the command could be started, -1 when it could not
// (the buffer is then empty). Blocks until the command closes its standard output and ends.
int perform_shell_command_and_get_result(const char* command, char* buffer, std::size_t size);

}  // namespace slib

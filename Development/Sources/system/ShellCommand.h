#pragma once

#include <chrono>
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

// How a shell command's run ended.
enum class eShellEnd {
    kNotStarted,
    kEnded,      // its output ended and it exited
    kTimeLimit,  // the time limit ended it: what it wrote until then is in the buffer
};

// Time a command gets, after the time limit's SIGTERM, before its process group gets SIGKILL.
constexpr std::chrono::milliseconds kShellGrace{2000};

// The same run, with a time limit when limit > 0: the command then runs in a process group of its own; when the
// limit passes before its output has ended and it has exited, the group gets SIGTERM, then SIGKILL after grace,
// and the command is reaped. Without a limit, exactly perform_shell_command_and_get_result.
eShellEnd RunShellCommand(const char* command, char* buffer, std::size_t size, std::chrono::milliseconds limit,
                          std::chrono::milliseconds grace = kShellGrace);

}  // namespace slib

#include "ShellCommand.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace slib {

int perform_shell_command_and_get_result(const char* command, char* buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0)
        return -1;
    std::memset(buffer, 0, size);
    if (command == nullptr || size < 2)
        return -1;

    FILE* pipe = popen(command, "re");  // "e": the pipe is not inherited by other children
    if (pipe == nullptr)
        return -1;

    const std::size_t limit = size - 2;
    std::size_t collected = 0;
    while (collected < limit) {
        errno = 0;
        const std::size_t count = std::fread(buffer + collected, 1, limit - collected, pipe);
        collected += count;
        if (count > 0)
            continue;
        // A signal handled by the server interrupted the read: the output has not ended.
        if (std::ferror(pipe) && errno == EINTR) {
            std::clearerr(pipe);
            continue;
        }
        break;  // end of the output, or a read error
    }
    // Waits for the command to end; a command still writing after the limit gets a broken pipe.
    pclose(pipe);
    return 0;
}

}  // namespace slib

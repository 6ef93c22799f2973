#include "ShellCommand.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace slib {

namespace {

// Closes a descriptor once, on every path.
class cDescriptor {
public:
    explicit cDescriptor(int fd = -1) : fd_(fd) {}
    ~cDescriptor() { reset(); }
    cDescriptor(const cDescriptor&) = delete;
    cDescriptor& operator=(const cDescriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

// Moves a new descriptor above the standard ones, so that placing the pipe at 1 in the child is always a real dup2
// (which drops close-on-exec), even in a server started with 0, 1 or 2 closed.
int AboveStandard(int fd)
{
    if (fd < 0 || fd > STDERR_FILENO)
        return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    close(fd);
    return moved;
}

bool OpenPipe(cDescriptor& readEnd, cDescriptor& writeEnd)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    readEnd.reset(AboveStandard(ends[0]));
    writeEnd.reset(AboveStandard(ends[1]));
    return readEnd.get() >= 0 && writeEnd.get() >= 0;
}

using Clock = std::chrono::steady_clock;

// The command starts as from a login shell would, not as a copy of the server: every signal at its default
// action (a server ignores SIGPIPE, which would keep a command writing into the closed pipe forever), nothing
// blocked, and no descriptor of the server besides 1 (the pipe) and 2. Its standard input is /dev/null: a command
// that reads input ends instead of waiting on whatever the server's standard input is. ownGroup: it leads a process
// group of its own, so that a time limit can end it with everything it started.
class cSpawnSettings {
public:
    cSpawnSettings(int writeEnd, bool ownGroup)
    {
        const short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | (ownGroup ? POSIX_SPAWN_SETPGROUP : 0);
        attributesReady_ = posix_spawnattr_init(&attributes_) == 0;
        actionsReady_ = posix_spawn_file_actions_init(&actions_) == 0;
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        ready_ = attributesReady_ && actionsReady_ && posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
                 posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
                 posix_spawnattr_setpgroup(&attributes_, 0) == 0 && posix_spawnattr_setflags(&attributes_, flags) == 0 &&
                 posix_spawn_file_actions_adddup2(&actions_, writeEnd, STDOUT_FILENO) == 0 &&
                 posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
                 posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0;
    }
    ~cSpawnSettings()
    {
        if (actionsReady_)
            posix_spawn_file_actions_destroy(&actions_);
        if (attributesReady_)
            posix_spawnattr_destroy(&attributes_);
    }
    cSpawnSettings(const cSpawnSettings&) = delete;
    cSpawnSettings& operator=(const cSpawnSettings&) = delete;

    bool ready() const { return ready_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }
    const posix_spawn_file_actions_t* actions() const { return &actions_; }

private:
    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
    bool attributesReady_ = false;
    bool actionsReady_ = false;
    bool ready_ = false;
};

// Milliseconds from now to deadline for poll: at least 0, rounded up so that a wait never ends early.
int MillisecondsTo(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

// Collects at most `limit` bytes; returns when the output ends, the limit is reached or the pipe fails, and with a
// deadline also when it passes (then true).
bool ReadOutput(int fd, char* buffer, std::size_t limit, const Clock::time_point* deadline)
{
    std::size_t collected = 0;
    while (collected < limit) {
        if (deadline != nullptr) {
            pollfd entry{fd, POLLIN, 0};
            const int wait = MillisecondsTo(*deadline);
            const int ready = wait > 0 ? poll(&entry, 1, wait) : 0;
            if (ready == 0)
                return true;
            if (ready < 0) {
                // Never a read that could block past the deadline: try again, the deadline still bounds it.
                if (errno != EINTR)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                continue;
            }
        }
        const ssize_t got = read(fd, buffer + collected, limit - collected);
        if (got > 0)
            collected += static_cast<std::size_t>(got);
        else if (got < 0 && errno == EINTR)
            continue;  // a signal handled by the server: the output has not ended
        else
            break;
    }
    return false;
}

void Reap(pid_t child)
{
    // ECHILD: the server reaps its children itself (SIGCHLD ignored), so nothing is left to wait for.
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

// Calls done() in short, growing pauses until it is true (then true) or the deadline passes (then false).
template <class Done>
bool PollUntil(Clock::time_point deadline, Done done)
{
    for (auto pause = std::chrono::milliseconds(1);; pause = std::min(pause * 2, std::chrono::milliseconds(50))) {
        if (done())
            return true;
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return false;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, left));
    }
}

// Reaps the child if it has ended; true once it is reaped (or the server reaps its children itself).
bool ReapIfEnded(pid_t child)
{
    for (;;) {
        const pid_t got = waitpid(child, nullptr, WNOHANG);
        if (got != 0 && !(got < 0 && errno == EINTR))
            return true;  // reaped, or ECHILD
        if (got == 0)
            return false;
    }
}

// The child leads the group (its id is the group's id): the command and everything it started, unless it left.
// The group gets SIGTERM; what is left of it after the grace gets SIGKILL. The group's id stays taken while any
// member lives, so signalling it after the child is reaped reaches no one else. The members the shell left behind
// are reaped by whoever adopted them; until then they count as alive, so the last wait is short.
void EndGroup(pid_t child, std::chrono::milliseconds grace)
{
    kill(-child, SIGTERM);
    bool reaped = false;
    const bool ended = PollUntil(Clock::now() + grace, [&] {
        reaped = reaped || ReapIfEnded(child);
        return reaped && kill(-child, 0) != 0;
    });
    if (ended)
        return;
    kill(-child, SIGKILL);
    if (!reaped)
        Reap(child);
    PollUntil(Clock::now() + std::chrono::milliseconds(250), [&] { return kill(-child, 0) != 0; });
}

}  // namespace

int perform_shell_command_and_get_result(const char* command, char* buffer, std::size_t size)
{
    return RunShellCommand(command, buffer, size, std::chrono::milliseconds(0)) == eShellEnd::kNotStarted ? -1 : 0;
}

eShellEnd RunShellCommand(const char* command, char* buffer, std::size_t size, std::chrono::milliseconds limit,
                          std::chrono::milliseconds grace)
{
    if (buffer == nullptr || size == 0)
        return eShellEnd::kNotStarted;
    std::memset(buffer, 0, size);
    if (command == nullptr || size < 2)
        return eShellEnd::kNotStarted;

    const bool limited = limit > std::chrono::milliseconds(0);
    const Clock::time_point deadline = Clock::now() + limit;
    cDescriptor readEnd, writeEnd;
    if (!OpenPipe(readEnd, writeEnd))
        return eShellEnd::kNotStarted;
    const cSpawnSettings settings(writeEnd.get(), limited);
    if (!settings.ready())
        return eShellEnd::kNotStarted;

    char shell[] = "/bin/sh";
    char option[] = "-c";
    char* const argv[] = {shell, option, const_cast<char*>(command), nullptr};
    pid_t child = -1;
    if (posix_spawn(&child, shell, settings.actions(), settings.attributes(), argv, environ) != 0)
        return eShellEnd::kNotStarted;
    writeEnd.reset();  // the command holds the only write end now: its exit ends the output

    bool timedOut = ReadOutput(readEnd.get(), buffer, size - 2, limited ? &deadline : nullptr);
    // A command still writing after the buffer is full now gets SIGPIPE (at its default action) and ends.
    readEnd.reset();
    if (!limited) {
        Reap(child);
        return eShellEnd::kEnded;
    }
    // The output has ended: the command still has until the deadline to exit.
    if (!timedOut && PollUntil(deadline, [&] { return ReapIfEnded(child); }))
        return eShellEnd::kEnded;
    EndGroup(child, grace);
    return eShellEnd::kTimeLimit;
}

}  // namespace slib

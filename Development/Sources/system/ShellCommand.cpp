#include "ShellCommand.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
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

// The command starts as from a login shell would, not as a copy of the server: every signal at its default
// action (a server ignores SIGPIPE, which would keep a command writing into the closed pipe forever), nothing
// blocked, and no descriptor of the server besides 0, 1 (the pipe) and 2.
class cSpawnSettings {
public:
    explicit cSpawnSettings(int writeEnd)
    {
        attributesReady_ = posix_spawnattr_init(&attributes_) == 0;
        actionsReady_ = posix_spawn_file_actions_init(&actions_) == 0;
        sigset_t all, none;
        sigfillset(&all);
        sigemptyset(&none);
        ready_ = attributesReady_ && actionsReady_ && posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
                 posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
                 posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK) == 0 &&
                 posix_spawn_file_actions_adddup2(&actions_, writeEnd, STDOUT_FILENO) == 0 &&
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

// Collects at most `limit` bytes; returns when the output ends, the limit is reached or the pipe fails.
std::size_t ReadOutput(int fd, char* buffer, std::size_t limit)
{
    std::size_t collected = 0;
    while (collected < limit) {
        const ssize_t got = read(fd, buffer + collected, limit - collected);
        if (got > 0)
            collected += static_cast<std::size_t>(got);
        else if (got < 0 && errno == EINTR)
            continue;  // a signal handled by the server: the output has not ended
        else
            break;
    }
    return collected;
}

void Reap(pid_t child)
{
    // ECHILD: the server reaps its children itself (SIGCHLD ignored), so nothing is left to wait for.
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

int perform_shell_command_and_get_result(const char* command, char* buffer, std::size_t size)
{
    if (buffer == nullptr || size == 0)
        return -1;
    std::memset(buffer, 0, size);
    if (command == nullptr || size < 2)
        return -1;

    cDescriptor readEnd, writeEnd;
    if (!OpenPipe(readEnd, writeEnd))
        return -1;
    const cSpawnSettings settings(writeEnd.get());
    if (!settings.ready())
        return -1;

    char shell[] = "/bin/sh";
    char option[] = "-c";
    char* const argv[] = {shell, option, const_cast<char*>(command), nullptr};
    pid_t child = -1;
    if (posix_spawn(&child, shell, settings.actions(), settings.attributes(), argv, environ) != 0)
        return -1;
    writeEnd.reset();  // the command holds the only write end now: its exit ends the output

    ReadOutput(readEnd.get(), buffer, size - 2);
    // A command still writing after the limit now gets SIGPIPE (at its default action) and ends.
    readEnd.reset();
    Reap(child);
    return 0;
}

}  // namespace slib

#pragma once

// A private mount namespace for the whole test process and the fmhost it starts, set up before main() runs (it
// needs a single-threaded process and root):
// - /dev is a copy of the usual device nodes plus a socket of the test's own at /dev/log, so that what the plug-in
//   sends to the system journal is read back here and never reaches the machine's journal;
// - an empty tmpfs lies over the production allow-list's folder, which the test may fill.
// Without root (or without namespaces) nothing changes and the tests that need it skip.

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace mounttest {

inline const std::string kProductionFolder = "/opt/FileMaker/FileMaker Server/Data/Zeq";
inline const std::string kProductionAllowList = kProductionFolder + "/zeqPluginsAllowedFunctions.txt";

struct cMounts {
    int journal = -1;         // the socket at /dev/log, or -1
    bool production = false;  // the production folder is a private tmpfs
};

inline bool bindOnto(const std::string& source, const std::string& target, bool directory)
{
    struct stat info;
    if (::lstat(source.c_str(), &info) != 0)
        return true;  // not on this machine: nothing to copy
    if (S_ISLNK(info.st_mode)) {
        char link[256] = {};
        const ssize_t size = ::readlink(source.c_str(), link, sizeof link - 1);
        return size > 0 && ::symlink(link, target.c_str()) == 0;
    }
    const bool made = directory ? ::mkdir(target.c_str(), 0755) == 0 : ::close(::open(target.c_str(), O_CREAT | O_WRONLY, 0600)) == 0;
    return made && ::mount(source.c_str(), target.c_str(), nullptr, MS_BIND | MS_REC, nullptr) == 0;
}

// A datagram socket bound in a fresh folder; its path goes to `path`.
inline int boundSocket(std::string& path)
{
    char folder[] = "/tmp/vantrel-journalXXXXXX";
    if (::mkdtemp(folder) == nullptr)
        return -1;
    path = std::string(folder) + "/log";
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    return fd;
}

// /dev rebuilt on a tmpfs from the real nodes the tests and the commands they run use, plus the journal socket.
inline int privateDev()
{
    std::string socketPath;
    const int fd = boundSocket(socketPath);
    char staging[] = "/tmp/vantrel-devXXXXXX";
    if (fd < 0 || ::mkdtemp(staging) == nullptr || ::mount("tmpfs", staging, "tmpfs", 0, "mode=0755") != 0)
        return -1;
    const std::string to(staging);
    bool copied = true;
    for (const char* node : {"null", "zero", "full", "random", "urandom", "tty", "ptmx", "fd", "stdin", "stdout", "stderr"})
        copied = copied && bindOnto(std::string("/dev/") + node, to + "/" + node, false);
    for (const char* folder : {"pts", "shm"})
        copied = copied && bindOnto(std::string("/dev/") + folder, to + "/" + folder, true);
    copied = copied && bindOnto(socketPath, to + "/log", false);
    const bool mounted = copied && ::mount(staging, "/dev", nullptr, MS_BIND | MS_REC, nullptr) == 0;
    // The mounts keep what they hold: the staging folders and the socket's name go again.
    ::umount2(staging, MNT_DETACH);
    ::rmdir(staging);
    ::unlink(socketPath.c_str());
    ::rmdir(socketPath.substr(0, socketPath.rfind('/')).c_str());
    if (!mounted) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// An empty tmpfs over the deepest folder on the way to the production folder that exists (never the root), and
// the rest of the way made in it.
inline bool privateProductionFolder()
{
    std::string existing = kProductionFolder;
    struct stat info;
    while (existing.size() > 1 && ::stat(existing.c_str(), &info) != 0)
        existing = existing.substr(0, existing.rfind('/'));
    if (existing.size() <= 1 || ::mount("tmpfs", existing.c_str(), "tmpfs", 0, "mode=0755") != 0)
        return false;
    for (std::size_t slash = existing.size(); slash != std::string::npos; slash = kProductionFolder.find('/', slash + 1))
        ::mkdir(kProductionFolder.substr(0, slash).c_str(), 0755);
    ::mkdir(kProductionFolder.c_str(), 0755);
    return ::stat(kProductionFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

inline cMounts privateMounts()
{
    cMounts mounts;
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return mounts;
    mounts.journal = privateDev();
    mounts.production = privateProductionFolder();
    return mounts;
}

inline const cMounts gMounts = privateMounts();

// Every datagram that reaches /dev/log within `wait` milliseconds after the first, or none after `wait`.
inline std::vector<std::string> journalLines(int wait = 1000)
{
    std::vector<std::string> lines;
    for (;;) {
        pollfd entry{gMounts.journal, POLLIN, 0};
        if (gMounts.journal < 0 || ::poll(&entry, 1, lines.empty() ? wait : 100) <= 0)
            return lines;
        char buffer[4096];
        const ssize_t size = ::recv(gMounts.journal, buffer, sizeof buffer, 0);
        if (size < 0)
            return lines;
        lines.emplace_back(buffer, static_cast<std::size_t>(size));
    }
}

// The text of a line after its "Vantrel[PID]: " tag; the whole line, marked, when it has no such tag.
inline std::string journalText(const std::string& line)
{
    const std::size_t tag = line.find(" Vantrel[");
    const std::size_t end = tag == std::string::npos ? tag : line.find("]: ", tag);
    return end == std::string::npos ? "untagged: " + line : line.substr(end + 3);
}

inline std::vector<std::string> journalTexts(int wait = 1000)
{
    std::vector<std::string> texts;
    for (const std::string& line : journalLines(wait))
        texts.push_back(journalText(line));
    return texts;
}

// Drops whatever earlier tests sent.
inline void forgetJournalLines()
{
    journalLines(0);
}

}  // namespace mounttest

#define REQUIRE_PRIVATE_JOURNAL()                                                                          \
    do {                                                                                                   \
        if (mounttest::gMounts.journal < 0)                                                                \
            GTEST_SKIP() << "needs a private mount namespace (root) with a socket of its own at /dev/log"; \
    } while (0)

#define REQUIRE_PRIVATE_PRODUCTION_FOLDER()                                                              \
    do {                                                                                                 \
        if (mounttest::gMounts.journal < 0 || !mounttest::gMounts.production)                            \
            GTEST_SKIP() << "needs a private mount namespace (root) over the production allow-list's folder"; \
    } while (0)

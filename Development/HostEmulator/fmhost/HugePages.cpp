#include "fmhost/HugePages.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace fmhost
{
namespace
{
constexpr const char *kTunables = "GLIBC_TUNABLES";
constexpr const char *kHugeTlb = "glibc.malloc.hugetlb";
// Carries the caller's own setting across the restart, so that it can be put back for the processes fmhost starts.
constexpr const char *kSaved = "FMHOST_SAVED_GLIBC_TUNABLES";
constexpr const char *kUnset = "\x01unset";

void restore(const char *tunables)
{
    if (tunables)
        setenv(kTunables, tunables, 1);
    else
        unsetenv(kTunables);
    unsetenv(kSaved);
}

// Only where huge pages are given on request does asking make a difference.
bool hugePagesOnRequest()
{
    std::ifstream policy("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(policy, text);
    return text.find("[madvise]") != std::string::npos;
}

// A tool that runs fmhost in its own loader (valgrind) must not see it start another program, and a sanitizer's
// allocator reads no such setting; FMHOST_HUGE_PAGES=0 leaves fmhost as started.
bool restartWanted()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr bool sanitized = true;
#else
    constexpr bool sanitized = false;
#endif
    const char *preload = std::getenv("LD_PRELOAD");
    const char *choice = std::getenv("FMHOST_HUGE_PAGES");
    return !sanitized && !(preload && std::string(preload).find("vgpreload") != std::string::npos) &&
           !(choice && std::string(choice) == "0") && hugePagesOnRequest();
}
} // namespace

void preferHugePages(char **argv)
{
    if (const char *saved = std::getenv(kSaved))
    {
        // This is the restarted process: the C library has read its setting, the environment gets the caller's.
        const std::string before = saved;
        restore(before == kUnset ? nullptr : before.c_str());
        return;
    }
    const char *tunables = std::getenv(kTunables);
    const std::string before = tunables ? tunables : "";
    // A caller who chose a huge-page policy keeps it.
    if (before.find(kHugeTlb) != std::string::npos || !restartWanted())
        return;
    const std::string wanted = (before.empty() ? "" : before + ":") + kHugeTlb + "=1";
    if (setenv(kSaved, tunables ? before.c_str() : kUnset, 1) == 0 && setenv(kTunables, wanted.c_str(), 1) == 0)
        execv("/proc/self/exe", argv);
    // Not restarted (no /proc, say): go on as started, with the caller's environment.
    restore(tunables ? before.c_str() : nullptr);
}
} // namespace fmhost

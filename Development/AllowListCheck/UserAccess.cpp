#include "UserAccess.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace vtl
{
namespace
{
std::string UserName(uid_t uid)
{
    const struct passwd *entry = ::getpwuid(uid);
    return entry != nullptr ? entry->pw_name : std::to_string(uid);
}

std::string GroupName(gid_t gid)
{
    const struct group *entry = ::getgrgid(gid);
    return entry != nullptr ? entry->gr_name : std::to_string(gid);
}

bool HasAcl(const std::string &path)
{
    return ::getxattr(path.c_str(), "system.posix_acl_access", nullptr, 0) >= 0;
}

// "/", "/a", "/a/b" for "/a/b/c": the folders on the way to an absolute path.
std::vector<std::string> Folders(const std::string &path)
{
    std::vector<std::string> folders{"/"};
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (path[slash - 1] != '/')
            folders.push_back(path.substr(0, slash));
    return folders;
}

std::string Absolute(const std::string &path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    std::unique_ptr<char, decltype(&std::free)> here(::getcwd(nullptr, 0), &std::free);
    return here != nullptr ? std::string(here.get()) + "/" + path : path;
}
}

cUserAccess::cUserAccess(const std::string &user) : user_(user)
{
    const struct passwd *entry = ::getpwnam(user.c_str());
    if (entry == nullptr)
        return;
    found_ = true;
    uid_ = entry->pw_uid;
    int count = 16;
    groups_.resize(count);
    while (::getgrouplist(user.c_str(), entry->pw_gid, groups_.data(), &count) < 0)
        groups_.resize(count *= 2);
    groups_.resize(count);
}

std::string cUserAccess::describe() const
{
    std::string text = user_ + " (uid " + std::to_string(uid_) + ", groups";
    for (const gid_t group : groups_)
        text += " " + GroupName(group);
    return text + ")";
}

// Owner, then group, then others: the first class the user belongs to decides, as in the kernel.
bool cUserAccess::permits(const struct stat &info, mode_t ownerBit) const
{
    if (uid_ == 0)
        return true;
    if (info.st_uid == uid_)
        return (info.st_mode & ownerBit) != 0;
    for (const gid_t group : groups_)
        if (info.st_gid == group)
            return (info.st_mode & (ownerBit >> 3)) != 0;
    return (info.st_mode & (ownerBit >> 6)) != 0;
}

cUserAccess::cStep cUserAccess::examine(const std::string &path, bool last) const
{
    cStep step;
    step.path = path;
    step.file = last;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
    {
        step.hidden = errno == EACCES;
        step.problem = errno == ENOENT ? "missing" : std::string("cannot be examined: ") + std::strerror(errno);
        return step;
    }
    step.owner = UserName(info.st_uid);
    step.group = GroupName(info.st_gid);
    step.mode = info.st_mode;
    step.acl = HasAcl(path);
    step.found = last ? S_ISREG(info.st_mode) : S_ISDIR(info.st_mode);
    if (!step.found)
    {
        step.problem = last ? "not a regular file" : "not a folder";
        return step;
    }
    step.allowed = permits(info, last ? S_IRUSR : S_IXUSR);
    if (!step.allowed)
        step.problem = user_ + (last ? " may not read it" : " may not search it (enter it)");
    return step;
}

std::vector<cUserAccess::cStep> cUserAccess::walk(const std::string &path) const
{
    const std::string absolute = Absolute(path);
    std::vector<std::string> folders = Folders(absolute);
    char real[PATH_MAX];
    if (::realpath(absolute.c_str(), real) != nullptr && absolute != real)
    {
        const std::set<std::string> seen(folders.begin(), folders.end());
        for (const std::string &folder : Folders(real))
            if (seen.count(folder) == 0)
                folders.push_back(folder);
    }
    std::vector<cStep> steps;
    for (const std::string &folder : folders)
    {
        steps.push_back(examine(folder, false));
        if (!steps.back().found)
            return steps;
    }
    steps.push_back(examine(absolute, true));
    return steps;
}
}

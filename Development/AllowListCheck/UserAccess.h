#ifndef VANTREL_ALLOWLISTCHECK_USERACCESS_H
#define VANTREL_ALLOWLISTCHECK_USERACCESS_H

#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

namespace vtl
{
// What a user's processes may do along a path, judged from owners, groups and mode bits as the kernel judges them.
// An access control list can change the answer; each place that has one is pointed out.
class cUserAccess
{
public:
    // One folder on the way to the file, or the file itself (the last step).
    struct cStep
    {
        std::string path;
        bool file = false;        // the last step: the file itself
        std::string owner, group; // names, or numbers where the system has no name
        mode_t mode = 0;
        bool found = false;   // it exists, and is a folder (a regular file for the last step)
        bool allowed = false; // the user may search the folder (read the file)
        bool acl = false;     // it has an access control list
        bool hidden = false;  // this process may not look at it, so nothing is known
        std::string problem;  // why not found or not allowed
    };

    // Looks the user up; found() is false when the system has no such user.
    explicit cUserAccess(const std::string &user);
    bool found() const { return found_; }
    // "fmserver (uid 998, groups fmsadmin fmserver)"
    std::string describe() const;

    // Every folder from / down to the file, then the file. A path through symbolic links also walks the folders
    // of the path they lead to.
    std::vector<cStep> walk(const std::string &path) const;

private:
    bool permits(const struct stat &info, mode_t ownerBit) const;
    cStep examine(const std::string &path, bool last) const;

    std::string user_;
    bool found_ = false;
    uid_t uid_ = 0;
    std::vector<gid_t> groups_;
};
}

#endif

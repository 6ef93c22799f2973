// The client sessions fmhost plays: the first one, with every --file open, and those the :session command starts.
#pragma once

#include "FMHost/Host.h"
#include "fmhost/Options.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fmhost
{
class Sessions
{
public:
    // Files named by --file are known to every session: opening one anywhere backs it with its SQLite database.
    explicit Sessions(std::vector<HostedFileOption> knownFiles);
    ~Sessions();
    Sessions(const Sessions &) = delete;
    Sessions &operator=(const Sessions &) = delete;

    // Starts the first session with every --file open. False with a message when a database cannot be read.
    bool start(std::string &error);

    FMHost::Session &current() { return *sessions_[current_].second; }
    const std::string &currentName() const { return sessions_[current_].first; }

    // Makes session `name` current, starting it on first use, and opens `files` in it; the first of them becomes
    // the calling file.
    bool switchTo(const std::string &name, const std::vector<std::string> &files, std::string &error);
    // Closes a file of the current session.
    bool close(const std::string &file, std::string &error);
    // Ends the current session (its files close) and returns to the first one. Ending the first session starts it
    // afresh, as at start.
    bool endCurrent(std::string &error);
    // Ends every session, as the host does before it shuts its plug-ins down.
    void endAll();

    static const char *firstSessionName() { return "main"; }

private:
    bool open(FMHost::Session &session, const std::string &file, std::string &error);

    std::vector<HostedFileOption> known_;
    std::vector<std::pair<std::string, std::unique_ptr<FMHost::Session>>> sessions_; // the first one first
    std::size_t current_ = 0;
};
} // namespace fmhost

#include "fmhost/Sessions.h"

#include <unistd.h>

namespace fmhost
{
Sessions::Sessions(std::vector<HostedFileOption> knownFiles) : known_(std::move(knownFiles)) {}

Sessions::~Sessions() { endAll(); }

bool Sessions::open(FMHost::Session &session, const std::string &file, std::string &error)
{
    const std::string name = hostedFileName(file);
    if (name.empty())
    {
        error = "a file name is empty";
        return false;
    }
    std::string sqlitePath;
    for (const HostedFileOption &known : known_)
        if (known.name == name)
            sqlitePath = known.sqlitePath;
    if (!sqlitePath.empty() && access(sqlitePath.c_str(), R_OK) != 0)
    {
        error = "cannot read SQLite database " + sqlitePath + " for file " + name;
        return false;
    }
    session.OpenFile(name, sqlitePath);
    return true;
}

bool Sessions::start(std::string &error)
{
    if (sessions_.empty())
        sessions_.emplace_back(firstSessionName(), nullptr);
    sessions_.front().second = std::make_unique<FMHost::Session>();
    current_ = 0;
    for (const HostedFileOption &file : known_)
        if (!open(current(), file.name, error))
            return false;
    return true;
}

bool Sessions::switchTo(const std::string &name, const std::vector<std::string> &files, std::string &error)
{
    std::size_t index = 0;
    while (index < sessions_.size() && sessions_[index].first != name)
        ++index;
    if (index == sessions_.size())
        sessions_.emplace_back(name, std::make_unique<FMHost::Session>());
    current_ = index;
    FMHost::Session &session = current();
    for (const std::string &file : files)
        if (!open(session, file, error))
            return false;
    if (!files.empty())
        session.SetCallingFile(hostedFileName(files.front()));
    return true;
}

bool Sessions::close(const std::string &file, std::string &error)
{
    if (current().CloseFile(hostedFileName(file)))
        return true;
    error = "no file " + file + " is open in session " + currentName();
    return false;
}

bool Sessions::endCurrent(std::string &error)
{
    if (current_ == 0)
    {
        sessions_.front().second.reset();
        return start(error);
    }
    sessions_.erase(sessions_.begin() + static_cast<std::ptrdiff_t>(current_));
    current_ = 0;
    return true;
}

void Sessions::endAll()
{
    // The others first, in the order they started; the first session last.
    while (sessions_.size() > 1)
        sessions_.erase(sessions_.begin() + 1);
    sessions_.clear();
    current_ = 0;
}
} // namespace fmhost

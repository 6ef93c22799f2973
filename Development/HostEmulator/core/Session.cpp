#include "core/Session.h"

#include "core/PluginMessages.h"
#include "sql/FileSql.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace emu {
namespace {

std::atomic<uint64_t> gNextSessionId{1};
thread_local Environment *tCurrentEnvironment = nullptr;

// A hosted file has one id on the whole host, whichever session opens it: the id of its name.
uint64_t hostedFileId(std::u16string_view name)
{
    static std::mutex lock;
    static std::unordered_map<std::u16string, uint64_t> ids;
    std::lock_guard<std::mutex> guard(lock);
    return ids.emplace(ToLowerCopy(name), ids.size() + 1).first->second;
}

} // namespace

Session::Session() : id_(gNextSessionId.fetch_add(1)), env_(std::make_unique<Environment>(*this)) {}

Session::~Session()
{
    // The session's files close, then the session ends: what the host tells plug-ins when a client leaves.
    while (!files_.empty())
        CloseFile(files_.back().name);
    SendSessionShutdown(id_);
}

const Value *Session::FindVariable(std::u16string_view name) const
{
    const auto it = variables_.find(ToLowerCopy(name));
    return it == variables_.end() ? nullptr : &it->second.value;
}

Value &Session::Variable(std::u16string_view name)
{
    NamedValue &variable = variables_[ToLowerCopy(name)];
    if (variable.name.empty())
        variable.name = name;
    return variable.value;
}

bool Session::RemoveVariable(std::u16string_view name) { return variables_.erase(ToLowerCopy(name)) != 0; }

void Session::OpenFile(const std::u16string &name, const std::string &sqlitePath)
{
    // Opened first: a database that cannot be opened throws and leaves the session as it was.
    std::shared_ptr<cSqlDatabase> database = sqlitePath.empty() ? nullptr : OpenFileDatabase(sqlitePath);
    for (auto &f : files_)
        if (EqualIgnoringCase(f.name, name))
        {
            f.sqlitePath = sqlitePath;
            f.database = std::move(database);
            return;
        }
    files_.push_back(HostedFile{name, sqlitePath, hostedFileId(name), std::move(database)});
    if (callingFileId_ == 0)
        callingFileId_ = files_.back().id;
}

bool Session::CloseFile(std::u16string_view name)
{
    const auto it = std::find_if(files_.begin(), files_.end(), [&](const HostedFile &f) { return EqualIgnoringCase(f.name, name); });
    if (it == files_.end())
        return false;
    const uint64_t fileId = it->id;
    files_.erase(it);
    if (fileId == callingFileId_)
        callingFileId_ = files_.empty() ? 0 : files_.front().id;
    SendFileShutdown(id_, fileId);
    return true;
}

const HostedFile *Session::FindFile(std::u16string_view name) const
{
    for (const auto &f : files_)
        if (EqualIgnoringCase(f.name, name))
            return &f;
    return nullptr;
}

const HostedFile *Session::CallingFile() const
{
    for (const auto &f : files_)
        if (f.id == callingFileId_)
            return &f;
    return nullptr;
}

bool Session::SetCallingFile(std::u16string_view name)
{
    const HostedFile *f = FindFile(name);
    if (!f)
        return false;
    callingFileId_ = f->id;
    return true;
}

Environment::Environment() : owned_(std::make_unique<Session>()) { session_ = owned_.get(); }

Environment::~Environment() = default;

Environment *CurrentEnvironment() { return tCurrentEnvironment; }

EnvironmentScope::EnvironmentScope(Environment &env) : previous_(tCurrentEnvironment) { tCurrentEnvironment = &env; }

EnvironmentScope::~EnvironmentScope() { tCurrentEnvironment = previous_; }

} // namespace emu

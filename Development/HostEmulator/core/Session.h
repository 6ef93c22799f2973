// Sessions and environments. A session is one client of the emulated host: it has its own $ and $$ variables,
// its hosted files and the calling file. A session belongs to one thread at a time; different sessions may be
// used on different threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Value.h"

namespace emu {

class Environment;
class cSqlDatabase;

struct HostedFile
{
    std::u16string name;
    std::string sqlitePath;  // empty: the file has no SQL database
    uint64_t id = 0;  // the same for every session that opens the file
    std::shared_ptr<cSqlDatabase> database;  // open while the file is (sql/FileSql.h: OpenFileDatabase)
};

class Session
{
public:
    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    uint64_t Id() const { return id_; }

    // Variables by name including their "$" or "$$" prefix; names compare without regard to case.
    // Both kinds live as long as the session.
    const Value *FindVariable(std::u16string_view name) const;
    Value &Variable(std::u16string_view name);  // creates an empty one when unset
    bool RemoveVariable(std::u16string_view name);
    void ClearVariables() { variables_.clear(); }
    // Calls `visit` with each variable's name, spelt as when it was first set ("$x[2]" for a repetition), and its
    // value; in no particular order.
    template <class Visit> void ForEachVariable(Visit &&visit) const
    {
        for (const auto &entry : variables_)
            visit(entry.second.name, entry.second.value);
    }

    // Hosted files, in opening order. The first file opened becomes the calling file. A file backed by an SQLite
    // database opens it now and throws std::runtime_error when it cannot.
    void OpenFile(const std::u16string &name, const std::string &sqlitePath = std::string());
    // Names compare without regard to case. Attached plug-ins are told (core/PluginMessages.h), and when the session
    // ends, of every file still open and then of the session's end.
    bool CloseFile(std::u16string_view name);
    const std::vector<HostedFile> &Files() const { return files_; }
    const HostedFile *FindFile(std::u16string_view name) const;
    const HostedFile *CallingFile() const;
    bool SetCallingFile(std::u16string_view name);

    // The environment of calls made in this session.
    Environment &Env() { return *env_; }

    // Storage the calculation engine may keep per session (e.g. parsed calculations), so that it needs no lock.
    std::shared_ptr<void> &CalcState() { return calcState_; }

private:
    uint64_t id_;
    struct NamedValue
    {
        std::u16string name;  // as first written
        Value value;
    };
    std::unordered_map<std::u16string, NamedValue> variables_;  // key: lower-cased name
    std::vector<HostedFile> files_;
    uint64_t callingFileId_ = 0;
    std::unique_ptr<Environment> env_;
    std::shared_ptr<void> calcState_;
};

// What fmx::ExprEnv points at: the session a call runs in.
class Environment
{
public:
    explicit Environment(Session &session) : session_(&session) {}
    // An environment a plug-in creates on its own gets a private session.
    Environment();
    ~Environment();

    Session &GetSession() const { return *session_; }
    // Makes this environment refer to another session (the host's "current environment" callback).
    void Attach(Session &session)
    {
        if (&session == session_)
            return;
        session_ = &session;
        owned_.reset();
    }

private:
    Session *session_;
    std::unique_ptr<Session> owned_;
};

// The environment of the call in progress on this thread (set while the host calls into a plug-in or evaluates),
// or null.
Environment *CurrentEnvironment();

class EnvironmentScope
{
public:
    explicit EnvironmentScope(Environment &env);
    ~EnvironmentScope();
    EnvironmentScope(const EnvironmentScope &) = delete;
    EnvironmentScope &operator=(const EnvironmentScope &) = delete;

private:
    Environment *previous_;
};

} // namespace emu

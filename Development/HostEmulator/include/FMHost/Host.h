// C++ interface of the host emulator for tests, benchmarks and fmhost. Plug-ins never include it: they see the
// host only through the SDK's FM_* functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FMWrapper/FMXBinaryData.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXDateTime.h"
#include "FMWrapper/FMXExtern.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"
#include "FMWrapper/FMXTextStyle.h"
#include "FMWrapper/FMXTypes.h"

namespace FMHost {

// Native types of host values, numbered as the SDK numbers them.
enum class Type { Invalid = 0, Text = 1, Number = 2, Date = 3, Time = 4, Timestamp = 5, Container = 6, Boolean = 7 };

// "Text", "Number", "Date", "Time", "Timestamp", "Container", "Boolean", or "" for Invalid.
const char *TypeName(Type type);

// A calculation's outcome: the host error code, the result's native type and its text form in UTF-8.
// When error is non-zero, type is Invalid and text empty.
struct Result
{
    fmx::errcode error = 0;
    Type type = Type::Invalid;
    std::string text;
};

// What a plug-in registered.
struct FunctionInfo
{
    std::string pluginId;  // the four characters
    short functionId = 0;
    std::string name, prototype, description;  // UTF-8
    short minArgs = 0, maxArgs = 0;            // maxArgs -1: no upper bound
    fmx::uint32 flags = 0;
    bool scriptStep = false;
    fmx::ExtPluginType function = nullptr;
};

// Registered functions and script steps, in registration order.
std::vector<FunctionInfo> Registrations();

// The name of the first plug-in function that answered the text "?" on this thread since the last call of this
// function; empty when none did. fmhost uses it to say why a calculation gave "?".
std::string TakeQuestionMarkAnswer();

// The first SQL query that failed on this thread since the last call of this function: the host error code the
// query answered and why it failed (SQLite's own message where SQLite refused it). Code 0 when none failed.
struct SqlFailure
{
    fmx::errcode code = 0;
    std::string message;
};
SqlFailure TakeSqlFailure();

// A registered function looked up once, for calling it directly (the benchmarks' path). It stays callable even
// if the plug-in unregisters it later.
class Function
{
public:
    Function();
    ~Function();
    Function(const Function &);
    Function &operator=(const Function &);
    // Looks the function up by its registered name, without regard to case; empty when unknown.
    static Function Find(const std::string &name);
    explicit operator bool() const;
    const std::string &Name() const;

private:
    friend class Session;
    std::shared_ptr<const void> registration_;
    std::string name_;
};

// One client session of the host: its own $/$$ variables, hosted files and calling file. A session may be used
// by one thread at a time; separate sessions may run on separate threads at once.
class Session
{
public:
    Session();
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Ending a session (destroying it) closes its files first; see AttachPlugin for the messages.
    // Hosted files. The first one opened is the calling file (Get ( FileName )). `sqlitePath` backs the file's SQL:
    // an existing SQLite database, opened here (std::runtime_error when it cannot be) and closed with the file.
    void OpenFile(const std::string &name, const std::string &sqlitePath = std::string());
    bool CloseFile(const std::string &name);
    bool SetCallingFile(const std::string &name);
    std::string CallingFile() const;  // empty when no file is open
    std::vector<std::string> FileNames() const;

    // The environment plug-in functions receive when called in this session.
    const fmx::ExprEnv &Env() const;

    // Evaluates a calculation text (UTF-8). $$ variables persist between evaluations of a session.
    Result Evaluate(const std::string &calculation);
    // The same through host values; the result is untouched when the answer is non-zero.
    fmx::errcode Evaluate(const fmx::Text &calculation, fmx::Data &result);

    // Direct calls of a registered function with prepared arguments: the host's own argument-count check
    // (1201 too few, 1202 too many, 1224 unknown name), then the function's own answer.
    fmx::errcode Call(const Function &function, const fmx::DataVect &args, fmx::Data &result);
    fmx::errcode Call(const std::string &name, const fmx::DataVect &args, fmx::Data &result);

    // A variable's value ("$$name" or "$name"); Type::Invalid and empty text when it is unset.
    Result Variable(const std::string &name) const;
    // Every variable of the session, empty ones included, in no particular order: its name as first written
    // ("$$total", "$x[2]" for a repetition) and its value.
    std::vector<std::pair<std::string, Result>> Variables() const;
    void ClearVariables();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Session messages. A plug-in attached here whose options string (asked for now, with kFMXT_GetString) has 'Y' as
// its character 10 is sent kFMXT_FileShutdown (parm2 the session's id, parm3 the file's id, as ExprEnv::SessionID and
// ExprEnv::FileID give them) when a session closes one of its files, and when a session ends, kFMXT_FileShutdown for
// each file still open and then kFMXT_SessionShutdown (parm2 the session's id). Messages go out one at a time, on
// the thread that closes the file or ends the session. AttachPlugin answers whether the plug-in asked for them.
// Detach a plug-in before it is shut down.
bool AttachPlugin(FMX_ExternCallProc entryPoint);
void DetachPlugin(FMX_ExternCallProc entryPoint);

// The host callback for FMX_ExternCallStruct::cCurrentEnv: makes `env` (one the plug-in created) refer to the
// session of the call in progress on this thread. Answers 0, or 3 when no call is in progress.
fmx::errcode CurrentEnvCall(fmx::ExprEnv *env);

// Paragraph alignment of styled text (kept per paragraph, travelling with copied ranges like the character styles).
enum class Alignment { Default = 0, Left = 1, Center = 2, Right = 3, Justify = 4 };
// Sets the alignment of every paragraph the range [position, position + size) touches.
void SetAlignment(fmx::Text &text, Alignment alignment, fmx::uint32 position = 0,
                  fmx::uint32 size = fmx::Text::kSize_End);
Alignment AlignmentAt(const fmx::Text &text, fmx::uint32 position);

// Type and UTF-8 text form of a host value.
Type TypeOf(const fmx::Data &value);
std::string TextOf(const fmx::Data &value);
std::string TextOf(const fmx::Text &text);

// Fault injection.
namespace Faults {
// The n-th SDK call made by this thread from now on (n = 1: the next one) fails with the given code
// (fmx::_fmxcpt::kBadAlloc or kUnknown). Delete calls are neither failed nor counted.
void FailNthCall(unsigned n, int code = fmx::_fmxcpt::kBadAlloc);
void ClearCallFailure();
// SDK calls this thread made since the last FailNthCall or ClearCallFailure (handy to find n).
unsigned long CallsCounted();
// Calculations this thread has evaluated (ExprEnv::Evaluate and Session::Evaluate), failed ones included. A running count
// that nothing resets: compare it before and after the calls of interest.
unsigned long EvaluationsCounted();
// Registering a function with this id answers `code` instead.
void RefuseRegistration(short functionId, fmx::errcode code = 3);
// Evaluating exactly this calculation text answers `code` and leaves the result untouched.
void FailEvaluation(const std::string &calculation, fmx::errcode code = 1200);
// ExprEnv::EvaluateGetFunction with this selector (such as ExprEnv::kGet_FileName) answers `code` instead.
void FailGetFunction(short selector, fmx::errcode code = 1200);
// Removes every armed fault (the call failure of this thread only).
void ClearAll();
} // namespace Faults

} // namespace FMHost

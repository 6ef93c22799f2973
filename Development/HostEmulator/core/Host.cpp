// The C++ interface of the emulator for tests, benchmarks and fmhost.
#include "FMHost/Host.h"

#include "core/Encoding.h"
#include "core/Evaluate.h"
#include "core/PluginMessages.h"
#include "core/Registry.h"
#include "core/Sdk.h"
#include "core/Sql.h"

namespace FMHost {
namespace {

using emu::sdk::Obj;

std::string Utf8(const std::u16string &s) { return emu::Utf16ToUtf8(s); }

Result ResultOf(fmx::errcode error, const emu::Value &value)
{
    Result r;
    r.error = error;
    if (error == 0)
    {
        r.type = static_cast<Type>(value.Type());
        r.text = Utf8(value.AsText().Chars());
    }
    return r;
}

std::shared_ptr<const emu::Registration> RegistrationOf(const std::shared_ptr<const void> &p)
{
    return std::static_pointer_cast<const emu::Registration>(p);
}

} // namespace

const char *TypeName(Type type)
{
    static const char *const kNames[] = {"", "Text", "Number", "Date", "Time", "Timestamp", "Container", "Boolean"};
    const auto i = static_cast<size_t>(type);
    return i < sizeof kNames / sizeof kNames[0] ? kNames[i] : "";
}

std::string TakeQuestionMarkAnswer() { return Utf8(emu::TakeQuestionMarkAnswer()); }

SqlFailure TakeSqlFailure()
{
    emu::SqlFailure failure = emu::TakeSqlFailure();
    return SqlFailure{failure.code, std::move(failure.message)};
}

std::vector<FunctionInfo> Registrations()
{
    std::vector<FunctionInfo> out;
    for (const auto &r : emu::Registry::Instance().All())
    {
        FunctionInfo f;
        f.pluginId = r->pluginId.ToString();
        f.functionId = r->functionId;
        f.name = Utf8(r->name);
        f.prototype = Utf8(r->prototype);
        f.description = Utf8(r->description);
        f.minArgs = r->minArgs;
        f.maxArgs = r->maxArgs;
        f.flags = r->flags;
        f.scriptStep = r->scriptStep;
        f.function = r->function;
        out.push_back(std::move(f));
    }
    return out;
}

Function::Function() = default;
Function::~Function() = default;
Function::Function(const Function &) = default;
Function &Function::operator=(const Function &) = default;

Function Function::Find(const std::string &name)
{
    Function f;
    f.registration_ = emu::Registry::Instance().FindByName(emu::Utf8ToUtf16(name));
    if (f.registration_)
        f.name_ = Utf8(RegistrationOf(f.registration_)->name);
    return f;
}

Function::operator bool() const { return registration_ != nullptr; }

const std::string &Function::Name() const { return name_; }

struct Session::Impl
{
    emu::Session session;
};

Session::Session() : impl_(std::make_unique<Impl>()) {}

Session::~Session() = default;

void Session::OpenFile(const std::string &name, const std::string &sqlitePath)
{
    impl_->session.OpenFile(emu::Utf8ToUtf16(name), sqlitePath);
}

bool Session::CloseFile(const std::string &name) { return impl_->session.CloseFile(emu::Utf8ToUtf16(name)); }

bool Session::SetCallingFile(const std::string &name) { return impl_->session.SetCallingFile(emu::Utf8ToUtf16(name)); }

std::string Session::CallingFile() const
{
    const emu::HostedFile *f = impl_->session.CallingFile();
    return f ? Utf8(f->name) : std::string();
}

std::vector<std::string> Session::FileNames() const
{
    std::vector<std::string> names;
    for (const auto &f : impl_->session.Files())
        names.push_back(Utf8(f.name));
    return names;
}

const fmx::ExprEnv &Session::Env() const { return *emu::sdk::Fmx<fmx::ExprEnv>(&impl_->session.Env()); }

Result Session::Evaluate(const std::string &calculation)
{
    emu::Value value;
    const fmx::errcode error = emu::EvaluateInHost(impl_->session.Env(), emu::Utf8ToUtf16(calculation), value);
    return ResultOf(error, value);
}

fmx::errcode Session::Evaluate(const fmx::Text &calculation, fmx::Data &result)
{
    return emu::EvaluateInHost(impl_->session.Env(), Obj(calculation).Chars(), Obj(result));
}

fmx::errcode Session::Call(const Function &function, const fmx::DataVect &args, fmx::Data &result)
{
    const auto registration = RegistrationOf(function.registration_);
    if (!registration)
        return emu::kErrFunctionMissing;
    return emu::CallRegistered(*registration, impl_->session.Env(), Obj(args), Obj(result));
}

fmx::errcode Session::Call(const std::string &name, const fmx::DataVect &args, fmx::Data &result)
{
    return Call(Function::Find(name), args, result);
}

Result Session::Variable(const std::string &name) const
{
    const emu::Value *v = impl_->session.FindVariable(emu::Utf8ToUtf16(name));
    return v ? ResultOf(0, *v) : Result();
}

std::vector<std::pair<std::string, Result>> Session::Variables() const
{
    std::vector<std::pair<std::string, Result>> out;
    impl_->session.ForEachVariable(
        [&out](const std::u16string &name, const emu::Value &value) { out.emplace_back(Utf8(name), ResultOf(0, value)); });
    return out;
}

void Session::ClearVariables() { impl_->session.ClearVariables(); }

bool AttachPlugin(FMX_ExternCallProc entryPoint) { return emu::AttachPlugin(entryPoint); }

void DetachPlugin(FMX_ExternCallProc entryPoint) { emu::DetachPlugin(entryPoint); }

fmx::errcode CurrentEnvCall(fmx::ExprEnv *env)
{
    emu::Environment *current = emu::CurrentEnvironment();
    if (!env || !current)
        return 3;
    Obj(*env).Attach(current->GetSession());
    return 0;
}

void SetAlignment(fmx::Text &text, Alignment alignment, fmx::uint32 position, fmx::uint32 size)
{
    Obj(text).SetAlignment(static_cast<emu::Align>(alignment), position, size);
}

Alignment AlignmentAt(const fmx::Text &text, fmx::uint32 position)
{
    return static_cast<Alignment>(Obj(text).AlignmentAt(position));
}

Type TypeOf(const fmx::Data &value) { return static_cast<Type>(Obj(value).Type()); }

std::string TextOf(const fmx::Data &value) { return Utf8(Obj(value).AsText().Chars()); }

std::string TextOf(const fmx::Text &text) { return Utf8(Obj(text).Chars()); }

namespace Faults {

void FailNthCall(unsigned n, int code) { emu::faults::FailNthCall(n, code); }
void ClearCallFailure() { emu::faults::ClearCallFailure(); }
unsigned long CallsCounted() { return static_cast<unsigned long>(emu::faults::CallsCounted()); }
unsigned long EvaluationsCounted() { return static_cast<unsigned long>(emu::faults::EvaluationsCounted()); }
void RefuseRegistration(short functionId, fmx::errcode code) { emu::faults::RefuseRegistration(functionId, code); }
void FailEvaluation(const std::string &calculation, fmx::errcode code)
{
    emu::faults::FailEvaluation(emu::Utf8ToUtf16(calculation), code);
}
void FailGetFunction(short selector, fmx::errcode code) { emu::faults::FailGetFunction(selector, code); }
void ClearAll() { emu::faults::ClearAll(); }

} // namespace Faults
} // namespace FMHost

// FM_DataVect_*, FM_RowVect_* and FM_ExprEnv_*: argument vectors, SQL rows, environments and registration.
#include "core/Encoding.h"
#include "core/Evaluate.h"
#include "core/Registry.h"
#include "core/Sdk.h"
#include "core/Sql.h"

using namespace emu;
using namespace emu::sdk;
using fmx::_fmxcpt;

namespace {

const Value &ItemAt(const void *self, fmx::uint32 position)
{
    const Value *v = Self<fmx::DataVect>(self).At(position);
    if (!v)
        throw std::out_of_range("DataVect position");
    return *v;
}

// Runs `read` on the item at `position` and hands back the SDK view of what it returns.
template <class F, class Read> const F *ItemView(const void *self, fmx::uint32 position, _fmxcpt &x, Read &&read)
{
    return Guard(x, static_cast<const F *>(nullptr), [&] { return Fmx<F>(&read(ItemAt(self, position))); });
}

Environment &EnvOf(const void *self) { return const_cast<Environment &>(Self<fmx::ExprEnv>(self)); }

// Runs a query; `rows` receives the result, and is left empty when the query fails.
fmx::errcode RunSql(const void *self, const fmx::Text &query, const fmx::Text &file, const fmx::DataVect &params,
                    RowVect &rows)
{
    RowVect result;
    const fmx::errcode err = ExecuteSQL(EnvOf(self), Obj(query).Chars(), Obj(file).Chars(), Obj(params), result);
    if (err != 0)
        result.Clear();
    rows = std::move(result);
    return err;
}

std::u16string DefaultDescription(const std::u16string &name)
{
    std::u16string d = name;
    for (auto &c : d)
        if (c == u'_')
            c = u' ';
    return d + u"|";
}

fmx::errcode RegisterFunction(const fmx::QuadChar &pluginId, short functionId, const fmx::Text &name,
                              const fmx::Text &prototype, const std::u16string &description, short minArgs,
                              short maxArgs, fmx::uint32 flags, fmx::ExtPluginType funcPtr, bool scriptStep)
{
    Registration r;
    r.pluginId = Obj(pluginId);
    r.functionId = functionId;
    r.name = Obj(name).Chars();
    r.prototype = Obj(prototype).Chars();
    r.description = description.empty() ? DefaultDescription(r.name) : description;
    r.minArgs = minArgs;
    r.maxArgs = maxArgs;
    r.flags = flags;
    r.function = funcPtr;
    r.scriptStep = scriptStep;
    return Registry::Instance().Register(std::move(r));
}

bool StartsWith(const std::u16string &s, std::u16string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// FileMaker paths on this platform: "filelinux:/path/to/file".
constexpr std::u16string_view kLinuxPrefix = u"filelinux:";

int HexValue(char c)
{
    const int lower = c | 0x20;
    return c >= '0' && c <= '9' ? c - '0' : lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

std::u16string PercentDecode(std::u16string_view s)
{
    std::string bytes;
    const std::string utf8 = Utf16ToUtf8(s);
    for (size_t i = 0; i < utf8.size(); ++i)
    {
        if (utf8[i] == '%' && i + 2 < utf8.size() && HexValue(utf8[i + 1]) >= 0 && HexValue(utf8[i + 2]) >= 0)
        {
            bytes.push_back(static_cast<char>(HexValue(utf8[i + 1]) * 16 + HexValue(utf8[i + 2])));
            i += 2;
        }
        else
            bytes.push_back(utf8[i]);
    }
    return Utf8ToUtf16(bytes);
}

fmx::errcode ToFileMakerPath(const std::u16string &in, fmx::int32 format, std::u16string &out)
{
    std::u16string path = in;
    switch (format)
    {
    case fmx::ExprEnv::kConvert_PosixPath:
        break;
    case fmx::ExprEnv::kConvert_WinPath:
        for (auto &c : path)
            if (c == u'\\')
                c = u'/';
        if (!StartsWith(path, u"/"))
            path = u"/" + path;
        break;
    case fmx::ExprEnv::kConvert_URLPath:
        if (!StartsWith(path, u"file://"))
            return kErrUnknown;
        path = PercentDecode(std::u16string_view(path).substr(7));
        break;
    default:
        return kErrUnknown;
    }
    if (path.empty() || path[0] != u'/')
        return kErrUnknown;
    out = std::u16string(kLinuxPrefix) + path;
    return 0;
}

fmx::errcode FromFileMakerPath(const std::u16string &in, fmx::int32 format, std::u16string &out)
{
    std::u16string path;
    for (std::u16string_view prefix : {kLinuxPrefix, std::u16string_view(u"filemac:"), std::u16string_view(u"file:")})
        if (StartsWith(in, prefix))
        {
            path = in.substr(prefix.size());
            break;
        }
    if (path.empty() || path[0] != u'/')
        return kErrUnknown;
    switch (format)
    {
    case fmx::ExprEnv::kConvert_PosixPath: out = path; return 0;
    case fmx::ExprEnv::kConvert_URLPath: out = u"file://" + path; return 0;
    case fmx::ExprEnv::kConvert_WinPath:
        for (auto &c : path)
            if (c == u'/')
                c = u'\\';
        out = path;
        return 0;
    default: return kErrUnknown;
    }
}

} // namespace

extern "C" {

fmx::DataVect *FM_DataVect_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::DataVect *>(nullptr), [] { return Fmx<fmx::DataVect>(new DataVect); });
}

void FM_DataVect_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<DataVect *>(_self); }

fmx::uint32 FM_DataVect_Size(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] { return Self<fmx::DataVect>(_self).Size(); });
}

void FM_DataVect_Clear(void *_self, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::DataVect>(_self).Clear(); });
}

bool FM_DataVect_IsEmpty(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, true, [&] { return Self<fmx::DataVect>(_self).Size() == 0; });
}

void FM_DataVect_PushBack(void *_self, const fmx::Data &data, _fmxcpt &_x) noexcept
{
    GuardVoid(_x, [&] { Self<fmx::DataVect>(_self).PushBack(Obj(data)); });
}

// The caller owns the value it pops; null when the vector is empty.
fmx::Data *FM_DataVect_PopBack(void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::Data *>(nullptr),
                 [&] { return Fmx<fmx::Data>(Self<fmx::DataVect>(_self).PopBack().release()); });
}

const fmx::Data *FM_DataVect_At(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::Data>(_self, position, _x, [](const Value &v) -> const Value & { return v; });
}

const fmx::Text *FM_DataVect_AtAsText(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::Text>(_self, position, _x, [](const Value &v) -> const Text & { return v.AsText(); });
}

const fmx::FixPt *FM_DataVect_AtAsNumber(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::FixPt>(_self, position, _x, [](const Value &v) -> const Number & { return v.AsNumber(); });
}

const fmx::DateTime *FM_DataVect_AtAsDate(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::DateTime>(_self, position, _x, [](const Value &v) -> const DateTime & { return v.AsDate(); });
}

const fmx::DateTime *FM_DataVect_AtAsTime(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::DateTime>(_self, position, _x, [](const Value &v) -> const DateTime & { return v.AsTime(); });
}

const fmx::DateTime *FM_DataVect_AtAsTimeStamp(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::DateTime>(_self, position, _x,
                                   [](const Value &v) -> const DateTime & { return v.AsTimestamp(); });
}

bool FM_DataVect_AtAsBoolean(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return Guard(_x, false, [&] { return ItemAt(_self, position).AsBoolean(); });
}

const fmx::BinaryData *FM_DataVect_AtAsBinaryData(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return ItemView<fmx::BinaryData>(_self, position, _x,
                                     [](const Value &v) -> const BinaryData & { return v.AsBinary(); });
}

fmx::RowVect *FM_RowVect_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::RowVect *>(nullptr), [] { return Fmx<fmx::RowVect>(new RowVect); });
}

void FM_RowVect_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<RowVect *>(_self); }

fmx::uint32 FM_RowVect_Size(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, 0u, [&] { return Self<fmx::RowVect>(_self).Size(); });
}

bool FM_RowVect_IsEmpty(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, true, [&] { return Self<fmx::RowVect>(_self).Size() == 0; });
}

const fmx::DataVect *FM_RowVect_At(const void *_self, fmx::uint32 position, _fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<const fmx::DataVect *>(nullptr), [&] {
        const DataVect *row = Self<fmx::RowVect>(_self).At(position);
        if (!row)
            throw std::out_of_range("RowVect position");
        return Fmx<fmx::DataVect>(row);
    });
}

// An environment a plug-in creates itself runs in the session of the call in progress, or in a private one.
fmx::ExprEnv *FM_ExprEnv_Constructor1(_fmxcpt &_x) noexcept
{
    return Guard(_x, static_cast<fmx::ExprEnv *>(nullptr), [] {
        Environment *current = CurrentEnvironment();
        return Fmx<fmx::ExprEnv>(current ? new Environment(current->GetSession()) : new Environment());
    });
}

void FM_ExprEnv_Delete(void *_self, _fmxcpt &) noexcept { delete static_cast<Environment *>(_self); }

fmx::errcode FM_ExprEnv_Evaluate(const void *_self, const fmx::Text &expression, fmx::Data &result, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] { return EvaluateInHost(EnvOf(_self), Obj(expression).Chars(), Obj(result)); });
}

fmx::errcode FM_ExprEnv_EvaluateGetFunction(const void *_self, short functionValue, fmx::Data &result,
                                            _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        Environment &env = EnvOf(_self);
        if (functionValue != fmx::ExprEnv::kGet_FileName)
            return fmx::errcode(1215);  // not a Get selector the emulator knows
        int16_t failure = 0;
        if (emu::faults::GetFunctionFails(functionValue, failure))
            return fmx::errcode(failure);
        const HostedFile *file = env.GetSession().CallingFile();
        Obj(result).SetText(file ? std::u16string_view(file->name) : std::u16string_view());
        return fmx::errcode(0);
    });
}

fmx::errcode FM_ExprEnv_EvaluateConvertToFileMakerPath(const void *_self, const fmx::Text &inPath, fmx::int32 inFormat,
                                                       fmx::Text &outFMPath, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        EnvOf(_self);
        std::u16string out;
        const fmx::errcode err = ToFileMakerPath(Obj(inPath).Chars(), inFormat, out);
        if (err == 0)
            Obj(outFMPath).Assign(std::move(out));
        return err;
    });
}

fmx::errcode FM_ExprEnv_EvaluateConvertFromFileMakerPath(const void *_self, const fmx::Text &inFMPath,
                                                         fmx::int32 inFormat, fmx::Text &outPath, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        EnvOf(_self);
        std::u16string out;
        const fmx::errcode err = FromFileMakerPath(Obj(inFMPath).Chars(), inFormat, out);
        if (err == 0)
            Obj(outPath).Assign(std::move(out));
        return err;
    });
}

fmx::errcode FM_ExprEnv_ExecuteFileSQL(const void *_self, const fmx::Text &expression, const fmx::Text &filename,
                                       const fmx::DataVect &parameters, fmx::RowVect &result, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return RunSql(_self, expression, filename, parameters, Obj(result));
    });
}

// The rows as one text: columns joined by colSep, rows by rowSep.
fmx::errcode FM_ExprEnv_ExecuteFileSQLTextResult(const void *_self, const fmx::Text &expression,
                                                 const fmx::Text &filename, const fmx::DataVect &parameters,
                                                 fmx::Data &result, fmx::uint16 colSep, fmx::uint16 rowSep,
                                                 _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        RowVect rows;
        const fmx::errcode err = RunSql(_self, expression, filename, parameters, rows);
        if (err != 0)
            return err;
        std::u16string text;
        for (uint32_t r = 0; r < rows.Size(); ++r)
        {
            if (r != 0)
                text.push_back(static_cast<char16_t>(rowSep));
            const DataVect &row = *rows.At(r);
            for (uint32_t c = 0; c < row.Size(); ++c)
            {
                if (c != 0)
                    text.push_back(static_cast<char16_t>(colSep));
                text += row.At(c)->AsText().Chars();
            }
        }
        Obj(result).SetText(text);
        return fmx::errcode(0);
    });
}

fmx::ptrtype FM_ExprEnv_SessionID(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::ptrtype(0), [&] { return fmx::ptrtype(EnvOf(_self).GetSession().Id()); });
}

fmx::ptrtype FM_ExprEnv_FileID(const void *_self, _fmxcpt &_x) noexcept
{
    return Guard(_x, fmx::ptrtype(0), [&] {
        const HostedFile *file = EnvOf(_self).GetSession().CallingFile();
        return fmx::ptrtype(file ? file->id : 0);
    });
}

fmx::errcode FM_ExprEnv_RegisterExternalFunction(const fmx::QuadChar &pluginId, short functionId,
                                                 const fmx::Text &functionName, const fmx::Text &functionPrototype,
                                                 short minArgs, short maxArgs, fmx::uint32 compatibleOnFlags,
                                                 fmx::ExtPluginType funcPtr, _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return RegisterFunction(pluginId, functionId, functionName, functionPrototype, std::u16string(), minArgs,
                                maxArgs, compatibleOnFlags, funcPtr, false);
    });
}

fmx::errcode FM_ExprEnv_RegisterExternalFunctionEx(const fmx::QuadChar &pluginId, short functionId,
                                                   const fmx::Text &functionName, const fmx::Text &functionPrototype,
                                                   const fmx::Text &functionDescription, short minArgs, short maxArgs,
                                                   fmx::uint32 compatibleOnFlags, fmx::ExtPluginType funcPtr,
                                                   _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] {
        return RegisterFunction(pluginId, functionId, functionName, functionPrototype, Obj(functionDescription).Chars(),
                                minArgs, maxArgs, compatibleOnFlags, funcPtr, false);
    });
}

fmx::errcode FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar &pluginId, short functionId,
                                                   _fmxcpt &_x) noexcept
{
    return Guard(_x, kErrUnknown, [&] { return Registry::Instance().Unregister(Obj(pluginId), functionId, false); });
}

fmx::errcode FM_ExprEnv_RegisterScriptStep(const fmx::QuadChar &pluginId, short scriptStepId,
                                           const fmx::Text &scriptStepName, const fmx::Text &scriptStepDefinition,
                                           const fmx::Text &scriptStepDescription, fmx::uint32 compatibleOnFlags,
                                           fmx::ExtPluginType funcPtr, _fmxcpt &_x)
{
    return Guard(_x, kErrUnknown, [&] {
        return RegisterFunction(pluginId, scriptStepId, scriptStepName, scriptStepDefinition,
                                Obj(scriptStepDescription).Chars(), 0, -1, compatibleOnFlags, funcPtr, true);
    });
}

fmx::errcode FM_ExprEnv_UnRegisterScriptStep(const fmx::QuadChar &pluginId, short scriptStepId, _fmxcpt &_x)
{
    return Guard(_x, kErrUnknown, [&] { return Registry::Instance().Unregister(Obj(pluginId), scriptStepId, true); });
}

} // extern "C"

// Functions that ask the host: Get ( selector ) and DatabaseNames.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/Lexer.h"
#include "calc/Engine.h"
#include "core/Encoding.h"
#include "core/Registry.h"

#include <algorithm>
#include <mutex>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace emu::calc
{
namespace
{
std::mutex gPluginsMutex;
std::vector<InstalledPlugin> gPlugins;

// The account a hosted file is opened with when nothing else is said: FileMaker's default account.
constexpr char16_t kAccountName[] = u"Admin";

// The login name of the user running the host.
std::u16string userName()
{
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
        return Utf8ToUtf16(found->pw_name);
    return u"fmhost";
}

std::u16string installedPlugins()
{
    std::u16string list;
    auto add = [&list](const std::u16string &name, const std::u16string &version, bool enabled) {
        if (!list.empty())
            list += u'\r';
        list += name + u';' + version + u';' + (enabled ? u"Enabled" : u"Disabled");
    };
    {
        std::lock_guard<std::mutex> lock(gPluginsMutex);
        for (const InstalledPlugin &plugin : gPlugins)
            add(plugin.name, plugin.version, plugin.enabled);
    }
    if (!list.empty())
        return list;
    std::vector<std::string> ids;
    for (const RegistrationPtr &registration : Registry::Instance().All())
    {
        std::string id = registration->pluginId.ToString();
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
        {
            ids.push_back(id);
            add(Utf8ToUtf16(id), u"", true);
        }
    }
    return list;
}

// Whole seconds, as FileMaker's CurrentTime and CurrentTimestamp are.
void setDateTimeNow(Value &result, DataType type)
{
    DateTime now = DateTime::Now();
    now.SetUsec(now.Usec() - now.Usec() % DateTime::kUsecPerSec);
    result.SetDateTime(now, kDTTimeStamp, type);
}

// Get ( FileName ) and the other selectors; the selector is a bare name, matched without regard to case.
short getFunction(Evaluator &evaluator, const Node &call, Value &result)
{
    const Node &argument = *call.args[0];
    bool bareName = argument.kind == NodeKind::Name || argument.kind == NodeKind::Local ||
                    (argument.kind == NodeKind::Call && !argument.hasParentheses);
    const std::u16string &selector = argument.key;
    if (!bareName)
        return evaluator.fail(kInvalidGetParameter, argument, "Get needs a selector name such as FileName");
    if (selector == u"filename")
    {
        const HostedFile *file = evaluator.session().CallingFile();
        result.SetText(file ? file->name : std::u16string());
    }
    else if (selector == u"applicationversion")
        result.SetText(kApplicationVersion);
    else if (selector == u"accountname")
        result.SetText(kAccountName);
    else if (selector == u"username")
        result.SetText(userName());
    else if (selector == u"systemplatform")
        setNumber(result, Number::FromInt(kSystemPlatformLinux));
    else if (selector == u"installedfmplugins")
        result.SetText(installedPlugins());
    else if (selector == u"currentdate")
        setDateTimeNow(result, kDTDate);
    else if (selector == u"currenttime")
        setDateTimeNow(result, kDTTime);
    else if (selector == u"currenttimestamp" || selector == u"currenthosttimestamp")
        setDateTimeNow(result, kDTTimeStamp);
    else
        return evaluator.fail(kInvalidGetParameter, argument, "unknown Get selector");
    return kCalcOK;
}

// The names of the open hosted files, one per line, in opening order.
short databaseNames(Evaluator &evaluator, const Node &, Value &result)
{
    std::u16string names;
    for (const HostedFile &file : evaluator.session().Files())
    {
        if (!names.empty())
            names += u'\r';
        names += file.name;
    }
    result.SetText(names);
    return kCalcOK;
}

const BuiltinRegistration registration({
    {"Get", 1, 1, &getFunction},
    {"DatabaseNames", 0, 0, &databaseNames},
});
} // namespace

void addInstalledPlugin(InstalledPlugin plugin)
{
    std::lock_guard<std::mutex> lock(gPluginsMutex);
    gPlugins.push_back(std::move(plugin));
}

void clearInstalledPlugins()
{
    std::lock_guard<std::mutex> lock(gPluginsMutex);
    gPlugins.clear();
}
} // namespace emu::calc

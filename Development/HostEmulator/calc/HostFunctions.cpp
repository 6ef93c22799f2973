// Functions that ask the host: Get ( selector ) and DatabaseNames.
#include "calc/Builtins.h"
#include "calc/Evaluator.h"
#include "calc/Lexer.h"
#include "calc/Engine.h"
#include "core/Encoding.h"
#include "core/Registry.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <sys/utsname.h>
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

// The loaded plug-ins; without any, one stand-in per plug-in id that registered functions.
std::vector<InstalledPlugin> installedPluginList()
{
    {
        std::lock_guard<std::mutex> lock(gPluginsMutex);
        if (!gPlugins.empty())
            return gPlugins;
    }
    std::vector<InstalledPlugin> standIns;
    for (const RegistrationPtr &registration : Registry::Instance().All())
    {
        std::u16string id = Utf8ToUtf16(registration->pluginId.ToString());
        if (std::none_of(standIns.begin(), standIns.end(), [&](const InstalledPlugin &p) { return p.id == id; }))
            standIns.push_back({id, id, u"", "", u"", true});
    }
    return standIns;
}

const char16_t *stateOf(const InstalledPlugin &plugin) { return plugin.enabled ? u"Enabled" : u"Disabled"; }

// "name;version;state", one line per plug-in.
std::u16string installedPlugins()
{
    std::u16string list;
    for (const InstalledPlugin &plugin : installedPluginList())
    {
        if (!list.empty())
            list += u'\r';
        list += plugin.name + u';' + plugin.version + u';' + stateOf(plugin);
    }
    return list;
}

// What Get ( ApplicationArchitecture ) answers: FileMaker's names, arm64 for 64-bit ARM.
std::u16string applicationArchitecture()
{
#if defined(__x86_64__)
    return u"x86_64";
#elif defined(__aarch64__)
    return u"arm64";
#else
    utsname system{};
    return uname(&system) == 0 ? Utf8ToUtf16(system.machine) : std::u16string();
#endif
}

// What Get ( SystemVersion ) answers: the release of the Linux distribution (VERSION_ID of /etc/os-release,
// "22.04" on Ubuntu 22.04), else the kernel's.
std::u16string systemVersion()
{
    static const std::u16string version = [] {
        std::ifstream release("/etc/os-release");
        std::string line;
        while (std::getline(release, line))
            if (line.rfind("VERSION_ID=", 0) == 0)
            {
                std::string value = line.substr(std::strlen("VERSION_ID="));
                value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
                if (!value.empty())
                    return Utf8ToUtf16(value);
            }
        utsname system{};
        return uname(&system) == 0 ? Utf8ToUtf16(system.release) : std::u16string();
    }();
    return version;
}

// The JSON form: the structure of FileMaker's Get ( InstalledFMPluginsAsJSON ), keys in its order, compact.
std::u16string installedPluginsAsJson()
{
    using Json = nlohmann::ordered_json;
    auto utf8 = [](const std::u16string &text) { return Utf16ToUtf8(text); };
    Json document;
    document["APIVers"] = 2;
    Json &environment = document["environment"];
    environment["architecture"] = utf8(applicationArchitecture());
    environment["platform"] = kSystemPlatformLinux;
    environment["version"] = utf8(systemVersion());
    Json &plugins = document["plugins"]; // null without plug-ins, as FileMaker answers
    for (const InstalledPlugin &plugin : installedPluginList())
    {
        Json entry;
        entry["name"] = utf8(plugin.name);
        entry["id"] = utf8(plugin.id);
        entry["version"] = utf8(plugin.version);
        entry["state"] = utf8(stateOf(plugin));
        // FileMaker's path format for Linux: the absolute path after the prefix filelinux:
        entry["filepath"] = plugin.path.empty() ? std::string() : "filelinux:" + plugin.path;
        entry["description"] = utf8(plugin.description);
        plugins.push_back(std::move(entry));
    }
    // A plug-in's texts are its own: bytes that are no UTF-8 are replaced rather than thrown at the caller.
    return Utf8ToUtf16(document.dump(-1, ' ', false, Json::error_handler_t::replace));
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
    else if (selector == u"installedfmpluginsasjson")
        result.SetText(installedPluginsAsJson());
    else if (selector == u"applicationarchitecture")
        result.SetText(applicationArchitecture());
    else if (selector == u"systemversion")
        result.SetText(systemVersion());
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

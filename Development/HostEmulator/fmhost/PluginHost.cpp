#include "fmhost/PluginHost.h"

#include "FMHost/Host.h"
#include "core/ElfSoname.h"
#include "core/Encoding.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

namespace fmhost
{
namespace
{
// fmhost has no scripts to start and no window whose environment a plug-in could borrow.
constexpr FMX_ErrorCode kCommandUnavailable = 3;
// Windows language id of US English, the language fmhost asks plug-in strings in.
constexpr FMX_PtrType kEnglishLanguage = 0x0409;

FMX_ErrorCode startScript(const FMX_Text *, const FMX_Text *, FMX_ScriptControl, const FMX_Data *)
{
    return kCommandUnavailable;
}

FMX_ErrorCode currentEnvironment(FMX_ExprEnv *) { return kCommandUnavailable; }

// Plug-ins separate the lines of their description with the two characters backslash and n; the host shows each
// pair as a line break.
std::u16string shownDescription(std::u16string text)
{
    for (std::size_t at = text.find(u"\\n"); at != std::u16string::npos; at = text.find(u"\\n", at + 1))
        text.replace(at, 2, 1, u'\n');
    return text;
}

std::string describeInitAnswer(fmx::int64 answer)
{
    if (answer == kBadExtnVersion)
        return "it does not support the host's interface version " + std::to_string(kCurrentExtnVersion);
    if (answer == kDoNotEnable)
        return "it asked not to be enabled (its start-up or function registration failed)";
    return "its answer " + std::to_string(answer) + " is no interface version";
}
} // namespace

std::string defaultPluginPath()
{
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "VantrelSandbox.fmx";
    std::string exe(buffer, static_cast<std::size_t>(length));
    return exe.substr(0, exe.rfind('/') + 1) + "VantrelSandbox.fmx";
}

PluginHost::~PluginHost() { unload(); }

bool PluginHost::send(FMX_ExternCallSwitch message, std::string &error)
{
    record_.whichCall = message;
    try
    {
        entryPoint_(&record_);
        return true;
    }
    catch (const std::exception &e)
    {
        error = "an exception escaped the plug-in's entry point: " + std::string(e.what());
    }
    catch (...)
    {
        error = "an exception escaped the plug-in's entry point";
    }
    return false;
}

bool PluginHost::load(const std::string &path, std::string &error)
{
    path_ = path;
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
    {
        const char *reason = dlerror();
        error = "cannot load plug-in " + path + ": " + (reason ? reason : "unknown reason");
        return false;
    }
    entryPoint_ = reinterpret_cast<FMX_ExternCallProc>(dlsym(handle_, "FMExternCallProc"));
    if (!entryPoint_)
    {
        error = "plug-in " + path + " has no entry point FMExternCallProc";
        unload();
        return false;
    }
    record_.extnVersion = kCurrentExtnVersion;
    record_.unusedID = -1;
    record_.entryPoint = entryPoint_;
    record_.unsafeCalls = 0;
    record_.parm1 = kFMXT_SASE;
    record_.parm2 = reinterpret_cast<FMX_PtrType>(emu::calc::kApplicationVersion);
    record_.parm3 = 0;
    record_.instanceID = reinterpret_cast<FMX_PtrType>(handle_);
    record_.result = 0;
    record_.cStartScript = &startScript;
    record_.cCurrentEnv = &currentEnvironment;
    std::string sendError;
    if (!send(kFMXT_Init, sendError))
    {
        error = "plug-in " + path + " failed to initialise: " + sendError;
        unload();
        return false;
    }
    auto answer = static_cast<fmx::int64>(record_.result);
    if (answer < kMinExtnVersion || answer > kMaxExtnVersion)
    {
        error = "plug-in " + path + " refused to initialise: " + describeInitAnswer(answer);
        unload();
        return false;
    }
    initialised_ = true;
    emu::calc::addInstalledPlugin(describe());
    // From now on the plug-in hears of closing files and ending sessions, if its options string asks for that.
    FMHost::AttachPlugin(entryPoint_);
    return true;
}

std::u16string PluginHost::askString(FMX_Strings which, std::size_t capacity)
{
    // One unit more than offered, so that a plug-in that fills the whole capacity still leaves a terminator.
    std::vector<FMX_Unichar> buffer(capacity + 1, 0);
    record_.parm1 = which;
    record_.parm2 = kEnglishLanguage;
    record_.parm3 = capacity;
    record_.result = reinterpret_cast<FMX_PtrType>(buffer.data());
    std::string ignored;
    std::u16string text;
    if (send(kFMXT_GetString, ignored))
        for (std::size_t i = 0; i < capacity && buffer[i]; ++i)
            text += static_cast<char16_t>(buffer[i]);
    record_.result = 0;
    return text;
}

emu::calc::InstalledPlugin PluginHost::describe()
{
    constexpr std::size_t kNameCapacity = 255;
    constexpr std::size_t kDescriptionCapacity = 1023;
    constexpr std::size_t kIdLength = 4;
    emu::calc::InstalledPlugin plugin;
    // The file the loader actually opened, which a bare name given to dlopen does not tell.
    std::string file = path_;
    link_map *map = nullptr;
    if (dlinfo(handle_, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
        file = map->l_name;
    if (char *absolute = realpath(file.c_str(), nullptr))
    {
        file = absolute;
        std::free(absolute);
    }
    plugin.path = file;
    plugin.version = emu::Utf8ToUtf16(emu::ElfSonameOfFile(file));
    plugin.name = askString(kFMXT_NameStr, kNameCapacity);
    if (plugin.name.empty())
        plugin.name = emu::Utf8ToUtf16(file.substr(file.rfind('/') + 1));
    plugin.id = askString(kFMXT_OptionsStr, kNameCapacity).substr(0, kIdLength);
    plugin.description = shownDescription(askString(kFMXT_AppConfigStr, kDescriptionCapacity));
    return plugin;
}

void PluginHost::unload()
{
    if (initialised_)
    {
        initialised_ = false;
        emu::calc::clearInstalledPlugins();
        FMHost::DetachPlugin(entryPoint_);
        record_.parm1 = 0;
        record_.parm2 = 0;
        record_.parm3 = 0;
        record_.result = 0;
        std::string error;
        if (!send(kFMXT_Shutdown, error))
            std::fprintf(stderr, "fmhost: plug-in %s at shutdown: %s\n", path_.c_str(), error.c_str());
    }
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
    entryPoint_ = nullptr;
}
} // namespace fmhost

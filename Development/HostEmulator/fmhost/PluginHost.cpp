#include "fmhost/PluginHost.h"

#include "FMHost/Host.h"
#include "calc/Engine.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <exception>

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
    // Get ( InstalledFMPlugins ) lists the plug-in under the name it gives.
    emu::calc::addInstalledPlugin({askName(), u"", true});
    // From now on the plug-in hears of closing files and ending sessions, if its options string asks for that.
    FMHost::AttachPlugin(entryPoint_);
    return true;
}

std::u16string PluginHost::askName()
{
    constexpr std::size_t kCapacity = 256;
    FMX_Unichar buffer[kCapacity] = {};
    record_.parm1 = kFMXT_NameStr;
    record_.parm2 = kEnglishLanguage;
    record_.parm3 = kCapacity - 1; // the last unit stays 0
    record_.result = reinterpret_cast<FMX_PtrType>(buffer);
    std::string ignored;
    std::u16string name;
    if (send(kFMXT_GetString, ignored))
        for (std::size_t i = 0; i < kCapacity && buffer[i]; ++i)
            name += static_cast<char16_t>(buffer[i]);
    record_.result = 0;
    if (name.empty())
    {
        std::string file = path_.substr(path_.rfind('/') + 1);
        name.assign(file.begin(), file.end());
    }
    return name;
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

// Loads a plug-in and talks to it through its entry point, as the FileMaker host does.
#pragma once

#include "FMWrapper/FMXExtern.h"
#include "calc/Engine.h"

#include <string>

namespace fmhost
{
class PluginHost
{
public:
    PluginHost() = default;
    ~PluginHost();
    PluginHost(const PluginHost &) = delete;
    PluginHost &operator=(const PluginHost &) = delete;

    // dlopen, find FMExternCallProc, send the initialise message and check the answer. False with a message
    // when the plug-in cannot be loaded, lacks the entry point or refuses to initialise.
    bool load(const std::string &path, std::string &error);
    // Sends the shutdown message (once, after a successful initialisation) and unloads the library.
    void unload();
    bool loaded() const { return initialised_; }

private:
    // Sends one message; false (with a message) when an exception escaped the entry point.
    bool send(FMX_ExternCallSwitch message, std::string &error);
    // A display string the plug-in gives (kFMXT_GetString), up to its first zero unit; empty when it gives none.
    std::u16string askString(FMX_Strings which, std::size_t capacity);
    // The loaded plug-in as Get ( InstalledFMPlugins ) lists it: its name (else its file name), id, description
    // as the host shows it, and its file's soname as the version.
    emu::calc::InstalledPlugin describe();

    void *handle_ = nullptr;
    FMX_ExternCallProc entryPoint_ = nullptr;
    // The plug-in keeps a pointer to this record between messages, so it lives as long as the plug-in.
    FMX_ExternCallStruct record_{};
    bool initialised_ = false;
    std::string path_;
};

// The default plug-in: VantrelSandbox.fmx in the folder that holds the running fmhost.
std::string defaultPluginPath();
} // namespace fmhost

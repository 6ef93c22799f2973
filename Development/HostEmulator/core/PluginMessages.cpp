#include "core/PluginMessages.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace emu {
namespace {

constexpr uint32_t kOptionsCapacity = 64;
constexpr std::size_t kSessionMessagesOption = 9; // character 10

struct AttachedPlugin
{
    FMX_ExternCallProc entryPoint;
    // The plug-in may keep a pointer to the record of its last message, so the record lives while it is attached.
    FMX_ExternCallStruct record;
};

// Recursive: a plug-in may end a session of its own while it handles a message. Messages go out one at a time, as
// the entry point of a plug-in expects.
std::recursive_mutex gMessagesLock;
std::vector<std::unique_ptr<AttachedPlugin>> gAttached;
std::atomic<bool> gAnyAttached{false};

void prepare(FMX_ExternCallStruct &record, FMX_ExternCallProc entryPoint, FMX_ExternCallSwitch message)
{
    record = FMX_ExternCallStruct{};
    record.extnVersion = kCurrentExtnVersion;
    record.unusedID = -1;
    record.entryPoint = entryPoint;
    record.whichCall = message;
}

bool wantsSessionMessages(FMX_ExternCallProc entryPoint)
{
    FMX_ExternCallStruct record;
    prepare(record, entryPoint, kFMXT_GetString);
    fmx::unichar16 options[kOptionsCapacity] = {};
    record.parm1 = kFMXT_OptionsStr;
    record.parm3 = kOptionsCapacity - 1; // keeps a terminating zero
    record.result = reinterpret_cast<FMX_PtrType>(options);
    entryPoint(&record);
    return options[kSessionMessagesOption] == u'Y';
}

void send(FMX_ExternCallSwitch message, uint64_t sessionId, uint64_t fileId)
{
    if (!gAnyAttached.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::recursive_mutex> lock(gMessagesLock);
    // By index: a plug-in handling the message may attach or detach.
    for (std::size_t i = 0; i < gAttached.size(); ++i)
    {
        AttachedPlugin &plugin = *gAttached[i];
        prepare(plugin.record, plugin.entryPoint, message);
        plugin.record.parm2 = static_cast<FMX_PtrType>(sessionId);
        plugin.record.parm3 = static_cast<FMX_PtrType>(fileId);
        plugin.entryPoint(&plugin.record);
    }
}

} // namespace

bool AttachPlugin(FMX_ExternCallProc entryPoint)
{
    std::lock_guard<std::recursive_mutex> lock(gMessagesLock);
    for (const auto &plugin : gAttached)
        if (plugin->entryPoint == entryPoint)
            return true;
    if (!wantsSessionMessages(entryPoint))
        return false;
    gAttached.push_back(std::make_unique<AttachedPlugin>(AttachedPlugin{entryPoint, FMX_ExternCallStruct{}}));
    gAnyAttached.store(true, std::memory_order_release);
    return true;
}

void DetachPlugin(FMX_ExternCallProc entryPoint)
{
    std::lock_guard<std::recursive_mutex> lock(gMessagesLock);
    gAttached.erase(std::remove_if(gAttached.begin(), gAttached.end(),
                                   [&](const auto &plugin) { return plugin->entryPoint == entryPoint; }),
                    gAttached.end());
    gAnyAttached.store(!gAttached.empty(), std::memory_order_release);
}

void SendFileShutdown(uint64_t sessionId, uint64_t fileId) { send(kFMXT_FileShutdown, sessionId, fileId); }

void SendSessionShutdown(uint64_t sessionId) { send(kFMXT_SessionShutdown, sessionId, 0); }

} // namespace emu

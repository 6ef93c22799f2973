#include "frame/Lifecycle.h"

bool gPlugInInitialized = false;
bool gPrefsOpen = false;

namespace vtl
{
HookObserver gHookObserver = nullptr;
}

namespace
{
bool Notify(vtl::eHook hook, fmx::uchar idleKind = 0)
{
    return vtl::gHookObserver == nullptr || vtl::gHookObserver(hook, idleKind);
}
}

bool Startup(const fmx::unichar16 *)
{
    return Notify(vtl::eHook::kStartup);
}

void Shutdown()
{
    Notify(vtl::eHook::kShutdown);
}

void Preferences()
{
    Notify(vtl::eHook::kPreferences);
}

void SafeIdle()
{
    Notify(vtl::eHook::kSafeIdle);
}

void SemiSafeIdle(fmx::uchar idleKind)
{
    Notify(vtl::eHook::kSemiSafeIdle, idleKind);
}

void UnsafeIdle()
{
    Notify(vtl::eHook::kUnsafeIdle);
}

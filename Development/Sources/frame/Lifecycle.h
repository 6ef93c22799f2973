#ifndef VANTREL_FRAME_LIFECYCLE_H
#define VANTREL_FRAME_LIFECYCLE_H

#include "FMWrapper/FMXExtern.h"

// Process-wide flags of the plug-in's life (plain booleans: the host sends these messages one at a time).
extern bool gPlugInInitialized; // between an accepted initialise and shutdown; idle messages reach the hooks only then
extern bool gPrefsOpen;         // while the preferences hook runs; a second preferences message is ignored

// Lifecycle hooks, called only by FMExternCallProc: the places for start-up work, clean-up, a preferences dialog
// and idle-time work. The plug-in needs none of them today.
bool Startup(const fmx::unichar16 *appVersion);
void Shutdown();
void Preferences();
void SafeIdle();
void SemiSafeIdle(fmx::uchar idleKind);
void UnsafeIdle();

namespace vtl
{
// Lets tests see which hook ran (null in normal operation). Returning false from kStartup refuses start-up.
enum class eHook
{
    kStartup,
    kShutdown,
    kPreferences,
    kSafeIdle,
    kSemiSafeIdle,
    kUnsafeIdle
};
using HookObserver = bool (*)(eHook hook, fmx::uchar idleKind);
extern HookObserver gHookObserver;
}

#endif

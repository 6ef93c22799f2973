// The calculation engine's entry points beyond emu::Evaluate (core/Evaluate.h), for fmhost and tests.
#pragma once

#include "calc/CalcErrors.h"

#include <string>
#include <vector>

namespace emu::calc
{
// What Get ( ApplicationVersion ) answers and what fmhost announces to a plug-in at initialisation.
inline constexpr char16_t kApplicationVersion[] = u"Server 21.0.1";

// What Get ( SystemPlatform ) answers: FileMaker's number for Linux.
inline constexpr int kSystemPlatformLinux = 5;

// A plug-in as Get ( InstalledFMPlugins ) ("name;version;Enabled") and Get ( InstalledFMPluginsAsJSON ) list it.
// fmhost adds the plug-in it loads; without any, the plug-in ids of the registered functions stand in for names.
struct InstalledPlugin
{
    std::u16string name;        // as the plug-in gives it
    std::u16string id;          // its four-character id, the start of its options string
    std::u16string version;     // the file's soname, as FileMaker Server for Linux reads it
    std::string path;           // the loaded file, absolute
    std::u16string description; // as the host shows it
    bool enabled = true;
};
void addInstalledPlugin(InstalledPlugin plugin);
void clearInstalledPlugins();

// The failure of the last evaluation on this thread that did not succeed, with a message for people.
const Failure &lastFailure();
void resetLastFailure();

// Parsed calculations kept per session; beyond this many distinct texts the cache starts afresh.
constexpr std::size_t kParseCacheLimit = 512;
} // namespace emu::calc

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "core/ElfSoname.h"
#include "frame/PluginStrings.h"
#include "frame/Version.h"

// The build folder holds what the host loads and what tests drive.
TEST(Build, ProducesPluginsEmulatorAndHost)
{
    struct stat st;
    EXPECT_EQ(0, stat(PRODUCTION_PLUGIN_PATH, &st));
    EXPECT_EQ(0, stat(SANDBOX_PLUGIN_PATH, &st));
    EXPECT_EQ(0, stat(FMHOST_PATH, &st));
    EXPECT_EQ(0, stat(VANTREL_BINARY_DIR "/libFMWrapper.so", &st));
}

// FileMaker Server shows the soname as the plug-in's version; it must be the version the plug-in answers.
TEST(Build, PluginSonameIsTheVersionThePluginAnswers)
{
    char full[64], shortVersion[32];
    std::snprintf(full, sizeof full, "%d.%d.%d.%d", vtl::kVersionMajor, vtl::kVersionMinor, vtl::kVersionRevision,
                  vtl::kVersionBuild);
    std::snprintf(shortVersion, sizeof shortVersion, "%d.%d", vtl::kVersionMajor, vtl::kVersionMinor);
    EXPECT_STREQ(full, vtl::kFullVersion);
    EXPECT_STREQ(shortVersion, vtl::kShortVersion);
    for (const char *plugin : {PRODUCTION_PLUGIN_PATH, SANDBOX_PLUGIN_PATH})
        EXPECT_EQ(full, emu::ElfSonameOfFile(plugin)) << plugin;

    const std::string description = vtl::kDescription;
    const std::string versionLine = std::string("\\n\\nVersion ") + shortVersion;
    ASSERT_GE(description.size(), versionLine.size());
    EXPECT_EQ(versionLine, description.substr(description.size() - versionLine.size()));
}

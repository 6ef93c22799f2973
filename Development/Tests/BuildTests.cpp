#include <gtest/gtest.h>
#include <sys/stat.h>

// The build folder holds what the host loads and what tests drive.
TEST(Build, ProducesPluginsEmulatorAndHost)
{
    struct stat st;
    EXPECT_EQ(0, stat(PRODUCTION_PLUGIN_PATH, &st));
    EXPECT_EQ(0, stat(SANDBOX_PLUGIN_PATH, &st));
    EXPECT_EQ(0, stat(FMHOST_PATH, &st));
    EXPECT_EQ(0, stat(VANTREL_BINARY_DIR "/libFMWrapper.so", &st));
}

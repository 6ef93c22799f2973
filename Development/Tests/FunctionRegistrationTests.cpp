// Registration of the function table: all or nothing, roll-back newest first, shutdown order, what the host sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "frame/FunctionTable.h"
#include "frame/Lifecycle.h"
#include "support/PluginTestSupport.h"

using namespace plugintest;

// The test program is linked with --wrap for the host's unregister call, so every withdrawal is seen in order.
extern "C" fmx::errcode __real_FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar &, short, fmx::_fmxcpt &) throw();
namespace
{
std::vector<short> gUnregistered;
std::vector<vtl::eHook> gHooks;
bool gInitialisedAtShutdown = true;
std::size_t gRegisteredAtShutdown = 0;

std::vector<FMHost::FunctionInfo> PluginRegistrations()
{
    std::vector<FMHost::FunctionInfo> ours;
    for (const FMHost::FunctionInfo &info : FMHost::Registrations())
        if (info.pluginId == "ZQVL")
            ours.push_back(info);
    return ours;
}

bool Record(vtl::eHook hook, fmx::uchar)
{
    gHooks.push_back(hook);
    if (hook == vtl::eHook::kShutdown)
    {
        gInitialisedAtShutdown = gPlugInInitialized;
        gRegisteredAtShutdown = PluginRegistrations().size();
    }
    return true;
}

std::vector<short> TableIds()
{
    std::vector<short> ids;
    for (std::size_t i = 0; i < vtl::FunctionTableSize(); ++i)
        ids.push_back(vtl::FunctionTable()[i].id);
    return ids;
}

class Registration : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gUnregistered.clear();
        gHooks.clear();
        vtl::gHookObserver = Record;
    }
    void TearDown() override
    {
        FMHost::Faults::ClearAll();
        ShutdownPlugIn();
        vtl::gHookObserver = nullptr;
    }
};
}

extern "C" fmx::errcode __wrap_FM_ExprEnv_UnRegisterExternalFunction(const fmx::QuadChar &pluginId, short functionId,
                                                                     fmx::_fmxcpt &x) throw()
{
    gUnregistered.push_back(functionId);
    return __real_FM_ExprEnv_UnRegisterExternalFunction(pluginId, functionId, x);
}

TEST(FunctionTable, IdsAscendAndNamesComeFromThePrototypes)
{
    const std::vector<short> ids = TableIds();
    ASSERT_FALSE(ids.empty());
    EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
    EXPECT_EQ(ids.end(), std::adjacent_find(ids.begin(), ids.end()));

    cLoadedPlugIn plugin;
    ASSERT_EQ(62, plugin.initialised);
    const std::vector<FMHost::FunctionInfo> registered = PluginRegistrations();
    ASSERT_EQ(ids.size(), registered.size());
    for (std::size_t i = 0; i < registered.size(); ++i)
    {
        const vtl::cFunctionEntry &entry = vtl::FunctionTable()[i];
        const FMHost::FunctionInfo &info = registered[i];
        EXPECT_EQ(entry.id, info.functionId);
        EXPECT_EQ(entry.prototype, info.prototype);
        EXPECT_EQ(0u, info.name.rfind("Vantrel_", 0)) << info.name;
        EXPECT_EQ(std::string::npos, info.name.find_first_of(" ()")) << info.name;
        EXPECT_EQ(0u, info.prototype.rfind(info.name, 0)) << info.prototype;
        EXPECT_EQ(entry.minArgs, info.minArgs);
        EXPECT_EQ(entry.maxArgs, info.maxArgs);
        EXPECT_EQ(entry.flags, info.flags);
    }
}

TEST(FunctionTable, CountsAndFlagsTheHostChecks)
{
    cLoadedPlugIn plugin;
    std::map<std::string, FMHost::FunctionInfo> byName;
    for (const FMHost::FunctionInfo &info : PluginRegistrations())
        byName[info.name] = info;
    struct cExpected
    {
        const char *name;
        short minArgs, maxArgs;
        fmx::uint32 flags;
    };
    for (const cExpected &expected : {cExpected{"Vantrel_Version", 0, -1, 0xFF01}, {"Vantrel_Encode", 2, 2, 0xFF01},
                                      {"Vantrel_Decode", 2, 2, 0xFF01}, {"Vantrel_ValueType", 1, 1, 0xFF01},
                                      {"Vantrel_GetTimestamp", 0, 1, 0xFF01}, {"Vantrel_DoBashCmd", 1, 1, 0x0001},
                                      {"Vantrel_Set", 2, -1, 0xFF01}})
    {
        auto found = byName.find(expected.name);
        if (found == byName.end())
            continue; // a function whose subsystem has not joined the table yet
        EXPECT_EQ(expected.minArgs, found->second.minArgs) << expected.name;
        EXPECT_EQ(expected.maxArgs, found->second.maxArgs) << expected.name;
        EXPECT_EQ(expected.flags, found->second.flags) << expected.name;
    }
    EXPECT_EQ(1u, byName.count("Vantrel_Version"));
}

TEST(FunctionTable, PrototypeTextByStringId)
{
    FMHost::Session session;
    fmx::TextUniquePtr text;
    FunctionPrototypeText(101, *text, false);
    EXPECT_EQ("Vantrel_Version( { versionFormat } )", FMHost::TextOf(*text));
    FunctionPrototypeText(101, *text, true);
    EXPECT_EQ("Vantrel_Version", FMHost::TextOf(*text));
    FunctionPrototypeText(122, *text, true);
    EXPECT_EQ("Vantrel_GetTimestamp", FMHost::TextOf(*text)) << "a prototype without '(' is its own name";
    for (fmx::int16 unknown : {100, 99, 0, 127, -1})
    {
        FunctionPrototypeText(unknown, *text, false);
        EXPECT_EQ("ERROR", FMHost::TextOf(*text)) << unknown;
    }
}

TEST_F(Registration, RefusedSecondFunctionWithdrawsExactlyTheFirst)
{
    const std::vector<short> ids = TableIds();
    FMHost::Faults::RefuseRegistration(ids[1]);
    EXPECT_EQ(-2, Initialise());
    EXPECT_FALSE(gPlugInInitialized);
    EXPECT_EQ(std::vector<short>{ids[0]}, gUnregistered);
    EXPECT_TRUE(PluginRegistrations().empty());
    EXPECT_EQ((std::vector<vtl::eHook>{vtl::eHook::kStartup, vtl::eHook::kShutdown}), gHooks);
}

TEST_F(Registration, RefusedLastFunctionWithdrawsAllOthersNewestFirst)
{
    std::vector<short> ids = TableIds();
    FMHost::Faults::RefuseRegistration(ids.back());
    EXPECT_EQ(-2, Initialise());
    ids.pop_back();
    std::reverse(ids.begin(), ids.end());
    EXPECT_EQ(ids, gUnregistered);
    EXPECT_TRUE(PluginRegistrations().empty());
}

TEST_F(Registration, RefusedFirstFunctionWithdrawsNothing)
{
    FMHost::Faults::RefuseRegistration(TableIds().front());
    EXPECT_EQ(-2, Initialise());
    EXPECT_TRUE(gUnregistered.empty());
}

TEST_F(Registration, HostFailureWhileRegisteringRollsBackToo)
{
    // Fail a call somewhere in the middle of the table: whatever got registered is withdrawn again.
    for (unsigned n : {3u, 20u, 41u})
    {
        FMHost::Faults::FailNthCall(n, fmx::_fmxcpt::kBadAlloc);
        EXPECT_EQ(-2, Initialise()) << n;
        FMHost::Faults::ClearCallFailure();
        EXPECT_TRUE(PluginRegistrations().empty()) << n;
        EXPECT_FALSE(gPlugInInitialized);
    }
    EXPECT_EQ(62, Initialise()) << "a later initialise starts afresh";
}

TEST_F(Registration, ShutdownWithdrawsNewestFirstBeforeTheShutdownHook)
{
    ASSERT_EQ(62, Initialise());
    ASSERT_TRUE(gUnregistered.empty());
    ShutdownPlugIn();
    std::vector<short> ids = TableIds();
    std::reverse(ids.begin(), ids.end());
    EXPECT_EQ(ids, gUnregistered);
    EXPECT_FALSE(gInitialisedAtShutdown);
    EXPECT_EQ(0u, gRegisteredAtShutdown);
    EXPECT_EQ(vtl::eHook::kShutdown, gHooks.back());
}

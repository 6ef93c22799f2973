// The host's messages to FMExternCallProc: versions, idle kinds, preferences, string requests, stray messages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/InlineDoc.h"
#include "frame/Lifecycle.h"
#include "frame/PluginStrings.h"
#include "support/PluginTestSupport.h"

using namespace plugintest;

namespace
{
struct cHookCall
{
    vtl::eHook hook;
    int kind;
    bool operator==(const cHookCall &other) const { return hook == other.hook && kind == other.kind; }
};
std::vector<cHookCall> gHooks;
bool gRefuseStartup = false;
int gPreferencesReentries = 0;

bool Record(vtl::eHook hook, fmx::uchar kind)
{
    gHooks.push_back({hook, kind});
    if (hook == vtl::eHook::kPreferences && gPreferencesReentries-- > 0)
    {
        // The host sends preferences again while the dialog is still open.
        FMX_ExternCallStruct again = Message(kFMXT_DoAppPreferences);
        Send(again);
    }
    return !(hook == vtl::eHook::kStartup && gRefuseStartup);
}

bool PluginFunctionsRegistered()
{
    for (const FMHost::FunctionInfo &info : FMHost::Registrations())
        if (info.pluginId == "ZQVL")
            return true;
    return false;
}

class EntryPoint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gHooks.clear();
        gRefuseStartup = false;
        gPreferencesReentries = 0;
        vtl::gHookObserver = Record;
    }
    void TearDown() override
    {
        ShutdownPlugIn();
        vtl::gHookObserver = nullptr;
        FMHost::Faults::ClearAll();
    }
    static std::vector<cHookCall> Idles()
    {
        std::vector<cHookCall> idles;
        for (const cHookCall &call : gHooks)
            if (call.hook != vtl::eHook::kStartup && call.hook != vtl::eHook::kShutdown)
                idles.push_back(call);
        return idles;
    }
    static void SendIdle(fmx::uchar kind)
    {
        FMX_ExternCallStruct record = Message(kFMXT_Idle);
        record.parm1 = kind;
        Send(record);
    }
};

std::u16string Units(const std::vector<fmx::unichar16> &buffer, std::size_t from, std::size_t count)
{
    return std::u16string(buffer.begin() + from, buffer.begin() + from + count);
}

std::vector<fmx::unichar16> RequestString(fmx::uchar which, fmx::uint32 capacity, std::size_t bufferUnits)
{
    std::vector<fmx::unichar16> buffer(bufferUnits, 0xFFFF);
    FMX_ExternCallStruct record = Message(kFMXT_GetString);
    record.parm1 = which;
    record.parm3 = (FMX_PtrType(0xABCD) << 32) | capacity; // only the low 32 bits are the capacity
    record.result = reinterpret_cast<FMX_PtrType>(buffer.data());
    Send(record);
    return buffer;
}

const std::u16string kName = u"Zeq Vantrel Plug-In";
}

TEST_F(EntryPoint, AcceptsInterfaceVersionsFrom50To255Only)
{
    EXPECT_EQ(-1, Initialise(49));
    EXPECT_FALSE(gPlugInInitialized);
    EXPECT_FALSE(PluginFunctionsRegistered());
    EXPECT_TRUE(gHooks.empty()) << "a refused version runs no hook";

    EXPECT_EQ(62, Initialise(50));
    EXPECT_TRUE(gPlugInInitialized);
    EXPECT_TRUE(PluginFunctionsRegistered());
    ShutdownPlugIn();

    EXPECT_EQ(62, Initialise(255));
    ShutdownPlugIn();

    EXPECT_EQ(-1, Initialise(256));
    EXPECT_FALSE(PluginFunctionsRegistered());
}

TEST_F(EntryPoint, RefusedStartupAnswersMinusTwoWithoutShutdown)
{
    gRefuseStartup = true;
    EXPECT_EQ(-2, Initialise());
    EXPECT_FALSE(gPlugInInitialized);
    EXPECT_FALSE(PluginFunctionsRegistered());
    ASSERT_EQ(1u, gHooks.size());
    EXPECT_EQ(vtl::eHook::kStartup, gHooks[0].hook);
}

TEST_F(EntryPoint, IdleReachesTheHookOfItsKindOnlyWhileInitialised)
{
    SendIdle(0);
    EXPECT_TRUE(Idles().empty());

    ASSERT_EQ(62, Initialise());
    for (fmx::uchar kind : {0, 1, 2, 3, 4, 5, 200})
        SendIdle(kind);
    const std::vector<cHookCall> expected = {
        {vtl::eHook::kSafeIdle, 0},     {vtl::eHook::kSemiSafeIdle, 1}, {vtl::eHook::kSemiSafeIdle, 2},
        {vtl::eHook::kSemiSafeIdle, 3}, {vtl::eHook::kUnsafeIdle, 0},   {vtl::eHook::kSemiSafeIdle, 5},
        {vtl::eHook::kSemiSafeIdle, 200}};
    EXPECT_EQ(expected, Idles());

    ShutdownPlugIn();
    gHooks.clear();
    SendIdle(0);
    SendIdle(4);
    EXPECT_TRUE(Idles().empty());
}

TEST_F(EntryPoint, PreferencesSentWhileOpenAreIgnored)
{
    gPreferencesReentries = 1;
    FMX_ExternCallStruct record = Message(kFMXT_DoAppPreferences);
    Send(record);
    EXPECT_EQ(1u, Idles().size());
    EXPECT_FALSE(gPrefsOpen);

    Send(record); // closed again: the next one opens it
    EXPECT_EQ(2u, Idles().size());
}

TEST_F(EntryPoint, MessagesAbove9AndUnusedCodesAreIgnoredButRecorded)
{
    for (fmx::uchar which : {2, 3, 6, 10, 255})
    {
        FMX_ExternCallStruct record = Message(which);
        record.result = 12345;
        Send(record);
        EXPECT_EQ(&record, gFMX_ExternCallPtr);
        EXPECT_EQ(12345u, record.result);
    }
    EXPECT_TRUE(gHooks.empty());
}

TEST_F(EntryPoint, NameIsWrittenWithinTheCapacity)
{
    std::vector<fmx::unichar16> buffer = RequestString(kFMXT_NameStr, 64, 80);
    EXPECT_EQ(kName, Units(buffer, 0, 19));
    EXPECT_EQ(0, buffer[19]) << "terminated when there is room";
    EXPECT_EQ(0xFFFF, buffer[20]);

    buffer = RequestString(kFMXT_NameStr, 19, 80);
    EXPECT_EQ(kName, Units(buffer, 0, 19));
    EXPECT_EQ(0xFFFF, buffer[19]);

    buffer = RequestString(kFMXT_NameStr, 5, 80);
    EXPECT_EQ(u"Zeq V", Units(buffer, 0, 5));
    EXPECT_EQ(0xFFFF, buffer[5]);
}

TEST_F(EntryPoint, DescriptionFillsExactlyTheCapacity)
{
    const std::string description = vtl::kDescription;
    const std::u16string expected(description.begin(), description.end());
    EXPECT_NE(std::string::npos, description.find("functions.\\n\\n")) << "backslash-n, not line feeds";
    EXPECT_EQ(std::string::npos, description.find('\n'));

    std::vector<fmx::unichar16> buffer = RequestString(kFMXT_AppConfigStr, 300, 310);
    EXPECT_EQ(expected, Units(buffer, 0, expected.size()));
    for (std::size_t i = expected.size(); i < 300; ++i)
        ASSERT_EQ(0, buffer[i]) << i;
    EXPECT_EQ(0xFFFF, buffer[300]);

    buffer = RequestString(kFMXT_AppConfigStr, 10, 20);
    EXPECT_EQ(expected.substr(0, 10), Units(buffer, 0, 10));
    EXPECT_EQ(0xFFFF, buffer[10]);
}

TEST_F(EntryPoint, OptionsAreTwelveUnitsOrNothing)
{
    std::vector<fmx::unichar16> buffer = RequestString(kFMXT_OptionsStr, 64, 64);
    // Character 10 asks for the session and file shutdown messages.
    EXPECT_EQ(std::u16string(u"ZQVL1YnYYYn") + u'\0', Units(buffer, 0, 12));
    EXPECT_EQ(0xFFFF, buffer[12]);

    buffer = RequestString(kFMXT_OptionsStr, 11, 64);
    EXPECT_EQ(0xFFFF, buffer[0]);
}

TEST_F(EntryPoint, OtherStringRequestsLeaveTheBufferUnchanged)
{
    for (fmx::uchar which : {130, 132, 0, 255})
    {
        const std::vector<fmx::unichar16> buffer = RequestString(which, 64, 64);
        EXPECT_EQ(std::vector<fmx::unichar16>(64, 0xFFFF), buffer) << int(which);
    }
}

TEST_F(EntryPoint, HostFailureDuringAStringRequestStaysInside)
{
    FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kBadAlloc);
    const std::vector<fmx::unichar16> buffer = RequestString(kFMXT_NameStr, 64, 64);
    EXPECT_EQ(0xFFFF, buffer[0]);
    FMHost::Faults::FailNthCall(2, fmx::_fmxcpt::kUnknown);
    RequestString(kFMXT_AppConfigStr, 64, 64);
}

TEST(InlineDoc, StartsOnAndSwitches)
{
    EXPECT_TRUE(isInlineDocOn());
    EXPECT_EQ("on", getHumanReadableState());
    turnOffInlineDoc();
    EXPECT_FALSE(isInlineDocOn());
    EXPECT_EQ("off", getHumanReadableState());
    turnOnInlineDoc();
    EXPECT_EQ("on", getHumanReadableState());
}

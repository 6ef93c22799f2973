#include <algorithm>
#include <cstring>

#include "FMWrapper/FMXExtern.h"
#include "frame/FunctionTable.h"
#include "frame/Lifecycle.h"
#include "frame/PluginStrings.h"
#include "globals/Dictionary.h"
#include "host/FMUtils.h"

namespace
{
constexpr fmx::int16 kLowestHostVersion = 50;
constexpr fmx::int16 kHighestHostVersion = 255;
constexpr fmx::int64 kPluginInterfaceVersion = 62;
constexpr fmx::int64 kRefusedVersion = -1;
constexpr fmx::int64 kRefusedStart = -2;
// Hosts from this interface version on send the session and file shutdown messages that the options string asks for.
constexpr fmx::int16 kFirstHostWithSessionMessages = k150ExtnVersion;

void Answer(FMX_ExternCallPtr pb, fmx::int64 value)
{
    pb->result = static_cast<FMX_PtrType>(value);
}

void Initialise(FMX_ExternCallPtr pb)
{
    if (pb->extnVersion < kLowestHostVersion || pb->extnVersion > kHighestHostVersion)
    {
        Answer(pb, kRefusedVersion);
        return;
    }
    if (!Startup(reinterpret_cast<const fmx::unichar16 *>(pb->parm2)))
    {
        Answer(pb, kRefusedStart);
        return;
    }
    if (!RegisterExternalFunctions())
    {
        Shutdown();
        Answer(pb, kRefusedStart);
        return;
    }
    vtl::globalDictionary.setClosingsReported(pb->extnVersion >= kFirstHostWithSessionMessages);
    cFMUtils::setHostVersion(pb->extnVersion);
    gPlugInInitialized = true;
    Answer(pb, kPluginInterfaceVersion);
}

void Idle(fmx::uchar kind)
{
    if (!gPlugInInitialized)
        return;
    if (kind == kFMXT_UserIdle)
        SafeIdle();
    else if (kind == kFMXT_Unsafe)
        UnsafeIdle();
    else
        SemiSafeIdle(kind);
}

void ShutdownPlugIn()
{
    gPlugInInitialized = false;
    UnRegisterExternalFunctions();
    Shutdown();
}

void OpenPreferences()
{
    if (gPrefsOpen)
        return;
    gPrefsOpen = true;
    struct Close
    {
        ~Close() { gPrefsOpen = false; }
    } close;
    Preferences();
}

// The host's buffer is the result field, its capacity in UTF-16 units the low 32 bits of parm3. Nothing is written
// beyond the capacity.
void AnswerString(FMX_ExternCallPtr pb)
{
    auto *buffer = reinterpret_cast<fmx::unichar16 *>(pb->result);
    const auto capacity = static_cast<fmx::uint32>(pb->parm3 & 0xFFFFFFFFu);
    if (buffer == nullptr)
        return;
    switch (pb->parm1)
    {
    case kFMXT_NameStr:
    {
        const fmx::uint32 written = ReadString(buffer, capacity, vtl::kNameString);
        if (written < capacity)
            buffer[written] = 0;
        break;
    }
    case kFMXT_AppConfigStr:
    {
        // Exactly capacity units: the description, cut or followed by zero units.
        const fmx::uint32 written = ReadString(buffer, capacity, vtl::kDescriptionString);
        std::fill(buffer + written, buffer + capacity, fmx::unichar16(0));
        break;
    }
    case kFMXT_OptionsStr:
    {
        // All or nothing: a cut options string would switch the host's features wrongly.
        const std::size_t units = std::strlen(vtl::kOptionsString) + 1;
        if (capacity >= units)
            std::copy(vtl::kOptionsString, vtl::kOptionsString + units, buffer);
        break;
    }
    default:
        break;
    }
}
}

// The only symbol the host looks up. Nothing thrown may leave it: an exception crossing into the host ends the server.
extern "C" __attribute__((visibility("default"))) void FMExternCallProc(FMX_ExternCallPtr pb)
{
    gFMX_ExternCallPtr = pb;
    if (pb == nullptr || pb->whichCall > kFMXT_FileShutdown)
        return;
    try
    {
        switch (pb->whichCall)
        {
        case kFMXT_Init:
            Initialise(pb);
            break;
        case kFMXT_Idle:
            Idle(pb->parm1);
            break;
        case kFMXT_Shutdown:
            ShutdownPlugIn();
            break;
        case kFMXT_DoAppPreferences:
            OpenPreferences();
            break;
        case kFMXT_GetString:
            AnswerString(pb);
            break;
        // Local globals end with the file of the session that bound them, or with the session.
        case kFMXT_SessionShutdown:
            vtl::globalDictionary.sessionEnded(pb->parm2);
            break;
        case kFMXT_FileShutdown:
            vtl::globalDictionary.fileClosed(pb->parm2, pb->parm3);
            break;
        default:
            break;
        }
    }
    catch (...)
    {
        // A host failure (out of memory) in the middle of a message. An initialise that fails is refused; the
        // other messages have no answer to give.
        if (pb->whichCall == kFMXT_Init && !gPlugInInitialized)
            Answer(pb, kRefusedStart);
    }
}

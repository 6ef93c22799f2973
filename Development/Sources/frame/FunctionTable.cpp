#include "frame/FunctionTable.h"

#include <cstring>

#include "frame/Version.h"
#include "functions/InfoFunctions.h"
#include "functions/Selectors.h"
#include "globals/GlobalFunctions.h"
#include "html/GetAsHTML.h"
#include "network/NetworkFunctions.h"
#include "regex/RegExpFunctions.h"
#include "sql/ExecuteSQL.h"
#include "system/DoBashCmd.h"
#include "system/NotOnLinux.h"

namespace vtl
{
const char kPluginId[5] = "ZQVL";

namespace
{
// Registration order: ascending id. The prototypes are what FileMaker shows in its calculation dialogs.
const cFunctionEntry kTable[] = {
    {1, 0, -1, kListed, Vantrel_Version, "Vantrel_Version( { versionFormat } )"},
    {2, 0, -1, kListed, Vantrel_Get, "Vantrel_Get( selector { ; moreOptions } )"},
    {3, 2, -1, kListed, Vantrel_Set, "Vantrel_Set( selector ; newValue )"},
    {4, 1, -1, kListed, Vantrel_ExecuteSQL,
     "Vantrel_ExecuteSQL( SQLCommand { ; fieldSeparator { ; recordSeparator } } )"},
    {5, 2, 2, kListed, Vantrel_Encode, "Vantrel_Encode( encoding ; text )"},
    {6, 2, 2, kListed, Vantrel_Decode, "Vantrel_Decode( encoding ; text )"},
    {7, 1, -1, kListed, Vantrel_MergeText, "Vantrel_MergeText( text )"},
    {8, 1, -1, kListed, Vantrel_DoFileMakerScript,
     "Vantrel_DoFileMakerScript( scriptName { ; scriptParameter } { ; delayOrTime } )"},
    {9, 2, -1, kListed, Vantrel_DoSystemScript, "Vantrel_DoSystemScript( scriptText ; scriptInterpreter )"},
    {10, 0, -1, kListed, Vantrel_GetDefaultPrinter, "Vantrel_GetDefaultPrinter"},
    {11, 1, -1, kListed, Vantrel_SetDefaultPrinter, "Vantrel_SetDefaultPrinter( printerName )"},
    {12, 0, -1, kListed, Vantrel_GetPrinterNames, "Vantrel_GetPrinterNames"},
    {13, 3, -1, kListed, Vantrel_RegExp_Substitute,
     "Vantrel_RegExp_Substitute( text ; searchPattern ; replaceString1 { ; replaceString2 ... } )"},
    {14, 2, -1, kListed, Vantrel_RegExp_PatternCount, "Vantrel_RegExp_PatternCount( text ; searchPattern )"},
    {15, 0, -1, kListed, Vantrel_GetClientPublicIPAddress, "Vantrel_GetClientPublicIPAddress"},
    {17, 1, -1, kListed, Vantrel_GetNameForIP, "Vantrel_GetNameForIP( hostIP )"},
    {18, 1, -1, kListed, Vantrel_GetIPforName, "Vantrel_GetIPforName( hostName )"},
    {19, 0, -1, kListed, Vantrel_GetSpecialWindows, "Vantrel_GetSpecialWindows"},
    {20, 2, -1, kListed, Vantrel_SetScriptShortcut,
     "Vantrel_SetScriptShortcut( key ; scriptName { ; scriptParameter } { ; scriptControl } )"},
    {21, 1, 1, kListed, Vantrel_ValueType, "Vantrel_ValueType( value )"},
    {22, 0, 1, kListed, Vantrel_GetTimestamp, "Vantrel_GetTimestamp"},
    {23, 0, -1, kListed, Vantrel_SetGlobal, "Vantrel_SetGlobal( key ; value { ; moreOptions } )"},
    {24, 0, -1, kListed, Vantrel_GetGlobal, "Vantrel_GetGlobal( key )"},
    {25, 0, -1, kListed, Vantrel_GetAsHTML, "Vantrel_GetAsHTML( key )"},
    {26, 1, 1, kServerOnly, Vantrel_DoBashCmd, "Vantrel_DoBashCmd"},
};

const cFunctionEntry *FindEntry(fmx::int16 functionId)
{
    for (const cFunctionEntry &entry : kTable)
        if (entry.id == functionId)
            return &entry;
    return nullptr;
}

// The host keeps the id a function was registered under; so do we, by building the identifier where it is used.
fmx::QuadCharUniquePtr PluginId()
{
    return fmx::QuadCharUniquePtr(kPluginId[0], kPluginId[1], kPluginId[2], kPluginId[3]);
}
}

const cFunctionEntry *FunctionTable()
{
    return kTable;
}

std::size_t FunctionTableSize()
{
    return sizeof kTable / sizeof kTable[0];
}
}

void FunctionPrototypeText(fmx::int16 stringId, fmx::Text &text, bool nameOnly)
{
    const vtl::cFunctionEntry *entry = vtl::FindEntry(static_cast<fmx::int16>(stringId - 100));
    const char *prototype = entry ? entry->prototype : "ERROR";
    const std::size_t length = nameOnly ? std::strcspn(prototype, "(") : std::strlen(prototype);
    text.AssignWithLength(prototype, static_cast<fmx::uint32>(length), fmx::Text::kEncoding_Native);
}

fmx::errcode RegisterExternalFunction(fmx::int16 functionId, fmx::int16 minArgs, fmx::int16 maxArgs,
                                      fmx::uint32 flags, fmx::ExtPluginType implementation)
{
    if (!vtl::FindEntry(functionId))
        return -1;
    fmx::QuadCharUniquePtr pluginId = vtl::PluginId();
    fmx::TextUniquePtr name;
    fmx::TextUniquePtr prototype;
    FunctionPrototypeText(static_cast<fmx::int16>(functionId + 100), *name, true);
    FunctionPrototypeText(static_cast<fmx::int16>(functionId + 100), *prototype, false);
    return fmx::ExprEnv::RegisterExternalFunction(*pluginId, functionId, *name, *prototype, minArgs, maxArgs, flags,
                                                  implementation);
}

fmx::errcode UnRegisterExternalFunction(fmx::int16 functionId)
{
    fmx::QuadCharUniquePtr pluginId = vtl::PluginId();
    return fmx::ExprEnv::UnRegisterExternalFunction(*pluginId, functionId);
}

namespace
{
// Withdraws the first count functions of the table, newest first. Never throws: it also runs while a host failure
// is being handled, and a function left registered after a failed start would point into an unloaded library.
void UnRegisterFirst(std::size_t count) noexcept
{
    const vtl::cFunctionEntry *table = vtl::FunctionTable();
    while (count > 0)
    {
        --count;
        try
        {
            UnRegisterExternalFunction(table[count].id);
        }
        catch (...)
        {
            // The host could not even withdraw it; go on with the others.
        }
    }
}
}

bool RegisterExternalFunctions()
{
    const vtl::cFunctionEntry *table = vtl::FunctionTable();
    const std::size_t size = vtl::FunctionTableSize();
    std::size_t registered = 0;
    try
    {
        for (; registered < size; ++registered)
        {
            const vtl::cFunctionEntry &entry = table[registered];
            if (RegisterExternalFunction(entry.id, entry.minArgs, entry.maxArgs, entry.flags, entry.implementation) != 0)
                break;
        }
    }
    catch (...)
    {
        // A host failure while registering: the function being registered counts as refused.
    }
    if (registered == size)
        return true;
    UnRegisterFirst(registered);
    return false;
}

void UnRegisterExternalFunctions()
{
    UnRegisterFirst(vtl::FunctionTableSize());
}

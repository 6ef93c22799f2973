// A well-behaved plug-in for the fmhost tests. It appends every message it receives to the file named by
// FMHOST_TEST_LOG and registers three functions:
//   Log_Count ( a { ; b } )   the number of arguments it received (1 or 2)
//   Log_Fail                  answers error 1552 (a plug-in error result)
//   Log_SetAndGet ( v )       sets $$logged to v through the host's evaluator and answers $$logged & "!"
// It asks for the session and file shutdown messages (character 10 of its options string) only when
// FMHOST_TEST_SESSION_MESSAGES is set, and then logs them with their session and file ids.
#include "FMWrapper/FMXTypes.h"
#include "FMWrapper/FMXCalcEngine.h"
#include "FMWrapper/FMXData.h"
#include "FMWrapper/FMXExtern.h"
#include "FMWrapper/FMXFixPt.h"
#include "FMWrapper/FMXText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

__attribute__((visibility("default"))) FMX_ExternCallPtr gFMX_ExternCallPtr = nullptr;

namespace
{
void logLine(const std::string &line)
{
    const char *path = std::getenv("FMHOST_TEST_LOG");
    if (!path)
        return;
    if (FILE *file = std::fopen(path, "a"))
    {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string narrow(const fmx::unichar16 *text)
{
    std::string out;
    for (; text && *text; ++text)
        out += *text < 128 ? static_cast<char>(*text) : '?';
    return out;
}

fmx::errcode countArguments(short, const fmx::ExprEnv &, const fmx::DataVect &parms, fmx::Data &result)
{
    try
    {
        fmx::FixPtUniquePtr count(static_cast<fmx::int32>(parms.Size()));
        result.SetAsNumber(*count);
        return 0;
    }
    catch (...)
    {
        return 1200;
    }
}

fmx::errcode failing(short, const fmx::ExprEnv &, const fmx::DataVect &, fmx::Data &) { return 1552; }

fmx::errcode setAndGet(short, const fmx::ExprEnv &env, const fmx::DataVect &parms, fmx::Data &result)
{
    try
    {
        fmx::TextUniquePtr calculation;
        std::string text = "Let ( $$logged = \"";
        fmx::TextUniquePtr quoted;
        quoted->SetText(parms.AtAsText(0));
        calculation->Assign(text.c_str());
        calculation->AppendText(*quoted);
        fmx::TextUniquePtr rest;
        rest->Assign("\" ; $$logged & \"!\" )");
        calculation->AppendText(*rest);
        return env.Evaluate(*calculation, result);
    }
    catch (...)
    {
        return 1200;
    }
}

bool registerFunction(short id, const char *name, short minArgs, short maxArgs, fmx::ExtPluginType function)
{
    fmx::QuadCharUniquePtr pluginId('T', 'L', 'O', 'G');
    fmx::TextUniquePtr nameText;
    nameText->Assign(name);
    return fmx::ExprEnv::RegisterExternalFunction(*pluginId, id, *nameText, *nameText, minArgs, maxArgs, 0xFF01,
                                                  function) == 0;
}

void unregisterAll()
{
    fmx::QuadCharUniquePtr pluginId('T', 'L', 'O', 'G');
    for (short id = 3; id >= 1; --id)
        fmx::ExprEnv::UnRegisterExternalFunction(*pluginId, id);
}
} // namespace

extern "C" __attribute__((visibility("default"))) void FMExternCallProc(FMX_ExternCallPtr pb)
{
    gFMX_ExternCallPtr = pb;
    try
    {
        switch (pb->whichCall)
        {
        case kFMXT_Init:
            logLine("init version=" + std::to_string(pb->extnVersion) + " app=" + std::to_string(pb->parm1) +
                    " appVersion=" + narrow(reinterpret_cast<const fmx::unichar16 *>(pb->parm2)));
            pb->result = registerFunction(1, "Log_Count", 1, 2, &countArguments) &&
                                 registerFunction(2, "Log_Fail", 0, 0, &failing) &&
                                 registerFunction(3, "Log_SetAndGet", 1, 1, &setAndGet)
                             ? static_cast<FMX_PtrType>(kCurrentExtnVersion)
                             : static_cast<FMX_PtrType>(kDoNotEnable);
            break;
        case kFMXT_Shutdown:
            unregisterAll();
            logLine("shutdown");
            break;
        case kFMXT_GetString:
            if (pb->parm1 == kFMXT_OptionsStr && pb->result != 0 && pb->parm3 >= 12)
            {
                const char *options = std::getenv("FMHOST_TEST_SESSION_MESSAGES") ? "TLOG1nnYnYn" : "TLOG1nnYnnn";
                auto *buffer = reinterpret_cast<fmx::unichar16 *>(pb->result);
                for (int i = 0; i <= 11; ++i)
                    buffer[i] = static_cast<fmx::unichar16>(options[i]);
            }
            break;
        case kFMXT_SessionShutdown:
            logLine("session shutdown session=" + std::to_string(pb->parm2));
            break;
        case kFMXT_FileShutdown:
            logLine("file shutdown session=" + std::to_string(pb->parm2) + " file=" + std::to_string(pb->parm3));
            break;
        default:
            logLine("message " + std::to_string(pb->whichCall));
            break;
        }
    }
    catch (...)
    {
        pb->result = static_cast<FMX_PtrType>(kDoNotEnable);
    }
}

// Loads one plug-in file the way a FileMaker Server engine does, without fmhost: this program does not link
// libFMWrapper.so, so the plug-in must find the host library itself (its RUNPATH), as it must on a server.
//
//   vantrel-plugin-load [--engine sase|web|fmdapi] [--file NAME] [--expect-version TEXT] PLUGIN
//   vantrel-plugin-load --expect-load-failure TEXT PLUGIN
//
// The first form dlopens PLUGIN by its path (RTLD_NOW | RTLD_LOCAL), sends the initialise message as the named
// engine, asks for the plug-in's name, calls Vantrel_Version ( "long" ) through the host's registry in a session
// whose calling file is NAME, and sends the shutdown message. With --expect-version the answer must start with
// TEXT. The second form passes only when dlopen fails with a message that contains TEXT.
// Exit status: 0 passed, 1 failed, 2 usage error.
#include "FMHost/CInterface.h"
#include "FMWrapper/FMXExtern.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Options
{
    std::string plugin;
    std::string file = "LoadCheck";
    std::string expectVersion;
    std::string expectLoadFailure;
    FMX_UChar engine = kFMXT_SASE;
};

// The host's version as the server's engines announce it.
const FMX_Unichar kServerVersion[] = {'S', 'e', 'r', 'v', 'e', 'r', ' ', '2', '1', '.', '0', '.', '1', 0};
// US English, the language the host asks plug-in strings in.
constexpr FMX_PtrType kEnglish = 0x0409;

bool parseEngine(const std::string &name, FMX_UChar &engine)
{
    if (name == "sase")
        engine = kFMXT_SASE;
    else if (name == "web")
        engine = kFMXT_Web;
    else if (name == "fmdapi")
        engine = kFMXT_FMDAPI;
    else
        return false;
    return true;
}

bool parse(int argc, char **argv, Options &options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--engine" && hasValue)
        {
            if (!parseEngine(argv[++i], options.engine))
                return false;
        }
        else if (arg == "--file" && hasValue)
            options.file = argv[++i];
        else if (arg == "--expect-version" && hasValue)
            options.expectVersion = argv[++i];
        else if (arg == "--expect-load-failure" && hasValue)
            options.expectLoadFailure = argv[++i];
        else if (arg.rfind("--", 0) == 0 || !options.plugin.empty())
            return false;
        else
            options.plugin = arg;
    }
    return !options.plugin.empty();
}

int fail(const Options &options, const std::string &message)
{
    std::fprintf(stderr, "%s: %s\n", options.plugin.c_str(), message.c_str());
    return 1;
}

// Sends one message; the record stays the plug-in's (it keeps a pointer to it) until the library is closed.
void send(FMX_ExternCallStruct &record, FMX_ExternCallSwitch message)
{
    record.whichCall = message;
    record.entryPoint(&record);
}

std::string askName(FMX_ExternCallStruct &record)
{
    FMX_Unichar buffer[256] = {};
    record.parm1 = kFMXT_NameStr;
    record.parm2 = kEnglish;
    record.parm3 = sizeof buffer / sizeof buffer[0] - 1;
    record.result = reinterpret_cast<FMX_PtrType>(buffer);
    send(record, kFMXT_GetString);
    record.result = 0;
    std::string name;
    for (const FMX_Unichar *c = buffer; *c; ++c)
        name += *c < 0x80 ? static_cast<char>(*c) : '?';
    return name;
}

// Where the dynamic loader found the library that holds `symbol`.
std::string libraryOf(void *symbol)
{
    Dl_info info{};
    return dladdr(symbol, &info) && info.dli_fname ? info.dli_fname : "(unknown)";
}

int run(const Options &options, void *handle)
{
    auto entryPoint = reinterpret_cast<FMX_ExternCallProc>(dlsym(handle, "FMExternCallProc"));
    if (!entryPoint)
        return fail(options, "no entry point FMExternCallProc");
    // The host's registry lives in the libFMWrapper.so the plug-in brought in; dlsym on the plug-in's handle
    // searches its dependencies.
    auto callFunction = reinterpret_cast<FMHost_CallFunctionProc>(dlsym(handle, FMHOST_CALL_FUNCTION_SYMBOL));
    if (!callFunction)
        return fail(options, "the libFMWrapper.so it loaded is not the host emulator");
    std::printf("%s: loaded, host library %s\n", options.plugin.c_str(),
                libraryOf(reinterpret_cast<void *>(callFunction)).c_str());

    FMX_ExternCallStruct record{};
    record.extnVersion = kCurrentExtnVersion;
    record.unusedID = -1;
    record.entryPoint = entryPoint;
    record.parm1 = options.engine;
    record.parm2 = reinterpret_cast<FMX_PtrType>(kServerVersion);
    record.instanceID = reinterpret_cast<FMX_PtrType>(handle);
    send(record, kFMXT_Init);
    const auto answer = static_cast<fmx::int64>(record.result);
    if (answer < kMinExtnVersion || answer > kMaxExtnVersion)
        return fail(options, "refused to initialise (answer " + std::to_string(answer) + ")");
    std::printf("%s: initialised as \"%s\"\n", options.plugin.c_str(), askName(record).c_str());

    char version[512];
    const short error = callFunction(options.file.c_str(), "Vantrel_Version", "long", version, sizeof version);
    std::printf("%s: Vantrel_Version ( \"long\" ) in %s: error %d, \"%s\"\n", options.plugin.c_str(),
                options.file.c_str(), error, version);

    record.parm1 = 0;
    record.parm2 = 0;
    record.result = 0;
    send(record, kFMXT_Shutdown);
    std::printf("%s: shut down\n", options.plugin.c_str());

    // A registry that still knows the function after the shutdown would call into an unloaded library.
    char after[64];
    if (callFunction(options.file.c_str(), "Vantrel_Version", "long", after, sizeof after) != 1224)
        return fail(options, "Vantrel_Version is still registered after the shutdown message");
    if (error != 0)
        return fail(options, "Vantrel_Version answered error " + std::to_string(error));
    if (std::strncmp(version, options.expectVersion.c_str(), options.expectVersion.size()) != 0)
        return fail(options, "Vantrel_Version gave \"" + std::string(version) + "\", expected \"" +
                                 options.expectVersion + "...\"");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    if (!parse(argc, argv, options))
    {
        std::fprintf(stderr, "usage: %s [--engine sase|web|fmdapi] [--file NAME] [--expect-version TEXT] PLUGIN\n"
                             "       %s --expect-load-failure TEXT PLUGIN\n",
                     argv[0], argv[0]);
        return 2;
    }
    void *handle = dlopen(options.plugin.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!options.expectLoadFailure.empty())
    {
        if (handle)
            return fail(options, "loaded, but was expected to fail with \"" + options.expectLoadFailure + "\"");
        const std::string reason = dlerror();
        std::printf("%s: not loaded, as expected: %s\n", options.plugin.c_str(), reason.c_str());
        return reason.find(options.expectLoadFailure) == std::string::npos
                   ? fail(options, "failed for another reason than \"" + options.expectLoadFailure + "\"")
                   : 0;
    }
    if (!handle)
        return fail(options, std::string("cannot be loaded: ") + dlerror());
    const int status = run(options, handle);
    dlclose(handle);
    return status;
}

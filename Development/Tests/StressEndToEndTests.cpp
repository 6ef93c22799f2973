// Loads the built sandbox plug-in into the emulator and calls every registered function from eight threads at
// once, with valid and invalid arguments, across several hosted files, while the allow-list file is rewritten
// under them; then shuts the plug-in down and unloads it. A server runs the plug-in exactly like this.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "FMHost/Host.h"
#include "FMWrapper/FMXExtern.h"

namespace
{
using Clock = std::chrono::steady_clock;

int StressSeconds()
{
    const char *value = std::getenv("VANTREL_STRESS_SECONDS");
    return value ? std::max(1, std::atoi(value)) : 60;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// The plug-in as the host sees it: a library with one entry point, driven by messages.
class cLoadedPlugin
{
public:
    explicit cLoadedPlugin(const char *path)
    {
        handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (handle_)
            entry_ = reinterpret_cast<FMX_ExternCallProc>(dlsym(handle_, "FMExternCallProc"));
    }
    ~cLoadedPlugin()
    {
        if (handle_)
            dlclose(handle_);
    }
    bool Loaded() const { return entry_ != nullptr; }
    FMX_ExternCallProc EntryPoint() const { return entry_; }

    FMX_PtrType Send(FMX_ExternCallSwitch message, FMX_UChar parm1 = 0, FMX_PtrType parm2 = 0)
    {
        FMX_ExternCallStruct record{};
        record.extnVersion = kCurrentExtnVersion;
        record.unusedID = -1;
        record.entryPoint = entry_;
        record.whichCall = message;
        record.parm1 = parm1;
        record.parm2 = parm2;
        entry_(&record);
        return record.result;
    }

private:
    void *handle_ = nullptr;
    FMX_ExternCallProc entry_ = nullptr;
};

// Arguments a function may meet on a server: every host type, empty and huge texts, unpaired surrogates.
class cArgumentMaker
{
public:
    explicit cArgumentMaker(unsigned seed) : random_(seed) {}

    unsigned Below(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }

    std::u16string RandomText()
    {
        static const char16_t kPieces[][8] = {u"a", u"Z", u"0", u"9", u" ", u"\r", u"\n", u"\t", u"|", u"\"",
                                              u"\\", u"<", u"&", u"é", u"\u2028", u"\xD83D\xDE00", u"\xD800",
                                              u"\xDC00", u"(", u")", u"*", u"+", u"[", u"$1", u".", u"¶"};
        std::u16string text;
        const unsigned length = Below(10) == 0 ? 20000 + Below(200000) : Below(40);
        while (text.size() < length)
            text += kPieces[Below(sizeof kPieces / sizeof kPieces[0])];
        return text;
    }

    void SetText(fmx::Data &data, const std::u16string &text)
    {
        fmx::TextUniquePtr host;
        host->AssignUnicodeWithLength(reinterpret_cast<const fmx::uint16 *>(text.data()),
                                      static_cast<fmx::uint32>(text.size()));
        fmx::LocaleUniquePtr locale;
        data.SetAsText(*host, *locale);
    }

    void SetText(fmx::Data &data, const std::string &utf8)
    {
        fmx::TextUniquePtr host;
        host->Assign(utf8.c_str(), fmx::Text::kEncoding_UTF8);
        fmx::LocaleUniquePtr locale;
        data.SetAsText(*host, *locale);
    }

    void SetRandom(fmx::Data &data)
    {
        switch (Below(8))
        {
        case 0:
        case 1:
            SetText(data, RandomText());
            break;
        case 2: {
            fmx::FixPtUniquePtr number;
            number->AssignDouble(std::uniform_real_distribution<double>(-1e9, 1e9)(random_));
            data.SetAsNumber(*number);
            break;
        }
        case 3: {
            fmx::DateTimeUniquePtr date;
            date->SetNormalizedDate(static_cast<fmx::int16>(1 + Below(12)), static_cast<fmx::int16>(1 + Below(28)),
                                    static_cast<fmx::int16>(1900 + Below(200)));
            data.SetAsDate(*date);
            break;
        }
        case 4: {
            fmx::DateTimeUniquePtr time;
            time->SetNormalizedTime(Below(24), static_cast<fmx::int16>(Below(60)), static_cast<fmx::int16>(Below(60)));
            data.SetAsTime(*time);
            break;
        }
        case 5: {
            fmx::DateTimeUniquePtr stamp;
            stamp->SetNormalizedDate(3, 4, 2025);
            stamp->SetNormalizedTime(Below(24), 5, 6);
            data.SetAsTimeStamp(*stamp);
            break;
        }
        case 6: {
            fmx::BinaryDataUniquePtr binary;
            fmx::QuadCharUniquePtr type('F', 'I', 'L', 'E');
            std::string bytes(Below(64), 'x');
            binary->Add(*type, static_cast<fmx::uint32>(bytes.size()), bytes.data());
            data.SetBinaryData(*binary);
            break;
        }
        default:
            break; // an empty value
        }
    }

    // A value fit for the argument position, so that the shell and the resolver meet only harmless requests.
    void SetArgument(fmx::Data &data, const std::string &function, unsigned position)
    {
        static const char *const kCommands[] = {"echo hello", "printf 'a\\nb'", "true", "echo oops 1>&2",
                                                "head -c 10000 /dev/zero | tr '\\0' x", ""};
        static const char *const kNames[] = {"localhost", "127.0.0.1", "127.1", "", "::1", "255.255.255.255"};
        static const char *const kSql[] = {"SELECT 1", "SELEC x", "SELECT id, name FROM customers", "", "SELECT ?"};
        static const char *const kPatterns[] = {"a", "(\\d+)", "^a", "(x+x+)+y", "(", "[a-z]+\\d+", ".*", "(?<n>a)\\k<n>",
                                                "\\s", "$", "a|b|", "(a)|(b)"};
        static const char *const kKeys[] = {"", "k1", "k2", "shared", "Shared", "dieonclose", "sort", "lastError",
                                            "lastErrorMessage", "globalDieInterval", "inlineDocumentation", "version",
                                            "LONG", "autoupdate"};
        static const char *const kSettings[] = {"on", "off", "True", "FALSE", "0", "1", "60", "1.5", "0.5", "-1", ""};
        static const char *const kOptions[] = {"", "dieonclose", "DIEONCLOSE", " dieonclose", "bold", "ALL", "=div",
                                               "b=strong", "all=lines"};
        if (function == "Vantrel_DoBashCmd")
            return SetText(data, std::string(kCommands[Below(sizeof kCommands / sizeof *kCommands)]));
        if (function == "Vantrel_GetIPforName" || function == "Vantrel_GetNameForIP")
            return SetText(data, std::string(kNames[Below(sizeof kNames / sizeof *kNames)]));
        if (Below(3) == 0)
            return SetRandom(data);
        if (function == "Vantrel_ExecuteSQL" && position == 0)
            return SetText(data, std::string(kSql[Below(sizeof kSql / sizeof *kSql)]));
        if (function.rfind("Vantrel_RegExp", 0) == 0 && position == 1)
            return SetText(data, std::string(kPatterns[Below(sizeof kPatterns / sizeof *kPatterns)]));
        if (position == 0)
            return SetText(data, std::string(kKeys[Below(sizeof kKeys / sizeof *kKeys)]));
        if (function == "Vantrel_Set" && position == 1)
            return SetText(data, std::string(kSettings[Below(sizeof kSettings / sizeof *kSettings)]));
        if (position >= 2)
            return SetText(data, std::string(kOptions[Below(sizeof kOptions / sizeof *kOptions)]));
        SetRandom(data);
    }

private:
    std::mt19937 random_;
};

// Allow-list contents the administrator might leave behind, including broken ones.
const char *const kAllowLists[] = {
    "Invoices\tany\nContacts\tany\nArchive\tany\n",
    "Invoices\tVantrel_Version|Vantrel_Get|Vantrel_SetGlobal|Vantrel_GetGlobal\nContacts\tany\n",
    "",
    "\n\nInvoices\tany\n",
    "Invoices\tany\r\nContacts\tany\r\n",
    "Contacts\t\nInvoices\tany|\n",
    "Archive.fmp12\tany\tany\nInvoices.fmp12\tany\n",
};

// Functions that reach the internet are left out: this machine has no network and tests never leave it.
bool Excluded(const std::string &name)
{
    return name == "Vantrel_GetClientPublicIPAddress";
}
}

TEST(Stress, EightThreadsCallEveryFunctionWhileTheAllowListChanges)
{
    const std::string allowListPath = SANDBOX_ALLOWLIST_PATH;
    const bool hadAllowList = std::ifstream(allowListPath).good();
    const std::string savedAllowList = ReadFile(allowListPath);
    const std::string database = std::string(VANTREL_BINARY_DIR) + "/examples/invoices.sqlite";

    {
        cLoadedPlugin plugin(SANDBOX_PLUGIN_PATH);
        ASSERT_TRUE(plugin.Loaded()) << dlerror();
        static const char16_t kAppVersion[] = u"Server 21.0v1";
        ASSERT_EQ(static_cast<FMX_PtrType>(62), plugin.Send(kFMXT_Init, kFMXT_Server,
                                                            reinterpret_cast<FMX_PtrType>(kAppVersion)));
        // Files closing and sessions ending reach the plug-in as the host's messages, on the workers' threads.
        ASSERT_TRUE(FMHost::AttachPlugin(plugin.EntryPoint()));

        std::vector<FMHost::FunctionInfo> functions;
        for (const FMHost::FunctionInfo &info : FMHost::Registrations())
            if (info.pluginId == "ZQVL" && !Excluded(info.name))
                functions.push_back(info);
        ASSERT_GE(functions.size(), 13u);

        const auto deadline = Clock::now() + std::chrono::seconds(StressSeconds());
        std::atomic<bool> stop{false};
        std::atomic<unsigned long> calls{0};
        std::atomic<unsigned long> failures{0};

        std::thread rewriter([&] {
            cArgumentMaker random(99);
            while (!stop.load())
            {
                WriteFile(allowListPath, kAllowLists[random.Below(sizeof kAllowLists / sizeof *kAllowLists)]);
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });

        std::vector<std::thread> workers;
        for (unsigned t = 0; t < 8; ++t)
        {
            workers.emplace_back([&, t] {
                cArgumentMaker random(1000 + t);
                FMHost::Session session;
                const char *const files[] = {"Invoices", "Contacts", "Archive"};
                for (const char *file : files)
                    session.OpenFile(file, file == std::string("Invoices") ? database : std::string());
                while (Clock::now() < deadline)
                {
                    const FMHost::FunctionInfo &function = functions[random.Below(functions.size())];
                    session.SetCallingFile(files[random.Below(3)]);
                    const int most = function.maxArgs < 0 ? function.minArgs + 4 : function.maxArgs;
                    const unsigned count = function.minArgs + random.Below(most - function.minArgs + 1);
                    fmx::DataVectUniquePtr args;
                    for (unsigned i = 0; i < count; ++i)
                    {
                        fmx::DataUniquePtr value;
                        random.SetArgument(*value, function.name, i);
                        args->PushBack(*value);
                    }
                    fmx::DataUniquePtr result;
                    const fmx::errcode error = session.Call(function.name, *args, *result);
                    calls.fetch_add(1);
                    if (error != 0)
                    {
                        failures.fetch_add(1);
                        ADD_FAILURE() << function.name << " answered the host " << error;
                    }
                    if (random.Below(200) == 0)
                    {
                        // A file closing and opening again: the globals this session bound in it go at once.
                        const char *file = files[1 + random.Below(2)];
                        session.CloseFile(file);
                        session.OpenFile(file);
                    }
                }
            });
        }
        for (std::thread &worker : workers)
            worker.join();
        stop = true;
        rewriter.join();

        FMHost::DetachPlugin(plugin.EntryPoint());
        plugin.Send(kFMXT_Shutdown);
        EXPECT_EQ(0u, failures.load());
        EXPECT_GT(calls.load(), 1000u);
        std::printf("%lu calls in %d s\n", calls.load(), StressSeconds());
    }
    if (hadAllowList)
        WriteFile(allowListPath, savedAllowList);
    else
        std::remove(allowListPath.c_str());
}

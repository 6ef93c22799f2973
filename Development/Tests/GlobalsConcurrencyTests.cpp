#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "globals/Dictionary.h"
#include "globals/GlobalFunctions.h"
#include "support/GlobalsTestSupport.h"
#include "support/PluginTestSupport.h"

using namespace globalstest;

// Eight sessions on eight threads store, read, replace and remove keys at once, as FileMaker Server's calculation
// threads do. Each thread has keys of its own, whose final state it knows exactly, and shares others with every
// thread. Run it under ThreadSanitizer and AddressSanitizer (-DVANTREL_SANITIZE=thread / address,undefined).
namespace
{
constexpr int kThreads = 8;
constexpr int kOperations = 100000;
constexpr int kOwnKeys = 40;
constexpr int kSharedKeys = 16;
constexpr double kThreadFactor = 1000000.0;

std::string ownKey(int thread, int k)
{
    return "own-" + std::to_string(thread) + "-" + std::to_string(k);
}
std::string sharedKey(int k)
{
    return "shared-" + std::to_string(k);
}
const char *fileOf(int thread)
{
    return thread % 2 ? "B" : "A";
}

// A value some thread wrote: thread * 1000000 + its operation number.
bool isWrittenValue(double value)
{
    const double thread = std::floor(value / kThreadFactor);
    const double operation = value - thread * kThreadFactor;
    return thread >= 0 && thread < kThreads && operation >= 0 && operation < kOperations;
}

struct cOwnKey
{
    bool present = false;
    double value = 0;
    bool bound = false;
};

struct cWorker
{
    int thread;
    int operations = kOperations / kThreads;
    std::map<int, cOwnKey> own;
    int failures = 0;
    std::string firstFailure;

    void fail(const std::string &what)
    {
        if (failures++ == 0)
            firstFailure = what;
    }

    void run()
    {
        FMHost::Session session;
        session.OpenFile("A");
        session.OpenFile("B");
        session.SetCallingFile(fileOf(thread));
        std::mt19937 random(static_cast<unsigned>(thread) * 7919u + 1u);
        auto empty = TextValue("");
        auto option = TextValue("dieonclose");
        for (int i = 0; i < operations; ++i)
        {
            const bool shared = random() % 4 == 0;
            const int k = static_cast<int>(random() % (shared ? kSharedKeys : kOwnKeys));
            const std::string name = shared ? sharedKey(k) : ownKey(thread, k);
            auto key = TextValue(name);
            const int action = static_cast<int>(random() % 6);
            if (action <= 1) // store, half of them bound to the calling file
            {
                const double number = thread * kThreadFactor + i;
                auto value = NumberValue(number);
                const bool bind = action == 1;
                std::vector<const fmx::Data *> args{key.get(), value.get()};
                if (bind)
                    args.push_back(option.get());
                const cAnswer answer = Call(Vantrel_SetGlobal, session, args);
                if (answer.error != 0 || answer.result->GetAsNumber().AsFloat() != number)
                    fail("store of " + name + " gave " + answer.text());
                if (!shared)
                {
                    cOwnKey &model = own[k];
                    model.bound = bind; // own keys are always stored from this thread's file
                    model.present = true;
                    model.value = number;
                }
            }
            else if (action == 2) // remove
            {
                const cAnswer answer = Call(Vantrel_SetGlobal, session, {key.get(), empty.get()});
                if (answer.error != 0 || answer.type() != FMHost::Type::Invalid)
                    fail("removal of " + name + " gave " + answer.text());
                if (!shared)
                    own[k] = cOwnKey();
            }
            else // read
            {
                const cAnswer answer = Call(Vantrel_GetGlobal, session, {key.get()});
                if (answer.error != 0)
                    fail("read of " + name + " failed");
                else if (shared)
                {
                    if (answer.type() != FMHost::Type::Invalid &&
                        (answer.type() != FMHost::Type::Number ||
                         !isWrittenValue(answer.result->GetAsNumber().AsFloat())))
                        fail("read of " + name + " gave " + answer.text());
                }
                else
                {
                    const cOwnKey &model = own[k];
                    const bool ok = model.present ? answer.type() == FMHost::Type::Number &&
                                                        answer.result->GetAsNumber().AsFloat() == model.value
                                                  : answer.type() == FMHost::Type::Invalid;
                    if (!ok)
                        fail("read of " + name + " gave " + answer.text());
                }
            }
        }
    }
};
}

TEST(GlobalsConcurrency, EightSessionsShareTheDictionarySafely)
{
    AllowEverythingIn({"A", "B"});
    vtl::globalDictionary.clean();
    vtl::gCleanPeriod = 0; // every call also runs the clean-up of bound keys; both files stay open

    std::vector<cWorker> workers(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
    {
        workers[t].thread = t;
        threads.emplace_back([&worker = workers[t]] { worker.run(); });
    }
    for (std::thread &thread : threads)
        thread.join();
    vtl::gCleanPeriod = 60;

    FMHost::Session check;
    check.OpenFile("A");
    std::size_t expectedOwn = 0;
    for (const cWorker &worker : workers)
    {
        EXPECT_EQ(0, worker.failures) << "thread " << worker.thread << ": " << worker.firstFailure;
        for (int k = 0; k < kOwnKeys; ++k)
        {
            const std::string name = ownKey(worker.thread, k);
            const auto found = worker.own.find(k);
            const cOwnKey model = found == worker.own.end() ? cOwnKey() : found->second;
            const FString key(name.begin(), name.end());
            EXPECT_EQ(model.present, vtl::globalDictionary.contains(key)) << name;
            if (!model.present)
                continue;
            ++expectedOwn;
            auto k2 = TextValue(name);
            const cAnswer read = Call(Vantrel_GetGlobal, check, {k2.get()});
            EXPECT_EQ(model.value, read.result->GetAsNumber().AsFloat()) << name;
            const std::optional<FString> file = vtl::globalDictionary.boundFile(key);
            if (model.bound)
                EXPECT_EQ(FString(1, static_cast<char16_t>(fileOf(worker.thread)[0])), file) << name;
            else
                EXPECT_FALSE(file) << name;
        }
    }
    std::size_t sharedPresent = 0;
    for (int k = 0; k < kSharedKeys; ++k)
    {
        const std::string name = sharedKey(k);
        const FString key(name.begin(), name.end());
        if (!vtl::globalDictionary.contains(key))
            continue;
        ++sharedPresent;
        auto k2 = TextValue(name);
        EXPECT_TRUE(isWrittenValue(Call(Vantrel_GetGlobal, check, {k2.get()}).result->GetAsNumber().AsFloat()));
        const std::optional<FString> file = vtl::globalDictionary.boundFile(key);
        EXPECT_TRUE(!file || *file == u"A" || *file == u"B");
    }
    EXPECT_EQ(expectedOwn + sharedPresent, vtl::globalDictionary.size());
    vtl::globalDictionary.clean();
}

// Sessions come and go while others work: four threads keep their sessions and check that none of their keys is ever
// lost; four others open files, bind keys in them, close a file (its keys must be gone at once) and end the session
// (the rest must be gone). The host tells the plug-in of each closing with its session and file shutdown messages,
// sent on the closing thread, so removals run concurrently with stores and reads.
namespace
{
constexpr int kRounds = 150;
constexpr int kKeysPerFile = 20;

struct cChurner
{
    int thread;
    int failures = 0;
    std::string firstFailure;
    void fail(const std::string &what)
    {
        if (failures++ == 0)
            firstFailure = what;
    }
    std::string key(int round, const char *file, int k) const
    {
        return "churn-" + std::to_string(thread) + "-" + std::to_string(round) + "-" + file + "-" + std::to_string(k);
    }
    bool present(FMHost::Session &session, const std::string &name)
    {
        auto k = TextValue(name);
        return Call(Vantrel_GetGlobal, session, {k.get()}).type() != FMHost::Type::Invalid;
    }
    void run()
    {
        auto option = TextValue("dieonclose");
        for (int round = 0; round < kRounds; ++round)
        {
            auto value = NumberValue(round);
            FMHost::Session observer; // has every file open, binds nothing
            observer.OpenFile("A");
            observer.OpenFile("B");
            {
                FMHost::Session session;
                for (const char *file : {"A", "B"})
                {
                    session.OpenFile(file);
                    session.SetCallingFile(file);
                    for (int k = 0; k < kKeysPerFile; ++k)
                    {
                        auto name = TextValue(key(round, file, k));
                        Call(Vantrel_SetGlobal, session, {name.get(), value.get(), option.get()});
                    }
                }
                session.CloseFile("A");
                for (int k = 0; k < kKeysPerFile; ++k)
                {
                    if (present(observer, key(round, "A", k)))
                        fail("key of a closed file stayed: " + key(round, "A", k));
                    if (!present(observer, key(round, "B", k)))
                        fail("key of an open file went: " + key(round, "B", k));
                }
            } // the session ends
            for (int k = 0; k < kKeysPerFile; ++k)
                if (present(observer, key(round, "B", k)))
                    fail("key of an ended session stayed: " + key(round, "B", k));
        }
    }
};
}

TEST(GlobalsConcurrency, SessionsCloseFilesAndEndWhileOthersStoreAndRead)
{
    AllowEverythingIn({"A", "B"});
    vtl::globalDictionary.clean();
    ASSERT_EQ(62, plugintest::Initialise(71));
    ASSERT_TRUE(FMHost::AttachPlugin(&FMExternCallProc));

    std::vector<cWorker> workers(kThreads / 2);
    std::vector<cChurner> churners(kThreads / 2);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads / 2; ++t)
    {
        workers[t].thread = t;
        workers[t].operations = kOperations / 4;
        threads.emplace_back([&worker = workers[t]] { worker.run(); });
        churners[t].thread = t;
        threads.emplace_back([&churner = churners[t]] { churner.run(); });
    }
    for (std::thread &thread : threads)
        thread.join();
    FMHost::DetachPlugin(&FMExternCallProc);
    plugintest::ShutdownPlugIn();
    vtl::globalDictionary.setClosingsReported(false);

    for (const cChurner &churner : churners)
        EXPECT_EQ(0, churner.failures) << "churning thread " << churner.thread << ": " << churner.firstFailure;
    // The workers' sessions ended too: what stays is exactly their plain keys, and the shared ones stored plain.
    FMHost::Session check;
    check.OpenFile("A");
    std::size_t expectedOwn = 0;
    for (const cWorker &worker : workers)
    {
        EXPECT_EQ(0, worker.failures) << "thread " << worker.thread << ": " << worker.firstFailure;
        for (const auto &[k, model] : worker.own)
        {
            const std::string name = ownKey(worker.thread, k);
            const bool stays = model.present && !model.bound;
            EXPECT_EQ(stays, vtl::globalDictionary.contains(FString(name.begin(), name.end()))) << name;
            expectedOwn += stays;
        }
    }
    std::size_t sharedPresent = 0;
    for (int k = 0; k < kSharedKeys; ++k)
    {
        const std::string name = sharedKey(k);
        const FString key(name.begin(), name.end());
        sharedPresent += vtl::globalDictionary.contains(key);
        EXPECT_FALSE(vtl::globalDictionary.boundFile(key)) << name; // its binding session has ended
    }
    EXPECT_EQ(expectedOwn + sharedPresent, vtl::globalDictionary.size());
    vtl::globalDictionary.clean();
}

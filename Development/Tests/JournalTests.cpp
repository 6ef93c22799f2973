// The system journal: what goes out, how often, and that nothing holds up the caller. What the plug-in sends is
// read from a socket that stands in for /dev/log in a private mount namespace.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

#include "errors/AllowList.h"
#include "errors/ErrorCodes.h"
#include "errors/FunctionGuard.h"
#include "errors/UsageError.h"
#include "journal/Journal.h"
#include "journal/JournalDatagram.h"
#include "journal/JournalLimiter.h"
#include "support/PluginTestSupport.h"
#include "support/PrivateMounts.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::MatchesRegex;

namespace
{
using Clock = vtl::cJournalLimiter::Clock;
const std::string kPath = TEST_ALLOWLIST_PATH;

// -1 when the line for (file, function) at `seconds` after start is held back, else the count of those left out.
long Admit(vtl::cJournalLimiter &limiter, const std::string &file, Clock::time_point start, double seconds,
           int kind = 1)
{
    unsigned long leftOut = 99;
    const auto at = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    return limiter.admit(vtl::cJournalLimiter::key(kind, file, "f"), at, leftOut) ? static_cast<long>(leftOut) : -1;
}
}

TEST(JournalLimiter, OneLineAMinutePerKeyWithTheCountLeftOutInABoundedTable)
{
    vtl::cJournalLimiter limiter;
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(0, Admit(limiter, "Invoices", start, 0));
    for (double at : {0.0, 1.0, 30.0, 59.9})
        EXPECT_EQ(-1, Admit(limiter, "Invoices", start, at)) << at;
    EXPECT_EQ(4, Admit(limiter, "Invoices", start, 60.0));
    EXPECT_EQ(-1, Admit(limiter, "Invoices", start, 61.0));
    EXPECT_EQ(1, Admit(limiter, "Invoices", start, 200.0));
    // Another file or kind has a minute of its own; the boundary between the names counts.
    EXPECT_EQ(0, Admit(limiter, "Contacts", start, 1));
    EXPECT_EQ(0, Admit(limiter, "Invoices", start, 1, 2));
    EXPECT_NE(vtl::cJournalLimiter::key(1, "ab", "c"), vtl::cJournalLimiter::key(1, "a", "bc"));

    // Full within the minute: new keys share one line a minute between them; after it the old keys make room.
    limiter.clear();
    for (std::size_t i = 0; i < vtl::cJournalLimiter::kMaxKeys; ++i)
        ASSERT_EQ(0, Admit(limiter, "File" + std::to_string(i), start, 0));
    EXPECT_EQ(0, Admit(limiter, "Late1", start, 1));
    EXPECT_EQ(-1, Admit(limiter, "Late2", start, 2));
    EXPECT_LE(limiter.size(), vtl::cJournalLimiter::kMaxKeys + 1);
    EXPECT_EQ(0, Admit(limiter, "Later", start, 61));
    EXPECT_LT(limiter.size(), 10u);
}

TEST(JournalDatagram, ASyslogLineWithTheVantrelTagOnOneLine)
{
    const std::time_t when = std::time(nullptr);
    const std::string line = vtl::JournalDatagram(vtl::kJournalWarning, when, 4242, "refused\nVantrel_Get\t\x7f ok é");
    EXPECT_THAT(line, MatchesRegex("<12>(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123][0-9] "
                                   "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] Vantrel\\[4242\\]: .*"));
    EXPECT_THAT(line, testing::EndsWith("Vantrel[4242]: refused?Vantrel_Get?? ok é"));
    EXPECT_EQ(0, vtl::JournalDatagram(vtl::kJournalError, when, 1, "x").rfind("<11>", 0));
    const std::string longest = vtl::JournalDatagram(vtl::kJournalError, when, 1, std::string(5000, 'a'));
    EXPECT_EQ(vtl::kLongestJournalText, longest.size() - longest.find(": ") - 2);
}

// ---------------------------------------------------------------------------------------------
// What the plug-in sends

namespace
{
class Journal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        session.OpenFile("Invoices");
        vtl::ResetJournalLimits();
        vtl::SetJournalOn(true);
        mounttest::forgetJournalLines();
    }
    void TearDown() override
    {
        ::unlink(kPath.c_str());
        vtl::SetJournalOn(true);
    }
    static std::vector<std::string> Sent(int wait = 300) { return mounttest::journalTexts(wait); }
    bool Ask(const std::string &content, const std::string &function = "Vantrel_Get")
    {
        plugintest::WriteFile(kPath, content);
        fmx::DataUniquePtr result;
        return vtl::isFunctionAllowed(function, session.Env(), *result);
    }
    FMHost::Session session;
};
}

TEST_F(Journal, ARefusedCallOnceAMinutePerFileAndFunction)
{
    REQUIRE_PRIVATE_JOURNAL();
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(Ask("Contacts\tany\nInvoices\tVantrel_Version\n"));
    EXPECT_FALSE(Ask("Contacts\tany\nInvoices\tVantrel_Version\n", "Vantrel_Set"));
    EXPECT_TRUE(Ask("Contacts\tany\nInvoices\tVantrel_Version\n", "Vantrel_Version"));
    EXPECT_THAT(Sent(), ElementsAre("refused Vantrel_Get in file Invoices: line 2 of the allow-list does not name it",
                                    "refused Vantrel_Set in file Invoices: line 2 of the allow-list does not name it"));
    const std::vector<std::string> raw = (Ask("Contacts\tany\n", "Vantrel_ExecuteSQL"), mounttest::journalLines(300));
    ASSERT_EQ(1u, raw.size());
    EXPECT_EQ(0, raw[0].rfind("<12>", 0)) << raw[0]; // user facility, warning
    EXPECT_THAT(raw[0], HasSubstr(" Vantrel[" + std::to_string(::getpid()) + "]: "));
    EXPECT_THAT(raw[0], HasSubstr("refused Vantrel_ExecuteSQL in file Invoices: the allow-list has no line for the file"));
}

TEST_F(Journal, AFileThatCannotBeReadOrParsedSaysWhereAndWhy)
{
    REQUIRE_PRIVATE_JOURNAL();
    const auto faultOf = [&](const std::string &content) {
        vtl::ResetJournalLimits();
        if (content.empty())
            ::unlink(kPath.c_str());
        fmx::DataUniquePtr result;
        EXPECT_FALSE(content.empty() ? vtl::isFunctionAllowed("Vantrel_Get", session.Env(), *result) : Ask(content))
            << content;
        const std::vector<std::string> sent = Sent();
        return sent.size() == 1 ? sent[0] : "lines sent: " + std::to_string(sent.size());
    };
    const std::string at = "allow-list " + kPath + ", line ";
    EXPECT_EQ(at + "2: no TAB between the file name and its functions; calls are refused",
              faultOf("Contacts\tany\nbroken\nInvoices\tany\n"));
    EXPECT_EQ(at + "2: the list of functions is empty; calls are refused", faultOf("Other\tany\nInvoices\t\n"));
    EXPECT_EQ(at + "1: unknown option \"shell-command-timeout=0\"; calls are refused",
              faultOf("/options\tlog=off|shell-command-timeout=0\nInvoices\tany\n"));
    EXPECT_EQ("allow-list " + kPath + " does not exist (or is no regular file); calls are refused", faultOf(""));

    // A file broken in one way is told once a minute, however many calls it refuses.
    for (int i = 0; i < 50; ++i)
        Ask("\n");
    EXPECT_EQ(0u, Sent().size());
}

TEST_F(Journal, LogOffKeepsTheJournalQuietUntilTheFileSaysOtherwise)
{
    REQUIRE_PRIVATE_JOURNAL();
    EXPECT_FALSE(Ask("/options\tlog=off\nInvoices\tVantrel_Version\n"));
    EXPECT_FALSE(Ask("/options\tlog=off\nContacts\tany\n"));
    EXPECT_FALSE(Ask("/options\tlog=off\nbroken\nInvoices\tany\n"));
    EXPECT_EQ(0u, Sent().size());
    EXPECT_FALSE(Ask("/options\tlog=on\nInvoices\tVantrel_Version\n"));
    EXPECT_EQ(1u, Sent().size());
}

TEST_F(Journal, AnExceptionAtTheBoundaryIsToldButNotAUsageError)
{
    REQUIRE_PRIVATE_JOURNAL();
    plugintest::WriteFile(kPath, "Invoices\tany\n");
    fmx::DataUniquePtr result;
    EXPECT_EQ(0, vtl::GuardedCall("Vantrel_Get", session.Env(), *result, [] { throw std::runtime_error("boom"); }));
    EXPECT_EQ(0, vtl::UngovernedCall("Vantrel_DoBashCmd", session.Env(), *result, [] { throw 7; }));
    EXPECT_EQ(0, vtl::GuardedCall("Vantrel_Set", session.Env(), *result, [] { throw vtl::cUsageError("no key"); }));
    EXPECT_THAT(Sent(), ElementsAre("exception in Vantrel_Get in file Invoices: boom (the function answered 2400)",
                                    "exception in Vantrel_DoBashCmd in file Invoices: an exception of unknown type "
                                    "(the function answered 2400)"));
    // The host fails while the error is recorded: the line says so, without asking the host for the file's name.
    EXPECT_EQ(vtl::kHostMemoryError, vtl::GuardedCall("Vantrel_Set", session.Env(), *result, [] {
                  FMHost::Faults::FailNthCall(1, fmx::_fmxcpt::kBadAlloc);
                  throw std::runtime_error("first");
              }));
    FMHost::Faults::ClearAll();
    EXPECT_THAT(Sent(), ElementsAre("exception in Vantrel_Set in file ?: std::bad_alloc (the host failed while the "
                                    "error was recorded)"));
    // The host failing on the way: the function still answers, the line is sent or lost, nothing escapes.
    for (unsigned n = 1; n <= 6; ++n)
    {
        FMHost::Faults::FailNthCall(n, fmx::_fmxcpt::kBadAlloc);
        vtl::GuardedCall("Vantrel_Get", session.Env(), *result, [] { throw std::runtime_error("again"); });
        FMHost::Faults::ClearAll();
    }
}

TEST_F(Journal, AJournalThatIsBehindNeverHoldsUpTheCaller)
{
    REQUIRE_PRIVATE_JOURNAL();
    // Far more lines than the socket queues: those that do not fit are dropped at once. A blocking send would hang
    // the test here.
    for (int i = 0; i < 5000; ++i)
        vtl::Journal(vtl::eJournalKind::kRefusedCall, "File" + std::to_string(i), "Vantrel_Get", "line");
    const std::size_t received = Sent(300).size();
    EXPECT_GT(received, 0u);
    EXPECT_LT(received, 5000u);
}

// fmhost's prompt driven through a pseudo-terminal, as a person types: continued lines, Ctrl-C, Ctrl-D, history,
// commands.
#include <gtest/gtest.h>

#include "support/FmhostProcess.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
using namespace fmhostprocess;

// The prompt of the first session with no file open.
constexpr const char *kPrompt = "main> ";

// fmhost running on a pseudo-terminal with its own HOME (where the history goes).
class cTerminalSession
{
public:
    cTerminalSession(const std::string &home, const std::vector<std::string> &arguments)
    {
        pid_ = forkpty(&terminal_, nullptr, nullptr, nullptr);
        if (pid_ == 0)
            execFmhost(arguments, {{"HOME", home}, {"TERM", "dumb"}});
    }
    ~cTerminalSession()
    {
        if (pid_ > 0 && !exited_)
        {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (terminal_ >= 0)
            close(terminal_);
    }
    cTerminalSession(const cTerminalSession &) = delete;
    cTerminalSession &operator=(const cTerminalSession &) = delete;

    void type(const std::string &keys)
    {
        ASSERT_EQ(static_cast<ssize_t>(keys.size()), write(terminal_, keys.data(), keys.size()));
    }

    // Reads until `text` appeared after what earlier waits consumed; false after 20 seconds without it.
    bool waitFor(const std::string &text)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (screen_.find(text, consumed_) == std::string::npos)
        {
            if (std::chrono::steady_clock::now() > deadline || !readSome())
                return false;
        }
        consumed_ = screen_.find(text, consumed_) + text.size();
        return true;
    }

    // Waits for a prompt and a little beyond: the line editor shows its prompt a moment before it switches the
    // terminal out of line mode, and control keys typed in that moment reach the line mode instead (as any typed
    // ahead would).
    bool waitForPromptToSettle(const std::string &prompt)
    {
        if (!waitFor(prompt))
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return true;
    }

    // Types Ctrl-D at the next prompt and waits for fmhost to end; its exit status, or -1 when it does not end
    // within 20 seconds.
    int endWithCtrlD(const std::string &prompt = kPrompt)
    {
        if (!waitForPromptToSettle(prompt))
            return -1;
        // Should the machine be so loaded that the key still came too early, a person would press it again.
        for (int attempt = 0; attempt < 20 && !exited_; ++attempt)
        {
            type("\x04");
            awaitExit(10);
        }
        return exitStatus();
    }

    // Waits for fmhost to end by itself; its exit status, or -1 when it does not end within 20 seconds.
    int waitForExit()
    {
        awaitExit(200);
        return exitStatus();
    }

    const std::string &screen() const { return screen_; }

private:
    // Reads what fmhost writes until it ends, for up to `tenths` tenths of a second.
    void awaitExit(int tenths)
    {
        for (int wait = 0; wait < tenths && !exited_; ++wait)
        {
            if (!readSome()) // the terminal is closed: fmhost is on its way out
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            exited_ = waitpid(pid_, &status_, WNOHANG) == pid_;
        }
    }

    int exitStatus() const { return exited_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

    bool readSome()
    {
        pollfd ready{terminal_, POLLIN, 0};
        if (poll(&ready, 1, 100) < 0)
            return false;
        if (!(ready.revents & (POLLIN | POLLHUP)))
            return true;
        char buffer[4096];
        ssize_t count = read(terminal_, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        screen_.append(buffer, static_cast<std::size_t>(count));
        return true;
    }

    int terminal_ = -1;
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
    std::string screen_;
    std::size_t consumed_ = 0;
};

class FmhostPrompt : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home_ = scratchPath("home");
        std::filesystem::create_directories(home_);
    }
    void TearDown() override { std::filesystem::remove_all(home_); }
    std::string home_;
};

TEST_F(FmhostPrompt, ACalculationGoesOnWhileOpenAndCtrlDEnds)
{
    cTerminalSession session(home_, {"--no-plugin"});
    ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
    session.type("Let ( [\r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type("    a = \"x¶\" ;\r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type("    b = 2 ] ;\r  Length ( a ) * b )\r");
    ASSERT_TRUE(session.waitFor("\n4")) << session.screen();
    // The old way with a backslash still works.
    session.type("1 + \\\r2\r");
    ASSERT_TRUE(session.waitFor("\n3")) << session.screen();
    EXPECT_EQ(0, session.endWithCtrlD()) << session.screen();
}

#ifdef FMHOST_LINE_EDITING
TEST_F(FmhostPrompt, CtrlCAbandonsTheInputButNotTheSession)
{
    cTerminalSession session(home_, {"--no-plugin"});
    ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
    session.type("Length ( \"never\r");
    ASSERT_TRUE(session.waitForPromptToSettle("...> ")) << session.screen();
    session.type("\x03");
    ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
    session.type("6 * 7\r");
    ASSERT_TRUE(session.waitFor("\n42")) << session.screen();
    EXPECT_EQ(0, session.endWithCtrlD()) << session.screen();
    EXPECT_EQ(std::string::npos, session.screen().find("error")) << session.screen();
}

TEST_F(FmhostPrompt, HistoryIsKeptAcrossSessionsOneCalculationPerEntry)
{
    {
        cTerminalSession session(home_, {"--no-plugin"});
        ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
        session.type("List ( \"a\" ;\r       \"b\" )\r");
        ASSERT_TRUE(session.waitFor("\nb")) << session.screen();
        EXPECT_EQ(0, session.endWithCtrlD()) << session.screen();
    }
    // One entry for the calculation typed over two lines, on one line (libedit writes spaces as \040).
    EXPECT_NE(std::string::npos,
              readFile(home_ + "/.fmhost_history").find("\nList\\040(\\040\"a\"\\040;\\040\"b\"\\040)\n"))
        << readFile(home_ + "/.fmhost_history");

    cTerminalSession again(home_, {"--no-plugin"});
    ASSERT_TRUE(again.waitForPromptToSettle(kPrompt)) << again.screen();
    again.type("\x1b[A\r"); // up arrow: the calculation of the earlier session
    ASSERT_TRUE(again.waitFor("\na")) << again.screen();
    ASSERT_TRUE(again.waitFor("\nb")) << again.screen();
    EXPECT_EQ(0, again.endWithCtrlD()) << again.screen();
}
#endif

TEST_F(FmhostPrompt, CommandsListTheFunctionsAndTheHelp)
{
    cTerminalSession session(home_, {"--plugin", std::string(TEST_PLUGIN_DIR) + "/LoggingPlugin.fmx"});
    ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
    session.type(":functions count\r");
    ASSERT_TRUE(session.waitFor("Log_Count  [1 to 2 arguments]")) << session.screen();
    session.type(":help\r");
    ASSERT_TRUE(session.waitFor(":functions [WORD]")) << session.screen();
    session.type(":nonsense\r");
    ASSERT_TRUE(session.waitFor("unknown command :nonsense")) << session.screen();
    // What failed was said at once; leaving the prompt is no failure.
    EXPECT_EQ(0, session.endWithCtrlD()) << session.screen();
}

TEST_F(FmhostPrompt, ThePromptNamesTheSessionAndItsCallingFile)
{
    cTerminalSession session(home_, {"--no-plugin", "--file", "Contacts.fmp12", "--file", "Invoices"});
    ASSERT_TRUE(session.waitFor("main:Contacts> ")) << session.screen();
    session.type(":session B Sales\r");
    ASSERT_TRUE(session.waitFor("B:Sales> ")) << session.screen();
    session.type(":close Sales\r");
    ASSERT_TRUE(session.waitFor("B> ")) << session.screen();
    session.type("(\r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type("1 )\r:session main\r");
    EXPECT_EQ(0, session.endWithCtrlD("main:Contacts> ")) << session.screen();
}

// At the prompt each failure shows as it happens: leaving exits 0, by Ctrl-D as by :quit.
TEST_F(FmhostPrompt, LeavingThePromptExitsZeroAfterFailures)
{
    {
        cTerminalSession session(home_, {"--no-plugin"});
        ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
        session.type("1 / 0\r");
        ASSERT_TRUE(session.waitFor("division by zero")) << session.screen();
        EXPECT_EQ(0, session.endWithCtrlD()) << session.screen();
    }
    cTerminalSession session(home_, {"--no-plugin"});
    ASSERT_TRUE(session.waitFor(kPrompt)) << session.screen();
    session.type("Length ( \r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type(")\r:quit\r");
    ASSERT_TRUE(session.waitFor("error 1201")) << session.screen();
    EXPECT_EQ(0, session.waitForExit()) << session.screen();
}
} // namespace

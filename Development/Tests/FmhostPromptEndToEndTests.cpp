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
#include <vector>

namespace
{
using namespace fmhostprocess;

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

    // Waits for fmhost to end; its exit status, or -1.
    int exitStatus()
    {
        while (readSome())
        {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const std::string &screen() const { return screen_; }

private:
    bool readSome()
    {
        pollfd ready{terminal_, POLLIN, 0};
        if (poll(&ready, 1, 200) < 0)
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
    ASSERT_TRUE(session.waitFor("fmhost> ")) << session.screen();
    session.type("Let ( [\r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type("    a = \"x¶\" ;\r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type("    b = 2 ] ;\r  Length ( a ) * b )\r");
    ASSERT_TRUE(session.waitFor("\n4")) << session.screen();
    // The old way with a backslash still works.
    session.type("1 + \\\r2\r");
    ASSERT_TRUE(session.waitFor("\n3")) << session.screen();
    session.type("\x04");
    EXPECT_EQ(0, session.exitStatus()) << session.screen();
}

#ifdef FMHOST_LINE_EDITING
TEST_F(FmhostPrompt, CtrlCAbandonsTheInputButNotTheSession)
{
    cTerminalSession session(home_, {"--no-plugin"});
    ASSERT_TRUE(session.waitFor("fmhost> ")) << session.screen();
    session.type("Length ( \"never\r");
    ASSERT_TRUE(session.waitFor("...> ")) << session.screen();
    session.type("\x03");
    ASSERT_TRUE(session.waitFor("fmhost> ")) << session.screen();
    session.type("6 * 7\r");
    ASSERT_TRUE(session.waitFor("\n42")) << session.screen();
    session.type("\x04");
    EXPECT_EQ(0, session.exitStatus()) << session.screen();
    EXPECT_EQ(std::string::npos, session.screen().find("error")) << session.screen();
}

TEST_F(FmhostPrompt, HistoryIsKeptAcrossSessionsOneCalculationPerEntry)
{
    {
        cTerminalSession session(home_, {"--no-plugin"});
        ASSERT_TRUE(session.waitFor("fmhost> ")) << session.screen();
        session.type("List ( \"a\" ;\r       \"b\" )\r");
        ASSERT_TRUE(session.waitFor("\nb")) << session.screen();
        session.type("\x04");
        EXPECT_EQ(0, session.exitStatus());
    }
    // One entry for the calculation typed over two lines, on one line (libedit writes spaces as \040).
    EXPECT_NE(std::string::npos,
              readFile(home_ + "/.fmhost_history").find("\nList\\040(\\040\"a\"\\040;\\040\"b\"\\040)\n"))
        << readFile(home_ + "/.fmhost_history");

    cTerminalSession again(home_, {"--no-plugin"});
    ASSERT_TRUE(again.waitFor("fmhost> ")) << again.screen();
    again.type("\x1b[A\r"); // up arrow: the calculation of the earlier session
    ASSERT_TRUE(again.waitFor("\na")) << again.screen();
    ASSERT_TRUE(again.waitFor("\nb")) << again.screen();
    again.type("\x04");
    EXPECT_EQ(0, again.exitStatus());
}
#endif

TEST_F(FmhostPrompt, CommandsListTheFunctionsAndTheHelp)
{
    cTerminalSession session(home_, {"--plugin", std::string(TEST_PLUGIN_DIR) + "/LoggingPlugin.fmx64"});
    ASSERT_TRUE(session.waitFor("fmhost> ")) << session.screen();
    session.type(":functions count\r");
    ASSERT_TRUE(session.waitFor("Log_Count  [1 to 2 arguments]")) << session.screen();
    session.type(":help\r");
    ASSERT_TRUE(session.waitFor(":functions [WORD]")) << session.screen();
    session.type(":nonsense\r");
    ASSERT_TRUE(session.waitFor("unknown command :nonsense")) << session.screen();
    session.type("\x04");
    EXPECT_EQ(1, session.exitStatus()) << session.screen();
}
} // namespace

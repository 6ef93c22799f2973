// Running a shell command and collecting its standard output.

#include "system/ShellCommand.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <cerrno>

#include <fcntl.h>
#include <pthread.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FMHost/Host.h"
#include "support/DirectCall.h"
#include "system/DoBashCmd.h"

namespace {

std::string run(const std::string& command, std::size_t size = slib::kShellBufferSize, int* code = nullptr)
{
    std::vector<char> buffer(size, 'X');  // stale bytes must not show up in the result
    const int result = slib::perform_shell_command_and_get_result(command.c_str(), buffer.data(), buffer.size());
    if (code != nullptr)
        *code = result;
    EXPECT_EQ(buffer.back(), '\0');
    return buffer.data();
}

// Nothing blocked, no standard signal ignored. The C library keeps its two internal real-time signals (32 and 33)
// ignored in the children it starts; programs that use threads set them up again.
const char* const kDefaultSignals = "SigBlk:\t0+\nSigIgn:\t0*1?[08]0000000\n";

}  // namespace

TEST(ShellCommand, ReturnsStandardOutputAsPrinted)
{
    int code = -2;
    EXPECT_EQ(run("printf 'a\\nb'", slib::kShellBufferSize, &code), "a\nb");
    EXPECT_EQ(code, 0);
    EXPECT_EQ(run("echo one; echo two"), "one\ntwo\n");
    EXPECT_EQ(run("printf 'partial'; exit 3"), "partial");  // the exit status is not looked at
    EXPECT_EQ(run("true"), "");
}

TEST(ShellCommand, StandardErrorIsNotCollected)
{
    EXPECT_EQ(run("echo only-to-stderr 1>&2"), "");
    EXPECT_EQ(run("echo out; echo err 1>&2; echo out2"), "out\nout2\n");
}

TEST(ShellCommand, OutputIsCutAtTwoBytesBelowTheBufferSize)
{
    std::string expected;
    for (int i = 1; i <= 3000; ++i)
        expected += std::to_string(i) + "\n";
    ASSERT_GT(expected.size(), 10000u);
    const std::string got = run("seq 1 3000");
    EXPECT_EQ(got.size(), 8190u);
    EXPECT_EQ(got, expected.substr(0, 8190));

    EXPECT_EQ(run("printf 'abcdef'", 5), "abc");
    EXPECT_EQ(run("printf '%8190s' x").size(), 8190u);  // exactly at the limit
}

TEST(ShellCommand, EndsWhenTheCommandOutrunsTheBuffer)
{
    // A server ignores SIGPIPE and the command inherits that: it must then stop on the write
    // error of the closed pipe rather than keep the caller waiting.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const std::string got = run("yes");
    std::signal(SIGPIPE, previous);
    EXPECT_EQ(got.size(), 8190u);
    EXPECT_EQ(got.substr(0, 4), "y\ny\n");
}

TEST(ShellCommand, TheCommandGetsDefaultSignalsAndOnlyTheStandardDescriptors)
{
    // What a server thread typically has: signals ignored and blocked, descriptors without close-on-exec.
    const auto previousPipe = std::signal(SIGPIPE, SIG_IGN);
    const auto previousInt = std::signal(SIGINT, SIG_IGN);
    sigset_t blocked, previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGUSR2);
    pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
    const int leaked = open("/dev/null", O_RDONLY);

    const std::string descriptors = run("ls /proc/$$/fd");
    // grep reads its own state, which the shell passed on: the shell itself may block every signal while it starts
    // a child.
    const std::string signals = run("exec grep -E '^Sig(Blk|Ign):' /proc/self/status");
    const std::string endless = run("while :; do echo y; done");

    close(leaked);
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    std::signal(SIGINT, previousInt);
    std::signal(SIGPIPE, previousPipe);
    ASSERT_GE(leaked, 3);
    EXPECT_EQ(descriptors, "0\n1\n2\n");
    EXPECT_THAT(signals, testing::MatchesRegex(kDefaultSignals));
    EXPECT_EQ(endless.size(), 8190u);
}

TEST(ShellCommand, ServerWithoutStandardDescriptorsStillGetsTheOutput)
{
    // A daemon may run with 0 and 1 closed: the pipe then comes out at those numbers and must still end up as the
    // command's standard output. Done in a child process, which may close its own standard descriptors.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(0);
        close(1);
        char buffer[64];
        const int code = slib::perform_shell_command_and_get_result("echo out", buffer, sizeof buffer);
        _exit(code == 0 && std::string(buffer) == "out\n" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(ShellCommand, LeavesNoChildBehind)
{
    // Every command is waited for, also those cut off at the limit and those that never started.
    run("yes");
    run("echo x");
    char buffer[16];
    slib::perform_shell_command_and_get_result("exit 1", buffer, sizeof buffer);
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(ShellCommand, ASignalDuringTheReadLosesNoOutput)
{
    // The server handles signals of its own (children ending, timers), not all with SA_RESTART: an interrupted
    // read must not end the output early.
    struct sigaction handler {};
    handler.sa_handler = [](int) {};
    sigemptyset(&handler.sa_mask);
    handler.sa_flags = 0;
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGUSR1, &handler, &previous), 0);
    const pthread_t reader = pthread_self();
    std::thread interrupter([reader] {
        for (int i = 0; i < 5; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            pthread_kill(reader, SIGUSR1);
        }
    });
    const std::string got = run("echo first; sleep 0.5; echo second");
    interrupter.join();
    sigaction(SIGUSR1, &previous, nullptr);
    EXPECT_EQ(got, "first\nsecond\n");
}

TEST(ShellCommand, RefusesMissingArguments)
{
    char buffer[16] = "stale";
    EXPECT_EQ(slib::perform_shell_command_and_get_result(nullptr, buffer, sizeof buffer), -1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(slib::perform_shell_command_and_get_result("echo x", nullptr, 0), -1);
}

TEST(ShellCommand, ConcurrentCommandsKeepTheirOwnOutput)
{
    constexpr int kThreads = 4;
    std::vector<std::string> outputs(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&outputs, t] { outputs[t] = run("sleep 0.1; echo " + std::to_string(t)); });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(outputs[t], std::to_string(t) + "\n");
}

TEST(ShellCommand, StandardInputIsEmpty)
{
    // A command that reads its input ends at once instead of waiting on the server's standard input.
    EXPECT_EQ(run("cat; echo done"), "done\n");
    EXPECT_EQ(run("readlink /proc/self/fd/0"), "/dev/null\n");
    char buffer[64];
    EXPECT_EQ(slib::RunShellCommand("readlink /proc/self/fd/0", buffer, sizeof buffer, std::chrono::seconds(5)),
              slib::eShellEnd::kEnded);
    EXPECT_STREQ(buffer, "/dev/null\n");
}

// ---------------------------------------------------------------------------------------------
// The time limit

namespace {

struct cLimitedRun {
    slib::eShellEnd end;
    std::string output;
    std::chrono::steady_clock::duration took;
};

cLimitedRun runLimited(const std::string& command, std::chrono::milliseconds limit,
                       std::chrono::milliseconds grace = std::chrono::milliseconds(300))
{
    std::vector<char> buffer(slib::kShellBufferSize, 'X');
    const auto start = std::chrono::steady_clock::now();
    const slib::eShellEnd end = slib::RunShellCommand(command.c_str(), buffer.data(), buffer.size(), limit, grace);
    return {end, buffer.data(), std::chrono::steady_clock::now() - start};
}

// The process ids a command wrote into `path`, one per line.
std::vector<pid_t> pidsIn(const std::string& path)
{
    std::vector<pid_t> pids;
    std::ifstream in(path);
    for (long pid; in >> pid;)
        pids.push_back(static_cast<pid_t>(pid));
    return pids;
}

// Gone, or a zombie waiting for whoever adopted it: nothing of it runs any more.
bool stopped(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && line.compare(close + 2, 1, "Z") == 0;
}

}  // namespace

TEST(ShellCommandTimeLimit, EndsTheCommandAndKeepsWhatItWrote)
{
    const cLimitedRun limited = runLimited("echo early; sleep 30; echo late", std::chrono::seconds(1));
    EXPECT_EQ(limited.end, slib::eShellEnd::kTimeLimit);
    EXPECT_EQ(limited.output, "early\n");
    // Ended by SIGTERM at the limit, not by SIGKILL after the grace (a sanity bound, not a speed target).
    EXPECT_LT(limited.took, std::chrono::seconds(10));

    // A command that ends in time is not touched, and tells nothing apart from a run without a limit.
    const cLimitedRun quick = runLimited("echo one; echo two; exit 3", std::chrono::seconds(20));
    EXPECT_EQ(quick.end, slib::eShellEnd::kEnded);
    EXPECT_EQ(quick.output, "one\ntwo\n");
    EXPECT_EQ(runLimited("head -c 10000 /dev/zero | tr '\\0' 'q'", std::chrono::seconds(20)).output,
              std::string(8190, 'q'));
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "every command is reaped";
}

TEST(ShellCommandTimeLimit, EndsTheWholeProcessGroup)
{
    char folder[] = "/tmp/vantrel-groupXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string pids = std::string(folder) + "/pids";

    // A background job that keeps the output open after the shell has gone, and a pipeline that never ends.
    const cLimitedRun background =
        runLimited("sleep 60 & echo $! > " + pids + "; echo started", std::chrono::seconds(1));
    EXPECT_EQ(background.end, slib::eShellEnd::kTimeLimit);
    EXPECT_EQ(background.output, "started\n");
    const cLimitedRun pipeline = runLimited("echo $$ >> " + pids + "; sleep 60 | cat", std::chrono::seconds(1));
    EXPECT_EQ(pipeline.end, slib::eShellEnd::kTimeLimit);

    // A command that closes its output and lives on is still within the limit's reach.
    const cLimitedRun silent = runLimited("exec >&-; echo $$ >> " + pids + "; sleep 60", std::chrono::seconds(1));
    EXPECT_EQ(silent.end, slib::eShellEnd::kTimeLimit);
    EXPECT_EQ(silent.output, "");

    // Commands that ignore SIGTERM get SIGKILL after the grace.
    const cLimitedRun stubborn =
        runLimited("trap '' TERM; echo $$ >> " + pids + "; sleep 60 & echo $! >> " + pids + "; wait",
                   std::chrono::seconds(1), std::chrono::milliseconds(300));
    EXPECT_EQ(stubborn.end, slib::eShellEnd::kTimeLimit);

    const std::vector<pid_t> started = pidsIn(pids);
    EXPECT_EQ(started.size(), 5u);
    for (const pid_t pid : started)
        EXPECT_TRUE(stopped(pid)) << pid;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "every command is reaped";
    std::remove(pids.c_str());
    rmdir(folder);
}

TEST(ShellCommandTimeLimit, TheGraceIsTheWholeGroupsNotOnlyTheShells)
{
    // The shell ends at SIGTERM at once; a job it started cleans up first, and is not killed meanwhile.
    char path[] = "/tmp/vantrel-graceXXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string job = "(trap 'sleep 0.3; echo cleaned > " + std::string(path) + "; exit' TERM; "
                            "while :; do sleep 0.05; done) & wait";
    EXPECT_EQ(runLimited(job, std::chrono::seconds(1), std::chrono::seconds(5)).end, slib::eShellEnd::kTimeLimit);
    std::ifstream written(path);
    std::string line;
    std::getline(written, line);
    EXPECT_EQ(line, "cleaned");
    std::remove(path);
}

TEST(ShellCommandTimeLimit, WithoutALimitTheCommandStaysInTheServersProcessGroup)
{
    const std::string own = std::to_string(getpgrp());
    const std::string group = run("ps -o pgid= -p $$ | tr -d ' '");
    EXPECT_EQ(group, own + "\n");
    std::vector<char> buffer(64);
    slib::RunShellCommand("ps -o pgid= -p $$ | tr -d ' '", buffer.data(), buffer.size(), std::chrono::seconds(20));
    EXPECT_NE(std::string(buffer.data()), own + "\n") << "with a limit it leads a group of its own";
}

// ---------------------------------------------------------------------------------------------
// Vantrel_DoBashCmd as the host calls it

namespace {

class DoBashCmd : public testing::Test {
protected:
    void SetUp() override
    {
        std::ofstream(TEST_ALLOWLIST_PATH) << "Invoices\tVantrel_Version\n";  // does not name the function
        session_.OpenFile("Invoices");
    }
    FMHost::Result run(const std::string& command, unsigned failCall = 0)
    {
        return calltest::call(session_, Vantrel_DoBashCmd, 26, {command}, failCall);
    }
    FMHost::Session session_;
};

}  // namespace

TEST_F(DoBashCmd, AnswersTheCommandsOutputWhateverTheAllowListSays)
{
    const FMHost::Result result = run("printf 'a\\nb'");
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.type, FMHost::Type::Text);
    EXPECT_EQ(result.text, "a\nb");
    EXPECT_EQ(run("head -c 10000 /dev/zero | tr '\\0' 'z'").text, std::string(8190, 'z'));
    EXPECT_EQ(run("echo hidden 1>&2").text, "");
    EXPECT_EQ(run("printf '\\303\\251t\\303\\251'").text, "\xC3\xA9t\xC3\xA9");  // UTF-8 output stays whole

    std::remove(TEST_ALLOWLIST_PATH);  // no allow-list at all
    EXPECT_EQ(run("echo still").text, "still\n");
}

TEST_F(DoBashCmd, LeavesTheLastErrorAlone)
{
    session_.Evaluate("Let ( [ $$Vantrel_LastError = 7 ; $$Vantrel_LastErrorMessage = \"earlier\" ] ; \"\" )");
    const std::string before = session_.Variable("$$Vantrel_LastErrorMessage").text;
    run("echo x; exit 5");
    run("no-such-command-here 2>/dev/null");
    EXPECT_EQ(session_.Variable("$$Vantrel_LastErrorMessage").text, before);
}

TEST_F(DoBashCmd, TheAllowListsTimeLimitEndsTheCommandAndSaysSo)
{
    std::ofstream(TEST_ALLOWLIST_PATH) << "/options\tshell-command-timeout=1\nInvoices\tVantrel_Version\n";
    session_.Evaluate("Let ( [ $$Vantrel_LastError = 7 ; $$Vantrel_LastErrorMessage = \"earlier\" ] ; \"\" )");
    EXPECT_EQ(run("echo quick").text, "quick\n");
    EXPECT_EQ(session_.Variable("$$Vantrel_LastErrorMessage").text, "earlier") << "a command in time records nothing";

    const FMHost::Result result = run("echo early; sleep 30");
    EXPECT_EQ(result.error, 0);
    EXPECT_EQ(result.text, "early\n");
    EXPECT_EQ(session_.Variable("$$Vantrel_LastError").text, "24013");
    EXPECT_EQ(session_.Variable("$$Vantrel_LastErrorMessage").text,
              "Vantrel_DoBashCmd: the time limit of 1 second (shell-command-timeout) ended the command; its output "
              "until then is returned");
}

TEST_F(DoBashCmd, TheCommandIsCutToTheBuffer)
{
    // 8191 bytes of the argument reach the shell: the comment swallows the tail that is cut off.
    const std::string command = "echo kept #" + std::string(8180, 'c');
    ASSERT_EQ(command.size(), 8191u);
    EXPECT_EQ(run(command + "\necho dropped").text, "kept\n");
}

TEST_F(DoBashCmd, HostFailuresBecomeAnErrorResultNotACrash)
{
    for (unsigned n = 1; n <= 8; ++n) {
        const FMHost::Result result = run("echo fine", n);
        EXPECT_EQ(result.error, 0) << n;
        EXPECT_TRUE(result.text == "2400" || result.text == "fine\n") << n << ": " << result.text;
    }
}

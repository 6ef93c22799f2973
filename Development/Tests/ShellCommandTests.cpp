// Running a shell command and collecting its standard output.

#include "system/ShellCommand.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <thread>
#include <vector>

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

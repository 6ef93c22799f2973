#pragma once

// Runs the fmhost command as a child process with given arguments, standard input and environment, and collects
// its exit status and output.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fmhostprocess
{
struct Outcome
{
    int status = -1;
    std::string out, err;
};

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void writeFile(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string scratchPath(const std::string &name)
{
    return std::string(VANTREL_BINARY_DIR) + "/fmhost-test-" + std::to_string(getpid()) + "-" + name;
}

// In a child process: becomes fmhost with the arguments and extra environment variables.
[[noreturn]] inline void execFmhost(const std::vector<std::string> &arguments,
                                    const std::vector<std::pair<std::string, std::string>> &environment)
{
    for (const auto &variable : environment)
        setenv(variable.first.c_str(), variable.second.c_str(), 1);
    std::vector<char *> argv{const_cast<char *>(FMHOST_PATH)};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    execv(FMHOST_PATH, argv.data());
    _exit(127);
}

// Runs fmhost with the arguments, the standard input and extra environment variables; with a limit of its address
// space in bytes when addressSpace is not 0.
inline Outcome runFmhost(const std::vector<std::string> &arguments, const std::string &input = "",
                  const std::vector<std::pair<std::string, std::string>> &environment = {}, rlim_t addressSpace = 0)
{
    std::string inPath = scratchPath("stdin"), outPath = scratchPath("stdout"), errPath = scratchPath("stderr");
    writeFile(inPath, input);
    pid_t pid = fork();
    if (pid == 0)
    {
        int in = open(inPath.c_str(), O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        const rlimit limit{addressSpace, addressSpace};
        if (addressSpace != 0 && setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(126);
        execFmhost(arguments, environment);
    }
    Outcome outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    std::remove(inPath.c_str());
    std::remove(outPath.c_str());
    std::remove(errPath.c_str());
    return outcome;
}

} // namespace fmhostprocess

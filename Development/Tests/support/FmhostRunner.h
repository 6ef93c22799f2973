#pragma once

// Runs calculations through the fmhost command with the sandbox plug-in and reads its --json answers.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fmhosttest {

// One answered calculation: the fields of one JSON line of fmhost (calc, error, type, value).
using cAnswer = std::map<std::string, std::string>;

// Reads a JSON text literal starting at `at` (the opening quote); `at` ends after the closing quote.
inline std::string jsonString(const std::string& line, std::size_t& at)
{
    std::string out;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] != '\\' || at + 1 >= line.size()) {
            out += line[at];
            continue;
        }
        const char escaped = line[++at];
        switch (escaped) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'u': {
            unsigned code = static_cast<unsigned>(std::strtoul(line.substr(at + 1, 4).c_str(), nullptr, 16));
            at += 4;
            if (code >= 0xD800 && code < 0xDC00 && line.compare(at + 1, 2, "\\u") == 0) {
                const unsigned low = static_cast<unsigned>(std::strtoul(line.substr(at + 3, 4).c_str(), nullptr, 16));
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 6;
            }
            // UTF-8 form of the code point.
            if (code < 0x80) {
                out += static_cast<char>(code);
            } else if (code < 0x800) {
                out += static_cast<char>(0xC0 | (code >> 6));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                out += static_cast<char>(0xE0 | (code >> 12));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (code >> 18));
                out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (code & 0x3F));
            }
            break;
        }
        default: out += escaped;  // '"', '\\', '/'
        }
    }
    ++at;
    return out;
}

// The fields of a flat JSON object; numbers and other bare values are kept as their text.
inline cAnswer parseJsonLine(const std::string& line)
{
    cAnswer fields;
    std::size_t at = line.find('{');
    while (at != std::string::npos && at < line.size()) {
        at = line.find('"', at);
        if (at == std::string::npos)
            break;
        const std::string key = jsonString(line, at);
        at = line.find(':', at);
        if (at == std::string::npos)
            break;
        ++at;
        while (at < line.size() && line[at] == ' ')
            ++at;
        if (at < line.size() && line[at] == '"') {
            fields[key] = jsonString(line, at);
        } else {
            const std::size_t end = line.find_first_of(",}", at);
            fields[key] = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
            at = end;
        }
    }
    return fields;
}

struct cRun {
    int status = -1;              // fmhost's exit status
    std::vector<cAnswer> answers; // one per calculation, in order
};

// Evaluates the calculations (one per line of a script) in one fmhost session with the sandbox plug-in and
// the given hosted files open, the first one the calling file. Standard error of fmhost is left to the test's own.
// A launcher (a shell command prefix such as "timeout 30") runs fmhost under it.
inline cRun runFmhostWith(const std::string& plugin, const std::vector<std::string>& calculations,
                          const std::vector<std::string>& files, const std::string& launcher = "")
{
    char scriptPath[] = "/tmp/vantrel-fmhost-XXXXXX";
    const int fd = mkstemp(scriptPath);
    cRun run;
    if (fd < 0)
        return run;
    close(fd);
    {
        std::ofstream script(scriptPath);
        for (const std::string& calculation : calculations)
            script << calculation << '\n';
    }
    std::string command = launcher + " '" + FMHOST_PATH + "' --plugin '" + plugin + "' --json";
    for (const std::string& file : files)
        command += " --file '" + file + "'";
    command += std::string(" '") + scriptPath + "'";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::string line;
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            line += buffer;
            if (!line.empty() && line.back() == '\n') {
                run.answers.push_back(parseJsonLine(line));
                line.clear();
            }
        }
        if (!line.empty())
            run.answers.push_back(parseJsonLine(line));
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    unlink(scriptPath);
    return run;
}

inline cRun runFmhost(const std::vector<std::string>& calculations, const std::vector<std::string>& files,
                      const std::string& launcher = "")
{
    return runFmhostWith(SANDBOX_PLUGIN_PATH, calculations, files, launcher);
}

inline cRun runFmhost(const std::vector<std::string>& calculations, const std::string& file = "Invoices")
{
    return runFmhost(calculations, std::vector<std::string>{file});
}

// Replaces the sandbox allow-list for the life of the object and puts the previous content back afterwards.
class cSandboxAllowList {
public:
    explicit cSandboxAllowList(const std::string& content)
    {
        std::ifstream previous(SANDBOX_ALLOWLIST_PATH);
        hadFile_ = static_cast<bool>(previous);
        std::stringstream saved;
        saved << previous.rdbuf();
        saved_ = saved.str();
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(SANDBOX_ALLOWLIST_PATH).parent_path(), ignored);
        std::ofstream(SANDBOX_ALLOWLIST_PATH) << content;
    }
    ~cSandboxAllowList()
    {
        if (hadFile_)
            std::ofstream(SANDBOX_ALLOWLIST_PATH) << saved_;
        else
            std::remove(SANDBOX_ALLOWLIST_PATH);
    }
    cSandboxAllowList(const cSandboxAllowList&) = delete;
    cSandboxAllowList& operator=(const cSandboxAllowList&) = delete;

private:
    bool hadFile_ = false;
    std::string saved_;
};

}  // namespace fmhosttest

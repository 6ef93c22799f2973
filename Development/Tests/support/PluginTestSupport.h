// Shared by the plug-in frame's tests: start the plug-in inside the test program, write allow-lists, run fmhost.
#pragma once

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "FMHost/Host.h"
#include "FMWrapper/FMXExtern.h"

namespace plugintest
{
// A host call record for one message.
inline FMX_ExternCallStruct Message(FMX_ExternCallSwitch which, fmx::int16 version = 71)
{
    FMX_ExternCallStruct record;
    std::memset(&record, 0, sizeof record);
    record.extnVersion = version;
    record.unusedID = -1;
    record.whichCall = which;
    return record;
}

inline fmx::int64 Send(FMX_ExternCallStruct &record)
{
    FMExternCallProc(&record);
    return static_cast<fmx::int64>(record.result);
}

inline fmx::int64 Initialise(fmx::int16 version = 71)
{
    static const fmx::unichar16 appVersion[] = {u'P', u'r', u'o', u' ', u'2', u'0', 0};
    FMX_ExternCallStruct record = Message(kFMXT_Init, version);
    record.parm2 = reinterpret_cast<FMX_PtrType>(appVersion);
    return Send(record);
}

inline void ShutdownPlugIn()
{
    FMX_ExternCallStruct record = Message(kFMXT_Shutdown);
    Send(record);
}

// The plug-in's functions registered for the life of the object.
struct cLoadedPlugIn
{
    cLoadedPlugIn() { initialised = Initialise(); }
    ~cLoadedPlugIn() { ShutdownPlugIn(); }
    fmx::int64 initialised;
};

inline void WriteFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One line of fmhost --json output.
struct cJsonLine
{
    int error = -1;
    std::string type;
    std::string value;
};

inline std::string JsonString(const std::string &line, const std::string &field)
{
    const std::string key = "\"" + field + "\":";
    std::size_t at = line.find(key);
    if (at == std::string::npos)
        return std::string();
    at += key.size();
    while (at < line.size() && line[at] == ' ')
        ++at;
    if (at >= line.size() || line[at] != '"')
    {
        std::size_t end = line.find_first_of(",}", at);
        return line.substr(at, end - at);
    }
    std::string out;
    for (++at; at < line.size() && line[at] != '"'; ++at)
    {
        char c = line[at];
        if (c != '\\')
        {
            out += c;
            continue;
        }
        c = line[++at];
        switch (c)
        {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u':
        {
            const unsigned code = std::stoul(line.substr(at + 1, 4), nullptr, 16);
            at += 4;
            if (code < 0x80)
                out += static_cast<char>(code);
            else if (code < 0x800)
                out += static_cast<char>(0xC0 | (code >> 6)), out += static_cast<char>(0x80 | (code & 0x3F));
            else
                out += static_cast<char>(0xE0 | (code >> 12)), out += static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                    out += static_cast<char>(0x80 | (code & 0x3F));
            break;
        }
        default: out += c; break;
        }
    }
    return out;
}

struct cFmhostRun
{
    int status = -1;
    std::vector<cJsonLine> lines;
    std::string output;
};

// Runs fmhost --json with the given arguments (each already quoted for the shell).
inline cFmhostRun RunFmhost(const std::string &arguments)
{
    cFmhostRun run;
    const std::string command = std::string("'") + FMHOST_PATH + "' --json " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
        run.output.append(chunk, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::size_t start = 0;
    while (start < run.output.size())
    {
        std::size_t end = run.output.find('\n', start);
        if (end == std::string::npos)
            end = run.output.size();
        const std::string line = run.output.substr(start, end - start);
        if (!line.empty() && line[0] == '{')
        {
            cJsonLine parsed;
            const std::string error = JsonString(line, "error");
            parsed.error = error.empty() ? -1 : std::stoi(error);
            parsed.type = JsonString(line, "type");
            parsed.value = JsonString(line, "value");
            run.lines.push_back(parsed);
        }
        start = end + 1;
    }
    return run;
}

// Single quotes for the shell.
inline std::string Quote(const std::string &text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
}

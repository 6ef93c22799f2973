// Runs the items of scripts, -e options and the prompt, printing each result.
#pragma once

#include "fmhost/HostContext.h"
#include "fmhost/ScriptReader.h"

namespace fmhost
{
class cRunner
{
public:
    enum class Style
    {
        Plain, // the result alone
        Json,  // one JSON object per calculation
        Echo   // "calc  →  result", comments as section titles
    };
    cRunner(cHostContext &host, Style style) : host_(host), style_(style) {}

    void run(const ScriptItem &item);
    bool failed() const { return failed_; }

private:
    void evaluate(const std::string &calculation);
    void command(const std::string &line);
    void title(const std::string &text);

    cHostContext &host_;
    Style style_;
    bool failed_ = false;
    bool printed_ = false; // something is on the screen: a title gets a blank line before it
};
} // namespace fmhost

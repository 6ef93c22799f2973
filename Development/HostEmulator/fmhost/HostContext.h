// What fmhost plays the host with: its client sessions with their hosted files, and the loaded plug-in.
#pragma once

#include "FMHost/Host.h"
#include "fmhost/Options.h"
#include "fmhost/PluginHost.h"
#include "fmhost/Sessions.h"

#include <memory>
#include <string>

namespace fmhost
{
// A calculation's outcome, with what people need to know when it failed.
struct cEvaluation
{
    FMHost::Result result;
    std::string failure; // "error 1207: unbalanced parenthesis (at character 13)"; empty on success
    // Why a plug-in function answered "?" during the calculation: "Vantrel_Get answered ?: <its last error
    // message>"; empty when none did.
    std::string questionMark;
    // The first SQL query of the calculation that failed: "SQL error 8310 (near \"SELEC\": syntax error)"; empty
    // when none did.
    std::string sqlFailure;
};

class cHostContext
{
public:
    explicit cHostContext(const Options &options) : options_(options), sessions_(options.files) {}
    ~cHostContext() { stop(); }
    cHostContext(const cHostContext &) = delete;
    cHostContext &operator=(const cHostContext &) = delete;

    // Starts the first session with the hosted files of --file and loads the plug-in. False with a message when a
    // file's database cannot be read or the plug-in cannot be used.
    bool start(std::string &error);
    // Ends the sessions, then shuts the plug-in down, as a server that stops; start() may follow for a fresh host.
    void stop();

    // Evaluates in the current session.
    cEvaluation evaluate(const std::string &calculation);
    FMHost::Session &session() { return sessions_.current(); }
    Sessions &sessions() { return sessions_; }
    const Options &options() const { return options_; }
    // The current session and its calling file, as the prompt shows them: "main:Invoices", or "main" without one.
    std::string location();

    // :quit asks fmhost to leave once the command is done.
    void requestQuit() { quit_ = true; }
    bool quitRequested() const { return quit_; }

private:
    const Options &options_;
    bool quit_ = false;
    Sessions sessions_;
    PluginHost plugin_;
};
} // namespace fmhost

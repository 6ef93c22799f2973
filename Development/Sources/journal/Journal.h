#ifndef VANTREL_JOURNAL_JOURNAL_H
#define VANTREL_JOURNAL_JOURNAL_H

#include <string_view>

// Lines for the server administrator in the system journal, under the identity "Vantrel". The plug-in lives in the
// server's process, so it never touches the process-wide syslog state (openlog): each line is a datagram of its own
// to the journal's syslog socket, sent without waiting. A line that cannot be sent is dropped.
namespace vtl
{
enum class eJournalKind
{
    kAllowListFault, // the allow-list cannot be read or parsed
    kRefusedCall,    // the allow-list refused a call
    kTimeLimit,      // a shell command was ended by its time limit
    kException       // an exception was caught at a function's boundary
};

// One line, at most one a minute for each kind, file and function; the next line that goes out tells how many were
// left out meanwhile. Nothing goes out while the journal is off. Never throws, never blocks. The text is asked for
// only when the line may go out, so a line held back costs no more than its look-up:
//
//     if (vtl::cJournalLine line{vtl::eJournalKind::kRefusedCall, file, function})
//         line.send("refused " + ...);
class cJournalLine
{
public:
    cJournalLine(eJournalKind kind, std::string_view file, std::string_view function) noexcept;
    explicit operator bool() const { return admitted_; }
    void send(std::string_view text) noexcept;

private:
    eJournalKind kind_;
    bool admitted_ = false;
    unsigned long leftOut_ = 0;
};

// The same for a text at hand.
void Journal(eJournalKind kind, std::string_view file, std::string_view function, std::string_view text) noexcept;

// The allow-list's "log=off" turns the journal off; it is on until a file says otherwise.
void SetJournalOn(bool on) noexcept;
bool JournalOn() noexcept;

// Forgets which lines went out (for tests).
void ResetJournalLimits() noexcept;
}

#endif

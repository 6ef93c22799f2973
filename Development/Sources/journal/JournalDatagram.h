#ifndef VANTREL_JOURNAL_JOURNALDATAGRAM_H
#define VANTREL_JOURNAL_JOURNALDATAGRAM_H

#include <ctime>
#include <string>
#include <string_view>

namespace vtl
{
// Syslog severities the plug-in uses.
constexpr int kJournalError = 3;
constexpr int kJournalWarning = 4;

// Longest text of one line; the rest is cut.
constexpr std::size_t kLongestJournalText = 1024;

// One line as the journal's syslog socket reads it: "<PRI>Mmm dd hh:mm:ss Vantrel[PID]: text", facility user, the
// local time of `when`. Control characters of the text (a file name may hold a line feed) become '?', so one line
// stays one line.
std::string JournalDatagram(int severity, std::time_t when, long pid, std::string_view text);

// Sends the datagram to /dev/log: non-blocking, no signal, nothing kept open. False when it did not go out.
bool SendJournalDatagram(const std::string &datagram) noexcept;
}

#endif

#include "journal/JournalDatagram.h"

#include <cstdio>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vtl
{
namespace
{
constexpr int kFacilityUser = 1;
constexpr char kSocketPath[] = "/dev/log";
// Month names in the C locale whatever the server's locale is: the socket's reader expects these.
constexpr const char *kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

std::string JournalDatagram(int severity, std::time_t when, long pid, std::string_view text)
{
    struct tm local = {};
    ::localtime_r(&when, &local);
    char head[64];
    std::snprintf(head, sizeof head, "<%d>%s %2d %02d:%02d:%02d Vantrel[%ld]: ", kFacilityUser * 8 + severity,
                  kMonths[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, pid);
    std::string datagram(head);
    const std::string_view kept = text.substr(0, kLongestJournalText);
    datagram.reserve(datagram.size() + kept.size());
    for (const char byte : kept)
    {
        const auto code = static_cast<unsigned char>(byte);
        datagram += code < 0x20 || code == 0x7F ? '?' : byte;
    }
    return datagram;
}

bool SendJournalDatagram(const std::string &datagram) noexcept
{
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, kSocketPath, sizeof kSocketPath);
    // A full socket (the journal is behind) drops the line rather than holding up the calling server thread.
    const ssize_t sent = ::sendto(fd, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                                  reinterpret_cast<const struct sockaddr *>(&address), sizeof address);
    ::close(fd);
    return sent == static_cast<ssize_t>(datagram.size());
}
}

#include "NameResolution.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <vector>

// Only the re-entrant resolver calls are used here: the server evaluates calculations on
// several threads, and the classic calls hand back storage shared by the whole process.

namespace slib {

namespace {
// A name with this much alias and address data is not a host name a calculation means.
constexpr std::size_t kLargestAnswer = 1 << 20;
}

const char* const kCannotRetrieveIP = "Cannot retrieve IP for host";
const char* const kInvalidIPAddress = "Invalid IP address";
const char* const kCannotGetHostInfo = "Cannot get host information for IP";

std::string IPForName(const std::string& name)
{
    if (name.empty())
        return kCannotRetrieveIP;  // no name to ask the resolver about

    // gethostbyname_r keeps the resolver's order (getaddrinfo re-sorts by destination preference, so "the first
    // address" would depend on this machine's routes). The buffer grows while the answer does not fit.
    std::vector<char> buffer(1024);
    for (;;) {
        hostent entry{};
        hostent* found = nullptr;
        int lookupError = 0;
        const int status =
            gethostbyname_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found, &lookupError);
        if (status == ERANGE && buffer.size() < kLargestAnswer) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (status != 0 || found == nullptr || found->h_addrtype != AF_INET ||
            found->h_length != static_cast<int>(sizeof(in_addr)) || found->h_addr_list == nullptr ||
            found->h_addr_list[0] == nullptr)
            return kCannotRetrieveIP;
        char dotted[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, found->h_addr_list[0], dotted, sizeof dotted) == nullptr)
            return kCannotRetrieveIP;
        return dotted;
    }
}

std::string NameForIP(const std::string& address)
{
    // inet_aton reads every numbers-and-dots form (octal, hexadecimal, fewer than four parts).
    // The all-ones address is refused as well: it is the failure value of the classic conversion.
    in_addr parsed{};
    if (inet_aton(address.c_str(), &parsed) == 0 || parsed.s_addr == INADDR_NONE)
        return kInvalidIPAddress;

    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr = parsed;

    char host[1025] = {};
    char service[32] = {};
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress), sizeof socketAddress, host,
                    sizeof host, service, sizeof service, NI_NUMERICSERV) != 0)
        return kCannotGetHostInfo;
    return host;
}

}  // namespace slib

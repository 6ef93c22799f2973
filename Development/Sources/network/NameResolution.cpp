#include "NameResolution.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <memory>

// Only the re-entrant resolver calls are used here: the server evaluates calculations on
// several threads, and the classic calls hand back storage shared by the whole process.

namespace slib {

const char* const kCannotRetrieveIP = "Cannot retrieve IP for host";
const char* const kInvalidIPAddress = "Invalid IP address";
const char* const kCannotGetHostInfo = "Cannot get host information for IP";

std::string IPForName(const std::string& name)
{
    if (name.empty())
        return kCannotRetrieveIP;  // no name to ask the resolver about

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address instead of one per socket type

    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return kCannotRetrieveIP;
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, &freeaddrinfo);

    for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addr == nullptr)
            continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        char dotted[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted) == nullptr)
            break;
        return dotted;
    }
    return kCannotRetrieveIP;
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

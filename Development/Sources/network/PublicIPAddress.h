#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace slib {

// Result codes of one attempt to learn the public address from one service.
enum ePublicIPResult {
    kPublicIPFound = 0,
    kPublicIPNoName = -3,      // the host name could not be resolved
    kPublicIPNoSocket = -4,    // no socket could be created
    kPublicIPNoConnect = -5,   // every connection try failed
    kPublicIPNoSend = -6,      // the request could not be sent
    kPublicIPNoReceive = -7,   // receiving the reply failed (or timed out)
    kPublicIPNoAddress = -8    // no marker, or no well-formed dotted address after it
};

constexpr std::size_t kPublicIPReplySize = 16000;
constexpr std::size_t kPublicIPOutputSize = 17;  // up to 16 characters and a NUL
constexpr int kPublicIPConnectTries = 11;

// One what-is-my-IP web service: where to ask, and how its reply carries the address.
struct cPublicIPService {
    int number;
    std::string host;
    std::string port;
    std::string marker;  // the address follows the first occurrence of this text
    char endChar;        // the character after the address; '\0' means the end of the reply
};

// Time limits: no socket operation waits longer than stepTimeout, one attempt (all its
// connection tries, the request and the reply) takes at most attemptBudget, and a look-up
// over several services stops starting attempts once totalBudget is spent.
// Name resolution is bounded by the system resolver's own time-outs.
struct cPublicIPLimits {
    std::chrono::milliseconds stepTimeout{3000};
    std::chrono::milliseconds attemptBudget{6000};
    std::chrono::milliseconds totalBudget{15000};
};

// The five services, in the order in which they are asked.
const std::vector<cPublicIPService>& PublicIPServices();

// Picks the address out of a reply of `length` bytes; the reply counts as text up to its first
// NUL and is never read past `length`. On success the address (NUL-terminated) is in `address`.
int ExtractPublicIP(const char* reply, std::size_t length, const cPublicIPService& service,
                    char (&address)[kPublicIPOutputSize]);

// One attempt against one service. On success the address is left in `output`.
int GetClientPublicIP(const cPublicIPService& service, char (&output)[kPublicIPOutputSize],
                      const cPublicIPLimits& limits = cPublicIPLimits());

// One attempt against the service with that number in PublicIPServices().
int GetClientPublicIP(int serviceNumber, char (&output)[kPublicIPOutputSize]);

// Asks the services in order until one yields an address. Returns 0 with the address in
// `address`, or the code of the last attempt made.
int FindClientPublicIP(const std::vector<cPublicIPService>& services, std::string& address,
                       const cPublicIPLimits& limits = cPublicIPLimits());

}  // namespace slib

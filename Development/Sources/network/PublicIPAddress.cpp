#include "PublicIPAddress.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace slib {

namespace {

using Clock = std::chrono::steady_clock;

// Closes the socket on every way out of an attempt.
class cSocket {
public:
    explicit cSocket(int fd) : fd_(fd) {}
    ~cSocket()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    cSocket(const cSocket&) = delete;
    cSocket& operator=(const cSocket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

// Milliseconds left until the deadline, never more than one step, never negative.
int waitMillis(Clock::time_point deadline, std::chrono::milliseconds step)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, std::min(left, step).count()));
}

// Waits for `events` on the socket; false with errno set when the wait failed or timed out.
bool waitFor(int fd, short events, Clock::time_point deadline, std::chrono::milliseconds step)
{
    const auto stepEnd = Clock::now() + step;
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, waitMillis(std::min(deadline, stepEnd), step));
        if (ready > 0)
            return true;
        if (ready == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

void reportConnectError(int error)
{
    char text[256] = {};
    // The GNU form returns the message, which may or may not live in `text`.
    const char* message = strerror_r(error, text, sizeof text);

    // The server's standard output may be a pipe or socket nobody reads any more: the SIGPIPE of that write
    // would end the server. It is held back for this thread and discarded, unless one was waiting already.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigset_t pending;
    const bool wasPending = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;

    std::printf("Error while connecting: %s", message);
    std::fflush(stdout);

    if (!wasPending) {
        const timespec noWait{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &noWait) == SIGPIPE) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// One connection try on a fresh non-blocking socket; returns 0 or the error number.
int connectOnce(int fd, const addrinfo& target, Clock::time_point deadline,
                std::chrono::milliseconds step)
{
    if (connect(fd, target.ai_addr, target.ai_addrlen) == 0)
        return 0;
    if (errno != EINPROGRESS && errno != EINTR)
        return errno;
    if (!waitFor(fd, POLLOUT, deadline, step))
        return errno;
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

bool sendAll(int fd, const std::string& request, Clock::time_point deadline,
             std::chrono::milliseconds step)
{
    std::size_t sent = 0;
    while (sent < request.size()) {
        // MSG_NOSIGNAL: a peer that hangs up must not raise SIGPIPE in the server process.
        const ssize_t count = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(fd, POLLOUT, deadline, step))
            continue;
        return false;
    }
    return true;
}

// Receives once; returns the byte count or -1.
ssize_t receiveOnce(int fd, char* buffer, std::size_t size, Clock::time_point deadline,
                    std::chrono::milliseconds step)
{
    for (;;) {
        if (!waitFor(fd, POLLIN, deadline, step))
            return -1;
        const ssize_t count = recv(fd, buffer, size, 0);
        if (count >= 0)
            return count;
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
    }
}

int attempt(const cPublicIPService& service, char (&address)[kPublicIPOutputSize],
            const cPublicIPLimits& limits, Clock::time_point deadline)
{
    // Per-call buffers: attempts on different threads must not share them.
    const std::string whatSite = service.host;
    const std::string whatToSend = "GET / HTTP/1.1\r\nHost: " + whatSite + "\r\n\r\n";
    std::vector<char> reply(kPublicIPReplySize, '\0');

    // IPv4 only: over an IPv6 connection a dual-stack service answers with the IPv6 address, which is not
    // what is asked for and would fail every attempt on a server with IPv6.
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(whatSite.c_str(), service.port.c_str(), &hints, &found) != 0 || found == nullptr)
        return kPublicIPNoName;
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> list(found, &freeaddrinfo);
    const addrinfo& target = *list;  // only the first address is used

    // A socket whose connect failed is in an unspecified state, so every try gets a new one.
    std::unique_ptr<cSocket> connected;
    for (int tries = 0; tries < kPublicIPConnectTries && !connected; ++tries) {
        auto candidate = std::make_unique<cSocket>(
            socket(target.ai_family, target.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, target.ai_protocol));
        if (candidate->fd() < 0)
            return kPublicIPNoSocket;
        const int error = connectOnce(candidate->fd(), target, deadline, limits.stepTimeout);
        if (error == 0) {
            connected = std::move(candidate);
            break;
        }
        reportConnectError(error);
        if (Clock::now() >= deadline)
            break;  // the attempt's time is spent; further tries could only time out at once
    }
    if (!connected)
        return kPublicIPNoConnect;

    if (!sendAll(connected->fd(), whatToSend, deadline, limits.stepTimeout))
        return kPublicIPNoSend;

    const ssize_t received = receiveOnce(connected->fd(), reply.data(), reply.size(), deadline, limits.stepTimeout);
    if (received < 0)
        return kPublicIPNoReceive;

    return ExtractPublicIP(reply.data(), static_cast<std::size_t>(received), service, address);
}

bool isTrailingSpace(char c)
{
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

}  // namespace

const std::vector<cPublicIPService>& PublicIPServices()
{
    static const std::vector<cPublicIPService> services = {
        {2, "api.ipify.org", "80", "\r\n\r\n", '\0'},
        {6, "ifconfig.me", "80", "\r\n\r\nb\r\n", '\r'},
        {5, "whatismyip.akamai.com", "80", "close\r\n\r\n", '\0'},
        {8, "ipecho.net", "80", "Your IP is ", '<'},
        {9, "checkip.dyndns.org", "80", "Current IP Address: ", '<'},
    };
    return services;
}

int ExtractPublicIP(const char* reply, std::size_t length, const cPublicIPService& service,
                    char (&address)[kPublicIPOutputSize])
{
    std::memset(address, 0, sizeof address);
    // The reply is text up to its first NUL; a reply that fills the whole buffer has none.
    const std::string_view text(reply, reply == nullptr ? 0 : strnlen(reply, length));
    const std::size_t markerAt = text.find(service.marker);
    if (service.marker.empty() || markerAt == std::string_view::npos)
        return kPublicIPNoAddress;

    std::size_t end = text.size();
    // A service whose address runs to the end of the reply may close it with a line break;
    // that belongs to the reply, not to the address.
    if (service.endChar == '\0') {
        while (end > markerAt + service.marker.size() && isTrailingSpace(text[end - 1]))
            --end;
    }

    char collected[16] = {};
    std::size_t position = 0;
    int dots = 0;
    int sinceDot = 0;
    for (std::size_t at = markerAt + service.marker.size();; ++at) {
        const char c = at < end ? text[at] : '\0';
        if (c == service.endChar)
            break;
        if (at >= end)
            return kPublicIPNoAddress;  // the reply ended before the end character
        collected[position] = c;
        if (position == 15)
            return kPublicIPNoAddress;
        if (c == '.') {
            ++dots;
            sinceDot = 0;
        } else if (++sinceDot > 3) {
            return kPublicIPNoAddress;
        }
        ++position;
    }
    if (dots != 3)
        return kPublicIPNoAddress;
    collected[position] = '\0';

    // Reject what only looks like an address ("a.b.c.d", "1..2.3", "300.1.1.1"): reporting it
    // as the server's address would be a failure dressed up as success.
    in_addr check{};
    if (inet_pton(AF_INET, collected, &check) != 1)
        return kPublicIPNoAddress;

    std::memcpy(address, collected, sizeof collected);
    address[kPublicIPOutputSize - 1] = '\0';
    return kPublicIPFound;
}

int GetClientPublicIP(const cPublicIPService& service, char (&output)[kPublicIPOutputSize],
                      const cPublicIPLimits& limits)
{
    std::memset(output, 0, sizeof output);
    return attempt(service, output, limits, Clock::now() + limits.attemptBudget);
}

int GetClientPublicIP(int serviceNumber, char (&output)[kPublicIPOutputSize])
{
    for (const cPublicIPService& service : PublicIPServices()) {
        if (service.number == serviceNumber)
            return GetClientPublicIP(service, output);
    }
    std::memset(output, 0, sizeof output);
    return kPublicIPNoName;
}

int FindClientPublicIP(const std::vector<cPublicIPService>& services, std::string& address,
                       const cPublicIPLimits& limits)
{
    const Clock::time_point end = Clock::now() + limits.totalBudget;
    int result = kPublicIPNoName;
    for (const cPublicIPService& service : services) {
        if (Clock::now() >= end)
            break;
        char output[kPublicIPOutputSize] = {};
        const Clock::time_point deadline = std::min(end, Clock::now() + limits.attemptBudget);
        result = attempt(service, output, limits, deadline);
        if (result == kPublicIPFound) {
            address = output;
            return result;
        }
    }
    return result;
}

}  // namespace slib

#pragma once

// Helpers for the network tests: an isolated network for the whole test process, and small
// HTTP servers on the loopback address. Nothing here ever sends traffic off this machine.

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

// Host names the tests rely on, in the hosts file of the isolated process.
inline const char* const kTestHosts =
    "127.0.0.1 localhost\n"
    "::1 localhost ip6-localhost\n"
    "127.0.0.5 multi.test\n"
    "127.0.0.6 multi.test\n"
    // Destination-address sorting (RFC 6724) would put the loopback address first.
    "5.6.7.8 order.test\n"
    "127.0.0.7 order.test\n"
    "fd00::5 v6only.test\n";

// Puts `content` over the system file `target` for this process only.
inline bool overlayFile(const char* target, const char* content)
{
    char path[] = "/tmp/vantrel-netXXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return false;
    const std::size_t size = std::strlen(content);
    const bool written = write(fd, content, size) == static_cast<ssize_t>(size);
    close(fd);
    const bool mounted = written && mount(path, target, nullptr, MS_BIND, nullptr) == 0;
    unlink(path);  // the bind mount keeps the file alive
    return mounted;
}

inline bool bringLoopbackUp()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (up && !(request.ifr_flags & IFF_UP)) {
        request.ifr_flags |= IFF_UP;
        up = ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    }
    close(fd);
    return up;
}

// Moves the process into a network namespace of its own with only the loopback interface up,
// so that no look-up can leave the machine, and, where it may, gives it its own hosts file and
// a resolver configuration that names 127.0.0.1 (see cFakeDNSServer). Needs root.
struct cIsolation {
    bool network = false;  // private network namespace: nothing leaves the machine
    bool resolver = false; // private hosts file and resolver configuration as well
};
inline cIsolation isolate()
{
    cIsolation result;
    // The mount namespace needs a single-threaded process; a sanitizer runtime may already
    // have started a thread, so the network namespace is also tried on its own.
    if (unshare(CLONE_NEWNET | CLONE_NEWNS) == 0) {
        result.network = bringLoopbackUp();
        result.resolver = result.network && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                          overlayFile("/etc/hosts", kTestHosts) &&
                          overlayFile("/etc/resolv.conf", "nameserver 127.0.0.1\noptions attempts:1 timeout:1\n");
    } else if (unshare(CLONE_NEWNET) == 0) {
        result.network = bringLoopbackUp();
    }
    return result;
}

// Set up before main() runs, so every thread and child process of the tests inherits it.
inline const cIsolation gIsolation = isolate();

#define REQUIRE_ISOLATED_NETWORK()                                                             \
    do {                                                                                       \
        if (!nettest::gIsolation.network)                                                      \
            GTEST_SKIP() << "needs a private network namespace (root), so that no name "      \
                            "look-up leaves the machine";                                      \
    } while (0)

#define REQUIRE_TEST_RESOLVER()                                                                \
    do {                                                                                       \
        if (!nettest::gIsolation.resolver)                                                     \
            GTEST_SKIP() << "needs private network and mount namespaces (root)";              \
    } while (0)

inline int listenOnLoopback(int backlog, int& port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd, backlog) != 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0)
            close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

// A port on 127.0.0.1 where nothing listens: connecting to it is refused.
inline std::string closedPort()
{
    int port = 0;
    const int fd = listenOnLoopback(1, port);
    close(fd);
    return std::to_string(port);
}

// A socket served by a thread of its own: `handle` runs whenever the socket is readable, until
// the owner is destroyed or five seconds pass without activity, so a test can never hang on it.
class cServedSocket {
public:
    cServedSocket() = default;
    ~cServedSocket()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (fd_ >= 0)
            close(fd_);
    }
    cServedSocket(const cServedSocket&) = delete;
    cServedSocket& operator=(const cServedSocket&) = delete;

    void adopt(int fd) { fd_ = fd; }
    int fd() const { return fd_; }
    bool serving() const { return thread_.joinable(); }
    void serve(std::function<void(int)> handle)
    {
        if (fd_ < 0)
            return;
        thread_ = std::thread([this, handle = std::move(handle)] {
            for (int idleRounds = 0; !stop_ && idleRounds < 100;) {  // rounds of 50 ms
                pollfd entry{fd_, POLLIN, 0};
                if (poll(&entry, 1, 50) <= 0) {
                    ++idleRounds;
                    continue;
                }
                idleRounds = 0;
                handle(fd_);
            }
        });
    }

private:
    int fd_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Listens on 127.0.0.1 and answers every connection with one fixed reply, sent in one piece,
// then closes it. With `answer` false it never accepts: the kernel completes the connections,
// but no reply ever comes (a silent server).
class cFakeHTTPServer {
public:
    explicit cFakeHTTPServer(std::string reply, bool answer = true) : reply_(std::move(reply))
    {
        socket_.adopt(listenOnLoopback(64, port_));
        if (answer)
            socket_.serve([this](int fd) { accept_(fd); });
    }

    std::string port() const { return std::to_string(port_); }
    bool listening() const { return socket_.fd() >= 0; }
    std::vector<std::string> requests() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void accept_(int fd)
    {
        const int client = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            return;
        std::string request;
        char buffer[1024];
        // Read up to the blank line that ends the request header, for at most two seconds.
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd entry{client, POLLIN, 0};
            if (poll(&entry, 1, 2000) <= 0)
                break;
            const ssize_t count = recv(client, buffer, sizeof buffer, 0);
            if (count <= 0)
                break;
            request.append(buffer, static_cast<std::size_t>(count));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        if (!reply_.empty())
            send(client, reply_.data(), reply_.size(), MSG_NOSIGNAL);
        close(client);
    }

    const std::string reply_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    cServedSocket socket_;  // last: its thread stops before the members above go away
};

// A name server on 127.0.0.1:53 that knows no name at all: every query is answered with
// "no such name". With it an address without a name is told apart from a failing resolver.
class cFakeDNSServer {
public:
    cFakeDNSServer()
    {
        const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(53);
        socket_.adopt(fd);
        if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            socket_.serve(&answer_);
    }
    bool running() const { return socket_.serving(); }

private:
    static void answer_(int fd)
    {
        unsigned char packet[512];
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size = recvfrom(fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        // The answer is the header and the question of the query: past the name's labels
        // come type and class; anything after them (an EDNS record) is dropped.
        std::size_t at = 12;
        while (size > 12 && at < static_cast<std::size_t>(size) && packet[at] != 0)
            at += packet[at] + 1u;
        at += 5;
        if (size <= 12 || at > static_cast<std::size_t>(size))
            return;
        packet[2] = static_cast<unsigned char>(0x84 | (packet[2] & 0x01));  // response, authoritative
        packet[3] = 0x83;                                                      // no such name
        std::memset(packet + 6, 0, 6);                                         // no records
        sendto(fd, packet, at, 0, reinterpret_cast<sockaddr*>(&from), fromSize);
    }

    cServedSocket socket_;
};

}  // namespace nettest

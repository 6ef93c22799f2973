// Name resolution and the public-address look-up. Every test stays on this machine: the
// public-address attempts go to fake servers on 127.0.0.1, and names that would need a DNS
// server are only looked up inside the test process's own network namespace.

#include "support/NetworkTestSupport.h"
#include "network/NameResolution.h"
#include "network/PublicIPAddress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

using namespace std::chrono_literals;
using nettest::cFakeHTTPServer;
using testing::HasSubstr;

namespace {

const char* const kHeader = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n";

slib::cPublicIPService serviceLike(int number, const std::string& port)
{
    for (const slib::cPublicIPService& service : slib::PublicIPServices()) {
        if (service.number == number) {
            slib::cPublicIPService local = service;
            local.host = "127.0.0.1";
            local.port = port;
            return local;
        }
    }
    ADD_FAILURE() << "no service " << number;
    return {};
}

slib::cPublicIPLimits quickLimits()
{
    slib::cPublicIPLimits limits;
    limits.stepTimeout = 300ms;
    limits.attemptBudget = 600ms;
    limits.totalBudget = 2000ms;
    return limits;
}

// Runs the address extraction of a service on a reply given as text.
struct cExtract {
    int code;
    std::string address;
};
cExtract extract(int serviceNumber, const std::string& reply)
{
    char address[slib::kPublicIPOutputSize];
    std::vector<char> bytes(reply.begin(), reply.end());  // exactly as long as the reply
    const int code = slib::ExtractPublicIP(bytes.data(), bytes.size(), serviceLike(serviceNumber, "80"), address);
    return {code, address};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Name resolution

TEST(NameResolution, IPForNameGivesTheFirstIPv4AddressOrTheMessage)
{
    EXPECT_EQ(slib::IPForName("localhost"), "127.0.0.1");
    EXPECT_EQ(slib::IPForName("10.1.2.3"), "10.1.2.3");  // a dotted address comes back unchanged
    EXPECT_EQ(slib::IPForName("127.1"), "127.0.0.1");
    EXPECT_EQ(slib::IPForName("::1"), slib::kCannotRetrieveIP);  // IPv6 only
    EXPECT_EQ(slib::IPForName(""), slib::kCannotRetrieveIP);
}

TEST(NameResolution, IPForNameOfUnknownAndOfIPv6OnlyNames)
{
    REQUIRE_TEST_RESOLVER();
    EXPECT_EQ(slib::IPForName("no-such-host.invalid"), slib::kCannotRetrieveIP);  // with no name server
    nettest::cFakeDNSServer dns;
    ASSERT_TRUE(dns.running());
    EXPECT_EQ(slib::IPForName("no-such-host.invalid"), slib::kCannotRetrieveIP);
    EXPECT_EQ(slib::IPForName("v6only.test"), slib::kCannotRetrieveIP);
    EXPECT_EQ(slib::IPForName("multi.test"), "127.0.0.5");  // the first of its addresses
    EXPECT_EQ(slib::IPForName("order.test"), "5.6.7.8");    // in the resolver's order, not re-sorted
}

TEST(NameResolution, NameForIPReadsEveryNumbersAndDotsForm)
{
    EXPECT_EQ(slib::NameForIP("127.0.0.1"), "localhost");
    EXPECT_EQ(slib::NameForIP("127.1"), "localhost");
    EXPECT_EQ(slib::NameForIP("0x7f.0.0.1"), "localhost");
    EXPECT_EQ(slib::NameForIP("0177.0.0.1"), "localhost");
    EXPECT_EQ(slib::NameForIP("2130706433"), "localhost");
}

TEST(NameResolution, NameForIPRefusesWhatIsNoIPv4Address)
{
    for (const char* text : {"255.255.255.255", "::1", "", "localhost", "1.2.3.4.5", "256.1.1.1", "1.2.3.4x"})
        EXPECT_EQ(slib::NameForIP(text), slib::kInvalidIPAddress) << '"' << text << '"';
}

TEST(NameResolution, NameForIPOfAnAddressWithoutNameGivesItBack)
{
    REQUIRE_TEST_RESOLVER();
    nettest::cFakeDNSServer dns;
    ASSERT_TRUE(dns.running());
    EXPECT_EQ(slib::NameForIP("127.0.0.2"), "127.0.0.2");
    EXPECT_EQ(slib::NameForIP("10.1.2.3"), "10.1.2.3");
    EXPECT_EQ(slib::NameForIP("127.0.0.5"), "multi.test");
}

TEST(NameResolution, NameForIPWhenTheResolverFails)
{
    REQUIRE_TEST_RESOLVER();  // and no name server runs: the reverse look-up cannot be made
    EXPECT_EQ(slib::NameForIP("10.1.2.3"), slib::kCannotGetHostInfo);
}

// ---------------------------------------------------------------------------------------------
// Picking the address out of a reply

TEST(PublicIPReply, EachServiceFormYieldsTheAddress)
{
    EXPECT_EQ(extract(2, std::string(kHeader) + "203.0.113.7").address, "203.0.113.7");
    EXPECT_EQ(extract(6, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nb\r\n203.0.113.9\r\n0\r\n\r\n").address,
              "203.0.113.9");
    EXPECT_EQ(extract(5, std::string(kHeader) + "198.51.100.1").address, "198.51.100.1");
    EXPECT_EQ(extract(8, "<html><body><h1>Your IP is 1.22.133.4</h1></body></html>").address, "1.22.133.4");
    EXPECT_EQ(extract(9, "<body>Current IP Address: 255.0.10.100</body>").address, "255.0.10.100");
    EXPECT_EQ(extract(8, "Your IP is 1.2.3.4<").code, slib::kPublicIPFound);
}

TEST(PublicIPReply, MalformedAddressesGiveMinusEight)
{
    const std::vector<std::string> bad = {
        "Your IP is 1.2.3.4444<",          // a group of four characters
        "Your IP is 1.2.3<",               // two dots
        "Your IP is 1.2.3.4.5<",           // four dots
        "Your IP is 111.222.133.1444<",    // sixteen characters
        "Your IP is 2001:db8::1<",         // IPv6
        "Your IP is a.b.c.d<",             // not digits
        "Your IP is 1..2.3<",              // an empty group
        "Your IP is 300.1.1.1<",           // a group above 255
        "Your IP is 1.2.3.4",              // no end character before the reply ends
        "Your IP is <",                    // nothing at all
        "Your IP: 1.2.3.4<",               // no marker
        "",                                // an empty reply
    };
    for (const std::string& reply : bad) {
        const cExtract result = extract(8, reply);
        EXPECT_EQ(result.code, slib::kPublicIPNoAddress) << reply;
        EXPECT_EQ(result.address, "") << reply;
    }
    // The chunk-size marker only fits an address of eleven characters.
    EXPECT_EQ(extract(6, "HTTP/1.1 200 OK\r\n\r\nc\r\n203.0.113.10\r\n0\r\n\r\n").code, slib::kPublicIPNoAddress);
}

TEST(PublicIPReply, ALineBreakClosingAReplyIsNoPartOfTheAddress)
{
    EXPECT_EQ(extract(2, std::string(kHeader) + "1.2.3.4\n").address, "1.2.3.4");
    EXPECT_EQ(extract(5, std::string(kHeader) + "1.2.3.123\r\n").address, "1.2.3.123");
    EXPECT_EQ(extract(2, std::string(kHeader) + "1.2.3.4\nmore").code, slib::kPublicIPNoAddress);
}

TEST(PublicIPReply, TheReplyEndsAtItsFirstNul)
{
    EXPECT_EQ(extract(9, std::string("junk\0Current IP Address: 1.2.3.4<", 33)).code, slib::kPublicIPNoAddress);
    EXPECT_EQ(extract(2, std::string(kHeader) + std::string("1.2.3.4\0garbage", 15)).address, "1.2.3.4");
}

TEST(PublicIPReply, AReplyThatFillsTheBufferIsReadOnlyWithinItsBytes)
{
    const std::string tail = "\r\n\r\n10.20.30.40";
    std::string full(slib::kPublicIPReplySize - tail.size(), 'x');
    EXPECT_EQ(extract(2, full + tail).address, "10.20.30.40");

    const std::string open = "Your IP is 10.20.30";  // no end character before the buffer ends
    std::string filled(slib::kPublicIPReplySize - open.size(), 'x');
    EXPECT_EQ(extract(8, filled + open).code, slib::kPublicIPNoAddress);
    // A marker cut by the end of the buffer is not found.
    EXPECT_EQ(extract(8, std::string(slib::kPublicIPReplySize - 5, 'x') + "Your ").code, slib::kPublicIPNoAddress);
}

// ---------------------------------------------------------------------------------------------
// One attempt against fake services on 127.0.0.1

TEST(PublicIPAttempt, SendsTheMinimalRequestAndReadsTheAddress)
{
    cFakeHTTPServer server(std::string(kHeader) + "192.0.2.44");
    ASSERT_TRUE(server.listening());
    char output[slib::kPublicIPOutputSize];
    EXPECT_EQ(slib::GetClientPublicIP(serviceLike(2, server.port()), output, quickLimits()), slib::kPublicIPFound);
    EXPECT_STREQ(output, "192.0.2.44");
    EXPECT_THAT(server.requests(), testing::ElementsAre("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
}

TEST(PublicIPAttempt, EveryFailureHasItsCode)
{
    char output[slib::kPublicIPOutputSize];
    const slib::cPublicIPLimits limits = quickLimits();

    cFakeHTTPServer malformed("<p>Your IP is 1.2.3.4.5</p>");
    EXPECT_EQ(slib::GetClientPublicIP(serviceLike(8, malformed.port()), output, limits), slib::kPublicIPNoAddress);
    EXPECT_STREQ(output, "");

    cFakeHTTPServer empty("");  // closes without a byte
    EXPECT_EQ(slib::GetClientPublicIP(serviceLike(2, empty.port()), output, limits), slib::kPublicIPNoAddress);

    cFakeHTTPServer silent("", false);
    ASSERT_TRUE(silent.listening());
    EXPECT_EQ(slib::GetClientPublicIP(serviceLike(9, silent.port()), output, limits), slib::kPublicIPNoReceive);
}

TEST(PublicIPAttempt, AClosedPortFailsElevenTimesWithAMessageEach)
{
    char output[slib::kPublicIPOutputSize];
    testing::internal::CaptureStdout();
    const int code = slib::GetClientPublicIP(serviceLike(2, nettest::closedPort()), output, quickLimits());
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(code, slib::kPublicIPNoConnect);
    std::string expected;
    for (int i = 0; i < slib::kPublicIPConnectTries; ++i)
        expected += "Error while connecting: Connection refused";
    EXPECT_EQ(printed, expected);
}

TEST(PublicIPAttemptDeathTest, ATraceIntoABrokenStandardOutputDoesNotEndTheServer)
{
    // The server's standard output may be a pipe or socket whose reader is gone. The default action of the
    // SIGPIPE that a write there raises would end the whole server.
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    const std::string port = nettest::closedPort();
    EXPECT_EXIT(
        {
            std::signal(SIGPIPE, SIG_DFL);
            int ends[2];
            if (pipe(ends) != 0 || dup2(ends[1], STDOUT_FILENO) < 0)
                std::_Exit(3);
            close(ends[0]);
            char output[slib::kPublicIPOutputSize];
            const int code = slib::GetClientPublicIP(serviceLike(2, port), output, quickLimits());
            std::_Exit(code == slib::kPublicIPNoConnect ? 0 : 4);
        },
        testing::ExitedWithCode(0), "");
}

TEST(PublicIPAttempt, AnUnresolvableNameGivesMinusThree)
{
    REQUIRE_ISOLATED_NETWORK();
    slib::cPublicIPService service = serviceLike(2, "80");
    service.host = "whatismyip.invalid";
    char output[slib::kPublicIPOutputSize] = "stale";
    EXPECT_EQ(slib::GetClientPublicIP(service, output, quickLimits()), slib::kPublicIPNoName);
    EXPECT_STREQ(output, "");
    // The real services by number: none of their names resolves in the isolated network.
    for (const slib::cPublicIPService& real : slib::PublicIPServices())
        EXPECT_EQ(slib::GetClientPublicIP(real.number, output), slib::kPublicIPNoName) << real.host;
    EXPECT_EQ(slib::GetClientPublicIP(3, output), slib::kPublicIPNoName);  // no such service
}

TEST(PublicIPAttempt, OnlyIPv4AddressesAreAsked)
{
    REQUIRE_TEST_RESOLVER();  // v6only.test has an IPv6 address only, in the test's hosts file
    slib::cPublicIPService service = serviceLike(2, "80");
    service.host = "v6only.test";
    char output[slib::kPublicIPOutputSize];
    EXPECT_EQ(slib::GetClientPublicIP(service, output, quickLimits()), slib::kPublicIPNoName);
}

TEST(PublicIPLookUp, TriesTheServicesInOrderUntilOneAnswers)
{
    cFakeHTTPServer silent("", false);
    cFakeHTTPServer malformed(std::string(kHeader) + "no address here");
    cFakeHTTPServer good("<html>Current IP Address: 198.51.100.23</html>");
    cFakeHTTPServer unused("<html>Current IP Address: 1.1.1.1</html>");
    const std::vector<slib::cPublicIPService> services = {
        serviceLike(2, silent.port()), serviceLike(5, malformed.port()),
        serviceLike(9, good.port()), serviceLike(9, unused.port())};
    std::string address;
    EXPECT_EQ(slib::FindClientPublicIP(services, address, quickLimits()), slib::kPublicIPFound);
    EXPECT_EQ(address, "198.51.100.23");
    EXPECT_EQ(malformed.requests().size(), 1u);
    EXPECT_TRUE(unused.requests().empty());
}

TEST(PublicIPLookUp, WhenAllFailTheLastCodeCountsAndTheWholeLookUpIsBounded)
{
    cFakeHTTPServer malformed("Your IP is 1.2<");
    cFakeHTTPServer silent("", false);
    std::string address;
    EXPECT_EQ(slib::FindClientPublicIP({serviceLike(8, malformed.port()), serviceLike(9, silent.port())}, address,
                                       quickLimits()),
              slib::kPublicIPNoReceive);
    EXPECT_EQ(address, "");

    // Five silent services with a total budget that covers two attempts: the look-up stops
    // starting attempts when the budget is spent instead of waiting on every service.
    std::vector<std::unique_ptr<cFakeHTTPServer>> servers;
    std::vector<slib::cPublicIPService> services;
    for (int i = 0; i < 5; ++i) {
        servers.push_back(std::make_unique<cFakeHTTPServer>("", false));
        services.push_back(serviceLike(2, servers.back()->port()));
    }
    slib::cPublicIPLimits limits = quickLimits();
    limits.totalBudget = 2 * limits.attemptBudget;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(slib::FindClientPublicIP(services, address, limits), slib::kPublicIPNoReceive);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4 * limits.totalBudget);  // guards against a hang
}

// ---------------------------------------------------------------------------------------------
// Several server threads at once (run this under ThreadSanitizer as well)

TEST(NetworkConcurrency, LookUpsFromEightThreadsDoNotDisturbEachOther)
{
    cFakeHTTPServer server("<p>Current IP Address: 203.0.113.200</p>");
    const slib::cPublicIPService service = serviceLike(9, server.port());
    const slib::cPublicIPLimits limits = quickLimits();
    constexpr int kThreads = 8;
    constexpr int kRounds = 20;
    std::vector<int> failures(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const std::string own = "10.0." + std::to_string(t) + ".1";
            for (int round = 0; round < kRounds; ++round) {
                failures[t] += slib::IPForName("localhost") != "127.0.0.1";
                failures[t] += slib::IPForName(own) != own;
                failures[t] += slib::NameForIP("127.1") != "localhost";
                failures[t] += slib::NameForIP("255.255.255.255") != slib::kInvalidIPAddress;
                if (round % 5 == 0) {
                    char output[slib::kPublicIPOutputSize];
                    failures[t] += slib::GetClientPublicIP(service, output, limits) != 0 ||
                                   std::string(output) != "203.0.113.200";
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(failures[t], 0) << "thread " << t;
}

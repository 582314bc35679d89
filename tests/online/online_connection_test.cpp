// The connection check's states, the echo reply test, and a real echo to 127.0.0.1 when allowed.
#include "online/CIcmpPing.h"
#include "online/ConnectionCheck.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
struct FakeNet {
    BOOL systemConnected = TRUE;
    std::vector<bool> answers; // per host, in probe order
    std::vector<CString> probed;

    CConnectionCheck Check()
    {
        std::vector<CString> hosts;
        for (std::size_t i = 0; i < answers.size(); ++i)
            hosts.push_back(CString(("10.0.0." + std::to_string(i + 1)).c_str()));
        return CConnectionCheck(
            [this](DWORD* pFlags) {
                *pFlags = systemConnected ? INTERNET_CONNECTION_LAN : 0;
                return systemConnected;
            },
            [this](const char* host) {
                probed.push_back(host);
                return answers[std::size_t(std::atoi(host + 7) - 1)] ? TRUE : FALSE;
            },
            hosts);
    }
};
} // namespace

TEST(ConnectionCheck, NoSystemConnectionSendsNoEcho)
{
    FakeNet net;
    net.systemConnected = FALSE;
    net.answers = {true};
    CConnectionCheck check = net.Check();
    EXPECT_FALSE(check.IsInternetConnected());
    EXPECT_TRUE(net.probed.empty());
    EXPECT_TRUE(check.lastProbeOk);
    EXPECT_FALSE(check.internetConnected);
}

TEST(ConnectionCheck, StopsAtTheFirstHostThatAnswers)
{
    FakeNet net;
    net.answers = {false, true, true, true, true, true};
    CConnectionCheck check = net.Check();
    EXPECT_TRUE(check.IsInternetConnected());
    EXPECT_EQ(net.probed, (std::vector<CString>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(check.internetFlags, INTERNET_CONNECTION_LAN);
    EXPECT_TRUE(check.internetConnected);
}

TEST(ConnectionCheck, SilentHostsTurnTheCheckOffUntilARecheck)
{
    FakeNet net;
    net.answers = {false, false, false, false, false, false};
    CConnectionCheck check = net.Check();
    EXPECT_FALSE(check.IsInternetConnected());
    EXPECT_EQ(net.probed.size(), 6u);
    EXPECT_FALSE(check.lastProbeOk);
    // Ordinary checks now answer at once, without an echo.
    EXPECT_FALSE(check.IsInternetConnected());
    EXPECT_EQ(net.probed.size(), 6u);
    // The re-check probes again.
    net.probed.clear();
    EXPECT_FALSE(check.Recheck());
    EXPECT_EQ(net.probed.size(), 6u);
}

TEST(IcmpEcho, ReplyMustCarryTheRequestsData)
{
    const auto reply = [](int size, BYTE type = 0, std::uint16_t id = 0x1234, std::uint16_t seq = 7) {
        std::vector<BYTE> m(8 + std::size_t(size), 'E');
        m[0] = type;
        m[1] = 0;
        m[4] = BYTE(id >> 8);
        m[5] = BYTE(id);
        m[6] = BYTE(seq >> 8);
        m[7] = BYTE(seq);
        return m;
    };
    auto ok = reply(32);
    EXPECT_TRUE(CIcmpPing::IsMatchingEchoReply(ok.data(), ok.size(), 0x1234, 7, 32, TRUE));
    auto shortReply = reply(31);
    EXPECT_FALSE(CIcmpPing::IsMatchingEchoReply(shortReply.data(), shortReply.size(), 0x1234, 7, 32, TRUE));
    auto altered = reply(32);
    altered[20] = 'F';
    EXPECT_FALSE(CIcmpPing::IsMatchingEchoReply(altered.data(), altered.size(), 0x1234, 7, 32, TRUE));
    auto request = reply(32, 8);
    EXPECT_FALSE(CIcmpPing::IsMatchingEchoReply(request.data(), request.size(), 0x1234, 7, 32, TRUE));
    auto otherSeq = reply(32, 0, 0x1234, 8);
    EXPECT_FALSE(CIcmpPing::IsMatchingEchoReply(otherSeq.data(), otherSeq.size(), 0x1234, 7, 32, TRUE));
    auto otherId = reply(32, 0, 0x9999);
    EXPECT_FALSE(CIcmpPing::IsMatchingEchoReply(otherId.data(), otherId.size(), 0x1234, 7, 32, TRUE));
    EXPECT_TRUE(CIcmpPing::IsMatchingEchoReply(otherId.data(), otherId.size(), 0x1234, 7, 32, FALSE));
    EXPECT_FALSE(CIcmpPing::IsMatchingEchoReply(ok.data(), 7, 0x1234, 7, 0, TRUE));
}

TEST(IcmpEcho, LoopbackAnswersWhenEchoesAreAllowed)
{
    if (!CIcmpPing::Initialise())
        GTEST_SKIP() << "no ICMP socket for this user";
    // Names go to a resolver of the test's own: a look-up by the system's would leave the machine.
    std::vector<std::string> looked;
    CIcmpPing::SetResolver([&](const char* host, DWORD& address) {
        looked.push_back(host);
        address = htonl(INADDR_LOOPBACK);
        return std::string(host) == "localhost";
    });
    struct Restore {
        ~Restore() { CIcmpPing::SetResolver(nullptr); }
    } restore;
    CIcmpPing::IcmpReply reply;
    ASSERT_TRUE(CIcmpPing::Ping("127.0.0.1", reply, PROBE_TTL, PROBE_TIMEOUT_MS, PROBE_SIZE));
    in_addr a{};
    a.s_addr = reply.address;
    EXPECT_STREQ(inet_ntoa(a), "127.0.0.1");
    EXPECT_LT(reply.roundTripMs, DWORD(PROBE_TIMEOUT_MS));
    EXPECT_TRUE(CIcmpPing::Ping("localhost", reply, PROBE_TTL, PROBE_TIMEOUT_MS, 0));
    EXPECT_FALSE(CIcmpPing::Ping("no.such.host.invalid", reply, PROBE_TTL, 100, PROBE_SIZE));
    EXPECT_FALSE(CIcmpPing::Ping("127.0.0.1", reply, PROBE_TTL, 100, 256));
    // Dotted addresses are not looked up.
    EXPECT_EQ(looked, (std::vector<std::string>{"localhost", "no.such.host.invalid"}));
}

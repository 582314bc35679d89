// The connection check's states, the echo reply test, a real echo to 127.0.0.1 when allowed, and the
// offline switch: which addresses it keeps the program from, and the echoes it stops.
#include "online/CIcmpPing.h"
#include "online/ConnectionCheck.h"
#include "platform/core/Offline.h"
#include "tests/support/OfflineScope.h"

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

TEST(OfflineSwitch, AddressesOfOtherMachines)
{
    // This machine: loopback hosts, files, paths and addresses without a host.
    for (const char* address :
         {"http://127.0.0.1:8080/redir.asp?LOC=info", "http://localhost/x", "HTTP://LocalHost:1/", "http://[::1]:80/",
          "http://user@127.9.9.9/", "https://[::ffff:127.0.0.1]/", "http:\\\\127.0.0.1\\page.htm", "file:///etc/hosts",
          "FILE://server/share", "/usr/share/vantrel/html/welcome.htm", "C:\\html\\welcome.htm", "about:blank",
          "data:text/html,x", "mzMASK:", "", "http:///nohost"})
        EXPECT_FALSE(AfxAddressLeavesMachine(address)) << address;
    // Other machines, names included: looking one up would already leave the machine.
    for (const char* address :
         {"http://www.quillmont.example/redir.asp?LOC=CHECKUPDATE&VER=FREE_QL19", "https://8.8.8.8/",
          "http://quillmont.localhost:1/", "ftp:\\\\ftp.example\\file", "mzMASK://www.quillmont.example/m.gif",
          "http://0.0.0.0:80/", "http://[2001:db8::1]/", "http://127.0.0.1@www.quillmont.example/",
          "http://localhost.example/"})
        EXPECT_TRUE(AfxAddressLeavesMachine(address)) << address;

    // The switch refuses only addresses of other machines, and only while it is on.
    {
        OfflineScope on(true);
        EXPECT_TRUE(AfxIsOffline());
        EXPECT_TRUE(AfxOfflineRefuses("http://www.quillmont.example/"));
        EXPECT_FALSE(AfxOfflineRefuses("http://127.0.0.1:1/"));
        EXPECT_FALSE(AfxOfflineRefuses("file:///tmp/x.htm"));
        // The system counts as not connected, so the connection check sends nothing.
        DWORD flags = 0xFF;
        EXPECT_FALSE(InternetGetConnectedState(&flags, 0));
        EXPECT_EQ(flags, 0u);
    }
    {
        OfflineScope off(false);
        EXPECT_FALSE(AfxIsOffline());
        EXPECT_FALSE(AfxOfflineRefuses("http://www.quillmont.example/"));
    }
    setenv("VANTREL_OFFLINE", "", 1);
    EXPECT_FALSE(AfxIsOffline()) << "an empty value leaves the switch off";
    setenv("VANTREL_OFFLINE", "1", 1);
}

TEST(OfflineSwitch, EchoesGoToThisMachineOnly)
{
    OfflineScope on(true);
    // A name the test's resolver places elsewhere: offline, no echo goes there. (0.0.0.0 is not a
    // loopback address, though Linux would deliver it here: nothing leaves even if the gate failed,
    // and the loopback check of the online label would see the send.)
    std::vector<std::string> looked;
    CIcmpPing::SetResolver([&](const char* host, DWORD& address) {
        looked.push_back(host);
        address = htonl(INADDR_ANY);
        return true;
    });
    CIcmpPing::IcmpReply reply;
    EXPECT_FALSE(CIcmpPing::Ping("elsewhere.test", reply, PROBE_TTL, 100, PROBE_SIZE));
    EXPECT_EQ(looked, std::vector<std::string>{"elsewhere.test"});
    EXPECT_FALSE(CIcmpPing::Ping("0.0.0.0", reply, PROBE_TTL, 100, PROBE_SIZE));
    // The system's resolver is not asked offline (the query would leave the machine) but for
    // "localhost", which stays reachable.
    CIcmpPing::SetResolver(nullptr);
    EXPECT_FALSE(CIcmpPing::Ping("www.quillmont.example", reply, PROBE_TTL, 100, PROBE_SIZE));
    if (CIcmpPing::Initialise())
        EXPECT_TRUE(CIcmpPing::Ping("localhost", reply, PROBE_TTL, PROBE_TIMEOUT_MS, PROBE_SIZE));
}

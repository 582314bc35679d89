#include "online/ConnectionCheck.h"

#include "online/CIcmpPing.h"
#include "platform/core/Offline.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>

const char* const PROBE_HOSTS[6] = {"8.8.8.8", "1.1.1.1", "9.9.9.9", "208.67.222.222", "8.8.4.4", "1.0.0.1"};

BOOL InternetGetConnectedState(DWORD* pFlags, DWORD)
{
    if (pFlags)
        *pFlags = 0;
    // Offline, the system counts as not connected and nothing is probed.
    if (AfxIsOffline())
        return FALSE;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return FALSE;
    BOOL connected = FALSE;
    for (ifaddrs* a = list; a && !connected; a = a->ifa_next) {
        if (!a->ifa_addr || (a->ifa_flags & IFF_LOOPBACK) || !(a->ifa_flags & IFF_UP) || !(a->ifa_flags & IFF_RUNNING))
            continue;
        if (a->ifa_addr->sa_family == AF_INET || a->ifa_addr->sa_family == AF_INET6)
            connected = TRUE;
    }
    ::freeifaddrs(list);
    if (connected && pFlags)
        *pFlags = INTERNET_CONNECTION_LAN;
    return connected;
}

CConnectionCheck::CConnectionCheck()
    : CConnectionCheck([](DWORD* pFlags) { return InternetGetConnectedState(pFlags, 0); },
                       [](const char* host) {
                           CIcmpPing::IcmpReply reply;
                           return CIcmpPing::Ping(host, reply, PROBE_TTL, PROBE_TIMEOUT_MS, PROBE_SIZE);
                       },
                       std::vector<CString>(std::begin(PROBE_HOSTS), std::end(PROBE_HOSTS)))
{
}

CConnectionCheck::CConnectionCheck(StateQuery state, Prober prober, std::vector<CString> hosts)
    : m_state(std::move(state)), m_prober(std::move(prober)), m_hosts(std::move(hosts))
{
}

BOOL CConnectionCheck::IsInternetConnected()
{
    BOOL connected = m_state ? m_state(&internetFlags) : FALSE;
    if (!lastProbeOk)
        connected = FALSE;
    if (connected) {
        lastProbeOk = TRUE;
        BOOL answered = FALSE;
        for (const CString& host : m_hosts)
            if (m_prober && m_prober(host)) {
                answered = TRUE;
                break;
            }
        if (!answered) {
            connected = FALSE;
            lastProbeOk = FALSE;
        }
    }
    internetConnected = connected;
    return connected;
}

BOOL CConnectionCheck::Recheck()
{
    lastProbeOk = TRUE;
    return IsInternetConnected();
}

CConnectionCheck& AfxGetConnectionCheck()
{
    static CConnectionCheck check;
    return check;
}

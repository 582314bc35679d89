#pragma once
// Whether the internet is reachable: the system's connection state, then an ICMP echo to a fixed list
// of public hosts. Once no host answered, ordinary checks report no connection without probing until
// a re-check (after the user confirmed the connection prompt) probes again.
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <functional>
#include <vector>

constexpr DWORD INTERNET_CONNECTION_LAN = 0x02;

// The probe hosts in order, and the parameters of each echo.
extern const char* const PROBE_HOSTS[6];
inline constexpr int PROBE_TTL = 30;
inline constexpr int PROBE_TIMEOUT_MS = 500;
inline constexpr int PROBE_SIZE = 32;

// The system's connection state: TRUE when an interface other than loopback is up with an address;
// the description flags go to *pFlags.
BOOL InternetGetConnectedState(DWORD* pFlags, DWORD dwReserved);

class CConnectionCheck {
public:
    using StateQuery = std::function<BOOL(DWORD* pFlags)>;
    using Prober = std::function<BOOL(const char* host)>;

    // Over the system's state and CIcmpPing, probing PROBE_HOSTS.
    CConnectionCheck();
    CConnectionCheck(StateQuery state, Prober prober, std::vector<CString> hosts);

    // The check; stores its result in internetConnected.
    BOOL IsInternetConnected();
    // The check after the connection prompt: probes again when the system reports a connection.
    BOOL Recheck();

    BOOL lastProbeOk = TRUE;
    BOOL internetConnected = FALSE;
    DWORD internetFlags = 0;

private:
    StateQuery m_state;
    Prober m_prober;
    std::vector<CString> m_hosts;
};

// The process's check, which the application object's IsInternetConnected uses.
CConnectionCheck& AfxGetConnectionCheck();

#pragma once
// ICMP echo: one request to an IPv4 host and the wait for its reply. Uses an unprivileged ICMP
// datagram socket where the system allows one, else a raw socket (which needs root); with neither,
// every ping fails.
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class CIcmpPing {
public:
    struct IcmpReply {
        DWORD address = 0;       // replying IPv4 address, network byte order
        DWORD roundTripMs = 0;
    };

    // How a host name that is not a dotted address becomes an IPv4 address (network byte order);
    // false when it has none. By default the system's resolver answers; tests give their own, so
    // that no look-up leaves the machine.
    using Resolver = std::function<bool(const char* host, DWORD& address)>;
    // Replaces the resolver; an empty one restores the system's.
    static void SetResolver(Resolver resolver);

    // The kind of socket echoes go through.
    enum class SocketKind { None, Datagram, Raw };

    // The first call finds a usable ICMP socket kind; later calls only report. TRUE when there is one.
    static BOOL Initialise();
    static SocketKind GetSocketKind();

    // Sends size bytes of 'E' (0 to 255) to host (a dotted IPv4 address or a name) with time to live ttl
    // and waits up to timeoutMs for the reply. TRUE when exactly that reply came back in time.
    // Offline, only loopback addresses are pinged and the system resolver answers "localhost" alone.
    static BOOL Ping(const char* host, IcmpReply& reply, int ttl, int timeoutMs, int size);

    // Whether an ICMP message (from its type byte on) is the echo reply to request id/sequence carrying
    // exactly size bytes of 'E'. With bCheckId FALSE the identifier is not compared (the system
    // rewrites it for datagram sockets).
    static BOOL IsMatchingEchoReply(const BYTE* message, std::size_t length, std::uint16_t id, std::uint16_t sequence,
                                    int size, BOOL bCheckId);
};

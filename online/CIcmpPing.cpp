#include "online/CIcmpPing.h"

#include "platform/core/Offline.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/ip_icmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
constexpr BYTE kEchoByte = 'E';
bool g_bAttempted = false;
CIcmpPing::SocketKind g_kind = CIcmpPing::SocketKind::None;
std::uint16_t g_sequence = 0;

int OpenSocket(CIcmpPing::SocketKind kind)
{
    const int type = kind == CIcmpPing::SocketKind::Raw ? SOCK_RAW : SOCK_DGRAM;
    return ::socket(AF_INET, type | SOCK_CLOEXEC, IPPROTO_ICMP);
}

std::uint16_t Checksum(const BYTE* data, std::size_t length)
{
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < length; i += 2)
        sum += std::uint32_t(data[i] << 8 | data[i + 1]);
    if (length & 1)
        sum += std::uint32_t(data[length - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return std::uint16_t(~sum);
}

CIcmpPing::Resolver& TheResolver()
{
    static CIcmpPing::Resolver resolver;
    return resolver;
}

bool ResolveIPv4(const char* host, in_addr& address)
{
    if (::inet_pton(AF_INET, host, &address) == 1)
        return true;
    if (const CIcmpPing::Resolver& resolver = TheResolver()) {
        DWORD a = 0;
        if (!resolver(host, a))
            return false;
        address.s_addr = a;
        return true;
    }
    // Offline, no name is looked up (the query would leave the machine) but the loopback's own.
    if (AfxIsOffline())
        return AfxIsLoopbackHost(host) && ::inet_pton(AF_INET, "127.0.0.1", &address) == 1;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* result = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &result) != 0 || !result)
        return false;
    address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr;
    ::freeaddrinfo(result);
    return true;
}
} // namespace

void CIcmpPing::SetResolver(Resolver resolver) { TheResolver() = std::move(resolver); }

BOOL CIcmpPing::Initialise()
{
    if (!g_bAttempted) {
        g_bAttempted = true;
        for (SocketKind kind : {SocketKind::Datagram, SocketKind::Raw}) {
            const int fd = OpenSocket(kind);
            if (fd >= 0) {
                ::close(fd);
                g_kind = kind;
                break;
            }
        }
    }
    return g_kind != SocketKind::None;
}

CIcmpPing::SocketKind CIcmpPing::GetSocketKind()
{
    Initialise();
    return g_kind;
}

BOOL CIcmpPing::IsMatchingEchoReply(const BYTE* message, std::size_t length, std::uint16_t id,
                                    std::uint16_t sequence, int size, BOOL bCheckId)
{
    if (length < 8 || message[0] != ICMP_ECHOREPLY || message[1] != 0)
        return FALSE;
    if (bCheckId && (message[4] << 8 | message[5]) != id)
        return FALSE;
    if ((message[6] << 8 | message[7]) != sequence)
        return FALSE;
    if (length - 8 != std::size_t(size))
        return FALSE;
    for (std::size_t i = 8; i < length; ++i)
        if (message[i] != kEchoByte)
            return FALSE;
    return TRUE;
}

BOOL CIcmpPing::Ping(const char* host, IcmpReply& reply, int ttl, int timeoutMs, int size)
{
    if (!Initialise() || !host || size < 0 || size > 255)
        return FALSE;
    in_addr address{};
    if (!ResolveIPv4(host, address))
        return FALSE;
    // Offline, echoes go to this machine only.
    if (AfxIsOffline() && (ntohl(address.s_addr) >> 24) != 127)
        return FALSE;
    const int fd = OpenSocket(g_kind);
    if (fd < 0)
        return FALSE;
    ::setsockopt(fd, IPPROTO_IP, IP_TTL, &ttl, sizeof(ttl));

    const std::uint16_t id = std::uint16_t(::getpid());
    const std::uint16_t sequence = ++g_sequence;
    std::vector<BYTE> request(8 + std::size_t(size), kEchoByte);
    request[0] = ICMP_ECHO;
    request[1] = 0;
    request[2] = request[3] = 0;
    request[4] = BYTE(id >> 8);
    request[5] = BYTE(id);
    request[6] = BYTE(sequence >> 8);
    request[7] = BYTE(sequence);
    const std::uint16_t sum = Checksum(request.data(), request.size());
    request[2] = BYTE(sum >> 8);
    request[3] = BYTE(sum);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = address;
    const auto start = std::chrono::steady_clock::now();
    BOOL ok = FALSE;
    if (::sendto(fd, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)) ==
        ssize_t(request.size())) {
        const auto deadline = start + std::chrono::milliseconds(timeoutMs);
        BYTE buffer[1024];
        while (!ok) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                break;
            pollfd pfd{fd, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, int(left.count()));
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                break;
            sockaddr_in from{};
            socklen_t fromLength = sizeof(from);
            const ssize_t n =
                ::recvfrom(fd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n <= 0 || from.sin_addr.s_addr != address.s_addr)
                continue;
            const BYTE* message = buffer;
            std::size_t length = std::size_t(n);
            if (g_kind == SocketKind::Raw) {
                // A raw socket hands over the IP header too.
                const std::size_t headerLength = std::size_t(buffer[0] & 0x0F) * 4;
                if (headerLength < 20 || headerLength > length)
                    continue;
                message += headerLength;
                length -= headerLength;
            }
            if (IsMatchingEchoReply(message, length, id, sequence, size, g_kind == SocketKind::Raw)) {
                reply.address = from.sin_addr.s_addr;
                reply.roundTripMs = DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now() - start)
                                              .count());
                ok = TRUE;
            }
        }
    }
    ::close(fd);
    return ok;
}

#include "platform/core/Offline.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace {
std::string Lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
} // namespace

BOOL AfxIsOffline()
{
    const char* offline = std::getenv("VANTREL_OFFLINE");
    return offline && *offline ? TRUE : FALSE;
}

BOOL AfxIsLoopbackHost(const char* lpszHost)
{
    std::string host = Lower(lpszHost ? lpszHost : "");
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (host == "localhost")
        return TRUE;
    in_addr v4{};
    if (::inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127 ? TRUE : FALSE;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, host.c_str(), &v6) == 1) {
        if (IN6_IS_ADDR_LOOPBACK(&v6))
            return TRUE;
        return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127 ? TRUE : FALSE;
    }
    return FALSE;
}

BOOL AfxAddressLeavesMachine(const char* lpszAddress)
{
    const std::string address = lpszAddress ? lpszAddress : "";
    // A scheme is a letter and at least one more scheme character before the colon; a single letter
    // is a drive, and anything without a scheme is a path.
    std::size_t colon = 0;
    while (colon < address.size() &&
           (std::isalnum(static_cast<unsigned char>(address[colon])) || address[colon] == '+' ||
            address[colon] == '.' || address[colon] == '-'))
        ++colon;
    if (colon < 2 || colon >= address.size() || address[colon] != ':' ||
        !std::isalpha(static_cast<unsigned char>(address[0])))
        return FALSE;
    if (Lower(address.substr(0, colon)) == "file")
        return FALSE;
    std::size_t at = colon + 1;
    if (at + 1 >= address.size() || !IsSeparator(address[at]) || !IsSeparator(address[at + 1]))
        return FALSE;
    at += 2;
    std::size_t end = at;
    while (end < address.size() && !IsSeparator(address[end]) && address[end] != '?' && address[end] != '#')
        ++end;
    std::string authority = address.substr(at, end - at);
    if (const std::size_t user = authority.rfind('@'); user != std::string::npos)
        authority = authority.substr(user + 1);
    std::string host = authority;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        host = close == std::string::npos ? authority : authority.substr(0, close + 1);
    } else if (const std::size_t port = authority.find(':'); port != std::string::npos) {
        host = authority.substr(0, port);
    }
    // No host: nothing to reach ("http:///x" fails before it connects anywhere).
    if (host.empty())
        return FALSE;
    return AfxIsLoopbackHost(host.c_str()) ? FALSE : TRUE;
}

BOOL AfxOfflineRefuses(const char* lpszAddress)
{
    return AfxIsOffline() && AfxAddressLeavesMachine(lpszAddress) ? TRUE : FALSE;
}

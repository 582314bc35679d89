#include "online/WebLinkScheme.h"

#include "online/CWebGrab.h"

#include <cstring>

const char* const USER_AGENT = "QUILLMONT-FREE_QL19";
const char* const NAVIGATION_HEADERS = "User-Agent:QUILLMONT-FREE_QL19\r";

namespace {
CString& RedirectServer()
{
    static CString server = kMainServer;
    return server;
}
} // namespace

CString GetRedirectServer() { return RedirectServer(); }

CString SetRedirectServer(const char* lpszServer)
{
    CString previous = RedirectServer();
    RedirectServer() = lpszServer && *lpszServer ? lpszServer : kMainServer;
    return previous;
}

CString RedirectAddressFor(const char* lpszLocationCode)
{
    CString address = RedirectServer() + "/redir.asp?LOC=" + lpszLocationCode;
    if (std::strcmp(lpszLocationCode, "info") != 0)
        address += CString("&VER=") + kVersionCode;
    return address;
}

BOOL IsNewerVersionAnswer(const CString& answer)
{
    const std::string code = kVersionCode;
    return answer.str() != code.substr(0, answer.str().size());
}

BOOL ProbeNewerVersion(CWebGrab& grab)
{
    CString answer;
    if (!grab.GetPage(RedirectAddressFor("latestversionfree"), answer, USER_AGENT))
        return FALSE;
    return IsNewerVersionAnswer(answer);
}

CString OfflineNotice(const char* lpszAddress)
{
    return CString("Quillmont is working offline (VANTREL_OFFLINE is set).\nThis page is not opened:\n") + lpszAddress;
}

CString NoBrowserNotice(const char* lpszAddress)
{
    return CString("No web browser could be started to open this page:\n") + lpszAddress;
}

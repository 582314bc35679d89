#include "online/CWebGrab.h"

#include "platform/core/Offline.h"

#include <curl/curl.h>

#include <chrono>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

WebGrabLimits& WebGrabDefaultLimits()
{
    static WebGrabLimits limits;
    return limits;
}

namespace {
void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}
} // namespace

// ---- Session ------------------------------------------------------------------------------------------

CWebGrabSession::CWebGrabSession(const char* lpszAgent) : m_strAgent(lpszAgent ? lpszAgent : "")
{
    GlobalInit();
    m_pCurl = curl_easy_init();
    if (m_pCurl)
        OnStatusCallback(1, INTERNET_STATUS_HANDLE_CREATED, nullptr, 0);
}

CWebGrabSession::~CWebGrabSession()
{
    if (m_pCurl)
        curl_easy_cleanup(static_cast<CURL*>(m_pCurl));
}

void CWebGrabSession::SetStatus(const char* lpszFormat, ...)
{
    char buffer[MAX_STATUS_LENGTH + 1];
    va_list args;
    va_start(args, lpszFormat);
    std::vsnprintf(buffer, sizeof(buffer), lpszFormat, args);
    va_end(args);
    statusText = buffer;
    if (statusWindow)
        statusWindow(statusText);
}

void CWebGrabSession::OnStatusCallback(std::uintptr_t, DWORD dwInternetStatus, const void* lpvStatusInformation,
                                       DWORD dwStatusInformationLength)
{
    const auto info = [&] {
        return lpvStatusInformation
                   ? CString(static_cast<const char*>(lpvStatusInformation), int(dwStatusInformationLength))
                   : CString();
    };
    switch (dwInternetStatus) {
    case INTERNET_STATUS_RESOLVING_NAME: SetStatus("Resolving name for %s", info().GetString()); break;
    case INTERNET_STATUS_NAME_RESOLVED: SetStatus("Resolved name for %s", info().GetString()); break;
    case INTERNET_STATUS_CONNECTING_TO_SERVER: SetStatus("Connecting to socket address "); break;
    case INTERNET_STATUS_CONNECTED_TO_SERVER: SetStatus("Connected to socket address"); break;
    case INTERNET_STATUS_SENDING_REQUEST: SetStatus("Sending request..."); break;
    case INTERNET_STATUS_REQUEST_SENT: SetStatus("Request sent"); break;
    case INTERNET_STATUS_RECEIVING_RESPONSE: break;
    case INTERNET_STATUS_RESPONSE_RECEIVED: SetStatus("Response received"); break;
    case INTERNET_STATUS_CLOSING_CONNECTION: SetStatus("Closing the connection to the server"); break;
    case INTERNET_STATUS_CONNECTION_CLOSED: SetStatus("Connection to the server closed"); break;
    case INTERNET_STATUS_HANDLE_CREATED: SetStatus("%s", ""); break;
    case INTERNET_STATUS_HANDLE_CLOSING: break;
    case INTERNET_STATUS_REQUEST_COMPLETE:
        if (lpvStatusInformation && dwStatusInformationLength == 8) {
            const auto* words = static_cast<const std::uint32_t*>(lpvStatusInformation);
            SetStatus("Request complete, dwResult = %8.8X, dwError = %8.8X", words[0], words[1]);
        } else {
            SetStatus("Request complete");
        }
        break;
    default: SetStatus("Unknown status: %d", int(dwInternetStatus)); break;
    }
}

// ---- Fetch ----------------------------------------------------------------------------------------------

namespace {
struct Transfer {
    CWebGrabSession* session;
    std::string* body;
    std::string headers;
    std::size_t maxBytes;
    std::time_t start;
    bool tooLarge = false;
    bool gotResponse = false;
};

// Appends in pieces of at most READ_CHUNK bytes, with a progress text after each.
size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (n > t.maxBytes - std::min(t.maxBytes, t.body->size())) {
        t.tooLarge = true;
        return 0;
    }
    for (size_t done = 0; done < n;) {
        const size_t piece = std::min<size_t>(n - done, CWebGrab::READ_CHUNK);
        t.body->append(data + done, piece);
        done += piece;
        const double elapsed = double(std::time(nullptr) - t.start);
        const int total = int(std::min<size_t>(t.body->size(), 0x7FFFFFFF));
        if (elapsed > 0)
            t.session->SetStatus("Read %d bytes (%0.1f Kb/s)", total, double(total) / 1024.0 / elapsed);
        else
            t.session->SetStatus("Read %d bytes", total);
    }
    return n;
}

// Keeps the header lines of the last response only (a redirect starts a new one).
size_t WriteHeader(char* data, size_t size, size_t count, void* user)
{
    auto& t = *static_cast<Transfer*>(user);
    const size_t n = size * count;
    std::string line(data, n);
    if (line.rfind("HTTP/", 0) == 0) {
        t.headers.clear();
        if (!t.gotResponse)
            t.session->OnStatusCallback(1, INTERNET_STATUS_RESPONSE_RECEIVED, nullptr, 0);
        t.gotResponse = true;
    }
    t.headers += line;
    return n;
}
} // namespace

CWebGrab::~CWebGrab() { Close(); }

void CWebGrab::Close()
{
    delete session;
    session = nullptr;
}

BOOL CWebGrab::Initialize(const char* lpszAgent, const WebGrabStatusSink& statusWindow)
{
    Close();
    statusCode = 0;
    auto* pSession = new CWebGrabSession(lpszAgent);
    if (!pSession->IsOpen()) {
        delete pSession;
        return FALSE;
    }
    session = pSession;
    if (statusWindow)
        session->SetStatusWindow(statusWindow);
    return TRUE;
}

BOOL CWebGrab::GetPage(const char* lpszAddress, CString& content, const char* lpszAgent,
                       const WebGrabStatusSink& statusWindow)
{
    rawHeaders.Empty();
    statusCode = 0;
    content.Empty();
    if (!session && !Initialize(lpszAgent, statusWindow))
        return FALSE;
    if (statusWindow)
        session->SetStatusWindow(statusWindow);

    CURL* curl = static_cast<CURL*>(session->GetHandle());
    curl_easy_reset(curl);
    std::string body;
    Transfer t{session, &body, {}, limits.maxBytes, std::time(nullptr)};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_USERAGENT, session->GetAgent().GetString());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, WriteHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    // Offline, requests go straight to this machine, never through a proxy of the environment.
    if (AfxIsOffline())
        curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");

    const CString host = [&] {
        CString h = lpszAddress;
        const int scheme = h.Find("://");
        h = scheme >= 0 ? h.Mid(scheme + 3) : h;
        const int end = h.Find('/');
        return end >= 0 ? h.Left(end) : h;
    }();
    session->OnStatusCallback(1, INTERNET_STATUS_RESOLVING_NAME, host.GetString(), DWORD(host.GetLength()));

    // Redirects are followed here, one at a time, so that each address passes the offline switch
    // before anything is sent to it; the time limit holds for the whole chain.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.timeoutMs);
    std::string address = lpszAddress ? lpszAddress : "";
    CURLcode rc = CURLE_OK;
    CString refusal;
    for (long redirects = 0;; ++redirects) {
        if (AfxOfflineRefuses(address.c_str())) {
            refusal = "Not sent while working offline (VANTREL_OFFLINE is set)";
            break;
        }
        const long left = long(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   deadline - std::chrono::steady_clock::now())
                                   .count());
        if (left <= 0) {
            rc = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        body.clear();
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, left);
        rc = curl_easy_perform(curl);
        long code = 0;
        char* next = nullptr;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &next);
        if (rc != CURLE_OK || code < 300 || code > 399 || !next)
            break;
        if (redirects == limits.maxRedirects) {
            rc = CURLE_TOO_MANY_REDIRECTS;
            break;
        }
        // Only http and https addresses are fetched, so a redirect elsewhere fails when it is opened.
        address = next;
    }
    content = CString(body);
    if (!refusal.IsEmpty()) {
        content.Empty();
        session->SetStatus("%s", refusal.GetString());
        return FALSE;
    }
    if (rc != CURLE_OK) {
        CString message = t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED ? CString("The file is larger than allowed")
                          : errorBuffer[0]                           ? CString(errorBuffer)
                                                                     : CString(curl_easy_strerror(rc));
        message = message.Left(255);
        session->SetStatus("%s", message.GetString());
        // Failures once the response had begun are read failures.
        if (t.gotResponse)
            errorMessage = message;
        return FALSE;
    }
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    statusCode = UINT(code);
    rawHeaders = CString(t.headers);
    session->SetStatus("%s", "");
    return TRUE;
}

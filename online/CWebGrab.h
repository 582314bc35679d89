#pragma once
// Whole-resource HTTP GET into memory, over libcurl's synchronous interface. CWebGrabSession is the
// internet session with its status texts; CWebGrab keeps one session from its first fetch on.
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

// WinInet's status codes, as the session's status callback receives them.
constexpr DWORD INTERNET_STATUS_RESOLVING_NAME = 10;
constexpr DWORD INTERNET_STATUS_NAME_RESOLVED = 11;
constexpr DWORD INTERNET_STATUS_CONNECTING_TO_SERVER = 20;
constexpr DWORD INTERNET_STATUS_CONNECTED_TO_SERVER = 21;
constexpr DWORD INTERNET_STATUS_SENDING_REQUEST = 30;
constexpr DWORD INTERNET_STATUS_REQUEST_SENT = 31;
constexpr DWORD INTERNET_STATUS_RECEIVING_RESPONSE = 40;
constexpr DWORD INTERNET_STATUS_RESPONSE_RECEIVED = 41;
constexpr DWORD INTERNET_STATUS_CLOSING_CONNECTION = 50;
constexpr DWORD INTERNET_STATUS_CONNECTION_CLOSED = 51;
constexpr DWORD INTERNET_STATUS_HANDLE_CREATED = 60;
constexpr DWORD INTERNET_STATUS_HANDLE_CLOSING = 70;
constexpr DWORD INTERNET_STATUS_REQUEST_COMPLETE = 100;

// Where a session shows its status texts (a window's text, say). The program never gives one.
using WebGrabStatusSink = std::function<void(const CString& text)>;

// Bounds on every fetch: a fetch that would exceed them fails.
struct WebGrabLimits {
    std::size_t maxBytes = 64u << 20; // response body
    long timeoutMs = 120000;          // the whole transfer
    long connectTimeoutMs = 15000;
    long maxRedirects = 10;           // followed to http and https addresses only
};
// The limits new fetches use; tests narrow them.
WebGrabLimits& WebGrabDefaultLimits();

class CWebGrabSession {
public:
    static constexpr int MAX_STATUS_LENGTH = 511;

    explicit CWebGrabSession(const char* lpszAgent);
    virtual ~CWebGrabSession();
    CWebGrabSession(const CWebGrabSession&) = delete;
    CWebGrabSession& operator=(const CWebGrabSession&) = delete;

    // FALSE when the session could not be made (no transfer handle).
    BOOL IsOpen() const { return m_pCurl != nullptr; }
    void* GetHandle() const { return m_pCurl; }
    const CString& GetAgent() const { return m_strAgent; }

    // Turns a status code and its information into the status text.
    virtual void OnStatusCallback(std::uintptr_t dwContext, DWORD dwInternetStatus, const void* lpvStatusInformation,
                                  DWORD dwStatusInformationLength);
    // printf-style; stores the text (cut to MAX_STATUS_LENGTH) and shows it through the sink.
    void SetStatus(const char* lpszFormat, ...) __attribute__((format(printf, 2, 3)));
    void SetStatusWindow(WebGrabStatusSink sink) { statusWindow = std::move(sink); }

    WebGrabStatusSink statusWindow;
    CString statusText;

private:
    void* m_pCurl = nullptr;
    CString m_strAgent;
};

class CWebGrab : public CObject {
public:
    static constexpr int READ_CHUNK = 4095;

    CWebGrab() = default;
    ~CWebGrab() override;
    CWebGrab(const CWebGrab&) = delete;
    CWebGrab& operator=(const CWebGrab&) = delete;

    // Fetches the whole resource at address into content (the exact bytes received). TRUE when the
    // transfer completed, whatever the HTTP status, which statusCode then holds; FALSE when it could
    // not be opened, failed while reading, or broke the limits.
    BOOL GetPage(const char* lpszAddress, CString& content, const char* lpszAgent,
                 const WebGrabStatusSink& statusWindow = {});
    // Closes any session and makes a new one; TRUE when a session exists afterwards.
    BOOL Initialize(const char* lpszAgent, const WebGrabStatusSink& statusWindow = {});
    void Close();

    // The session's last status text (empty after a successful fetch).
    CString GetStatusText() const { return session ? session->statusText : CString(); }

    CWebGrabSession* session = nullptr;
    UINT statusCode = 0;
    CString errorMessage;
    CString rawHeaders;
    WebGrabLimits limits = WebGrabDefaultLimits();
};

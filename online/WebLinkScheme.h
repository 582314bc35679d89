#pragma once
// The forms of the maker's web addresses, the user agent and the header of pane navigations, and the
// version probe. The server is a setting of this build (online/WebLinks.h); paths and keys are fixed.
#include "online/WebLinks.h"
#include "platform/core/CString.h"

class CWebGrab;

// "QUILLMONT-FREE_QL19": the agent of every fetch.
extern const char* const USER_AGENT;
// "User-Agent:QUILLMONT-FREE_QL19\r": given with every navigation of the information pane.
extern const char* const NAVIGATION_HEADERS;

// The server of the redirect script ("http://host[:port]"); kMainServer unless replaced.
CString GetRedirectServer();
// Replaces the server (an empty text restores kMainServer); returns the previous one.
CString SetRedirectServer(const char* lpszServer);

// The redirect script's address for a location code, with "&VER=" and the edition code for every
// code but "info".
CString RedirectAddressFor(const char* lpszLocationCode);

// Whether a probe answer names a newer version: any answer other than the edition code or a leading
// part of it (the empty answer included).
BOOL IsNewerVersionAnswer(const CString& answer);

// Asks the redirect script for the latest version code. A failed fetch counts as not newer; the
// HTTP status is not consulted.
BOOL ProbeNewerVersion(CWebGrab& grab);

// What a link that is not followed shows: the program works offline, or no web browser could open it.
CString OfflineNotice(const char* lpszAddress);
CString NoBrowserNotice(const char* lpszAddress);

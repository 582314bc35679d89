#pragma once
// Downloading a resource to a file: the connection prompt, address canonicalisation, the fetch, and a
// file that appears only when the whole download succeeded.
#include "platform/core/CString.h"

#include <functional>

class CWebGrab;

inline constexpr int MAX_CANONICAL_ADDRESS = 699;
inline constexpr const char* kNoConnectionPrompt =
    "No Internet Connection while getting file; Quillmont requires access to the internet, please connect and "
    "press OK to continue.  You may need to dial your ISP such as AOL, Erols, etc.";

// Encodes each blank as %20 and leaves every other character as it is. FALSE when the result would be
// longer than MAX_CANONICAL_ADDRESS characters.
BOOL CanonicalizeAddress(const char* lpszAddress, CString& canonical);

// The file-name part of a name or address (after its last '/' or '\\'). FALSE when that part is
// empty, "." or "..": such a name must not name a file.
BOOL ReduceToBaseName(const char* lpszName, CString& baseName);

// What the download asks of the application object.
struct DownloadConnection {
    std::function<BOOL()> isConnected; // the ordinary connection check
    std::function<BOOL()> recheck;      // the check after the user confirmed the prompt
};

// Downloads address into destination ("TEMP": a new file in the temporary folder whose name begins
// with prefix; else the path to create or replace). While there is no connection the user is asked to
// connect (OK checks again, Cancel gives up). The bytes go to a temporary file beside the destination,
// which is renamed into place only when the fetch completed with an HTTP status of 2xx and every byte
// was written. TRUE with the written file's path in path; FALSE with path = destination as given and
// no file left behind.
BOOL DownloadToFile(const char* lpszAddress, const char* lpszPrefix, const char* lpszDestination,
                    const DownloadConnection& connection, CString& path);

// The user's temporary folder, ending with a separator ($TMPDIR, else /tmp/).
CString TemporaryFolder();

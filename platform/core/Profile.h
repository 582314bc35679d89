#pragma once
// The application's profile: the per-user settings that the program keeps under its registry key
// and application name, one section per group. Stored as an INI file in the user's configuration
// folder, $XDG_CONFIG_HOME/<registry key>/<application name>.ini (~/.config when the variable is
// unset), one INI group per section. Values keep their kind: integers as integers, strings as
// strings (their 8-bit characters kept exactly), binaries as byte arrays. The application object
// forwards its profile functions to AfxGetProfile(). No Qt in this header.
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CProfile {
public:
    CProfile() = default;

    // The key under which the application's folder lives ("Quillmont").
    void SetRegistryKey(const char* lpszRegistryKey) { m_strRegistryKey = lpszRegistryKey; }
    // The application name, which names the settings file ("FREEQuillmont").
    void SetAppName(const char* lpszAppName) { m_strAppName = lpszAppName; }
    const CString& GetRegistryKey() const { return m_strRegistryKey; }
    const CString& GetAppName() const { return m_strAppName; }

    // The settings file for the current key, name and environment.
    CString GetProfilePath() const;

    // The integer stored, nDefault when the entry is missing or holds no integer (a string that is
    // not wholly a decimal number, or a binary). Negative values come back as their 32-bit pattern.
    UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault) const;
    // The string stored (an integer entry gives its decimal text); lpszDefault, or empty, when the
    // entry is missing or binary.
    CString GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault = nullptr) const;
    // TRUE with a copy of the bytes when a binary entry exists. The pointer form hands out a new[]
    // array that the caller deletes with delete[]; *ppData is nullptr and *pBytes 0 on FALSE.
    BOOL GetProfileBinary(const char* lpszSection, const char* lpszEntry, BYTE** ppData, UINT* pBytes) const;
    BOOL GetProfileBinary(const char* lpszSection, const char* lpszEntry, std::vector<BYTE>& data) const;

    // Each returns FALSE when the file could not be written.
    BOOL WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue);
    // A null value removes the entry; a null entry removes the whole section.
    BOOL WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue);
    BOOL WriteProfileBinary(const char* lpszSection, const char* lpszEntry, const BYTE* pData, UINT nBytes);

private:
    CString m_strRegistryKey;
    CString m_strAppName;
};

// The process's profile, which the application object names at start-up.
CProfile& AfxGetProfile();

// Writes to the process's profile made while a batch is open reach the file together when the
// outermost batch closes: one write of the file (each write waits for the disk) instead of one per
// entry. Reads in between see the batched values. Writes in a batch report success; the file's own
// write happens at the close.
class CProfileBatch {
public:
    CProfileBatch();
    ~CProfileBatch();
    CProfileBatch(const CProfileBatch&) = delete;
    CProfileBatch& operator=(const CProfileBatch&) = delete;
};

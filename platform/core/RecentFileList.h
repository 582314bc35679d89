#pragma once
// The framework's most-recently-used file list, kept in the profile: section "Recent File List",
// entries "File1" to "FileN", most recent first. No Qt; the window layer builds the menu from it.
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CProfile;

class CRecentFileList {
public:
    // nSize names at most; entries are named by lpszEntryFormat with the 1-based index.
    CRecentFileList(UINT nStart, const char* lpszSection, const char* lpszEntryFormat, int nSize);

    int GetSize() const { return int(m_arrNames.size()); }
    // The name at nIndex (0 = most recent), empty for a free slot.
    const CString& operator[](int nIndex) const { return m_arrNames.at(std::size_t(nIndex)); }

    // Puts the path first, removing an earlier copy of it; the oldest name drops off a full list.
    // A relative path is made absolute first.
    void Add(const char* lpszPathName);
    void Remove(int nIndex);

    void ReadList(const CProfile& profile);
    // Rewrites the section: the old entries go, the names held are written in order.
    void WriteList(CProfile& profile) const;

    UINT m_nStart;  // the command id of the first entry's menu item

private:
    CString EntryName(int nIndex) const;

    CString m_strSectionName;
    CString m_strEntryFormat;
    std::vector<CString> m_arrNames;
};

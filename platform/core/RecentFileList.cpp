#include "platform/core/RecentFileList.h"

#include <algorithm>
#include <filesystem>

#include "platform/core/Profile.h"

CRecentFileList::CRecentFileList(UINT nStart, const char* lpszSection, const char* lpszEntryFormat, int nSize)
    : m_nStart(nStart), m_strSectionName(lpszSection), m_strEntryFormat(lpszEntryFormat),
      m_arrNames(std::size_t(std::max(nSize, 0)))
{
}

CString CRecentFileList::EntryName(int nIndex) const
{
    CString entry;
    entry.Format(m_strEntryFormat.GetString(), nIndex + 1);
    return entry;
}

void CRecentFileList::Add(const char* lpszPathName)
{
    if (!lpszPathName || !*lpszPathName || m_arrNames.empty())
        return;
    std::filesystem::path path(lpszPathName);
    std::error_code error;
    if (path.is_relative())
        path = std::filesystem::absolute(path, error).lexically_normal();
    const CString name(error ? std::string(lpszPathName) : path.string());

    // Shift down to the old copy of the name, or to the last slot.
    auto last = std::find(m_arrNames.begin(), m_arrNames.end(), name);
    if (last == m_arrNames.end())
        last = m_arrNames.end() - 1;
    std::move_backward(m_arrNames.begin(), last, last + 1);
    m_arrNames.front() = name;
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return;
    m_arrNames.erase(m_arrNames.begin() + nIndex);
    m_arrNames.emplace_back();
}

void CRecentFileList::ReadList(const CProfile& profile)
{
    for (int i = 0; i < GetSize(); ++i)
        m_arrNames[std::size_t(i)] = profile.GetProfileString(m_strSectionName, EntryName(i), "");
}

void CRecentFileList::WriteList(CProfile& profile) const
{
    profile.WriteProfileString(m_strSectionName, nullptr, nullptr);
    for (int i = 0; i < GetSize(); ++i)
        if (!m_arrNames[std::size_t(i)].IsEmpty())
            profile.WriteProfileString(m_strSectionName, EntryName(i), m_arrNames[std::size_t(i)]);
}

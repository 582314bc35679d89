#include "platform/core/CString.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {
const char* Safe(const char* psz) { return psz ? psz : ""; }
const char* const kWhitespace = " \t\n\r\f\v";
}

CString::CString(const char* psz) : m_str(Safe(psz)) {}

CString::CString(const char* pch, int nLength)
{
    if (pch && nLength > 0)
        m_str.assign(pch, std::size_t(nLength));
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_str.assign(std::size_t(nRepeat), ch);
}

CString& CString::operator=(const char* psz)
{
    m_str = Safe(psz);
    return *this;
}

CString& CString::operator=(char ch)
{
    m_str.assign(1, ch);
    return *this;
}

CString& CString::operator+=(const char* psz)
{
    m_str += Safe(psz);
    return *this;
}

void CString::FormatV(const char* pszFormat, va_list args, bool append)
{
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, Safe(pszFormat), copy);
    va_end(copy);
    if (!append)
        m_str.clear();
    if (n <= 0)
        return;
    std::size_t old = m_str.size();
    m_str.resize(old + std::size_t(n) + 1);
    std::vsnprintf(m_str.data() + old, std::size_t(n) + 1, Safe(pszFormat), args);
    m_str.resize(old + std::size_t(n));
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args, false);
    va_end(args);
}

void CString::AppendFormat(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args, true);
    va_end(args);
}

CString CString::Left(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_str.substr(0, std::size_t(nCount)));
}

CString CString::Right(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return CString(m_str.substr(m_str.size() - std::size_t(nCount)));
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = std::clamp(nFirst, 0, GetLength());
    nCount = std::clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_str.substr(std::size_t(nFirst), std::size_t(nCount)));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    std::size_t p = m_str.find(ch, std::size_t(nStart));
    return p == std::string::npos ? -1 : int(p);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (nStart < 0 || nStart > GetLength())
        return -1;
    std::size_t p = m_str.find(Safe(pszSub), std::size_t(nStart));
    return p == std::string::npos ? -1 : int(p);
}

int CString::ReverseFind(char ch) const
{
    std::size_t p = m_str.rfind(ch);
    return p == std::string::npos ? -1 : int(p);
}

CString& CString::MakeUpper()
{
    for (char& c : m_str)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeLower()
{
    for (char& c : m_str)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::TrimLeft() { return TrimLeft(kWhitespace); }
CString& CString::TrimRight() { return TrimRight(kWhitespace); }

CString& CString::TrimLeft(char chTarget)
{
    const char set[2] = {chTarget, 0};
    return TrimLeft(set);
}

CString& CString::TrimRight(char chTarget)
{
    const char set[2] = {chTarget, 0};
    return TrimRight(set);
}

CString& CString::TrimLeft(const char* pszTargets)
{
    std::size_t p = m_str.find_first_not_of(Safe(pszTargets));
    m_str.erase(0, p == std::string::npos ? m_str.size() : p);
    return *this;
}

CString& CString::TrimRight(const char* pszTargets)
{
    std::size_t p = m_str.find_last_not_of(Safe(pszTargets));
    m_str.erase(p == std::string::npos ? 0 : p + 1);
    return *this;
}

int CString::Replace(char chOld, char chNew)
{
    int n = 0;
    for (char& c : m_str)
        if (c == chOld) {
            c = chNew;
            ++n;
        }
    return n;
}

int CString::Replace(const char* pszOld, const char* pszNew)
{
    std::string from = Safe(pszOld), to = Safe(pszNew);
    if (from.empty())
        return 0;
    int n = 0;
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = m_str.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(m_str, pos, hit - pos);
        out += to;
        ++n;
    }
    out.append(m_str, pos, std::string::npos);
    m_str.swap(out);
    return n;
}

char* CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength())
        m_str.resize(std::size_t(nMinLength));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = int(std::strlen(m_str.c_str()));
    m_str.resize(std::size_t(std::min(nNewLength, GetLength())));
}

int CString::Compare(const char* psz) const
{
    int r = std::strcmp(m_str.c_str(), Safe(psz));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CString::CompareNoCase(const char* psz) const
{
    int r = ::strcasecmp(m_str.c_str(), Safe(psz));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

CString operator+(const CString& a, const CString& b) { return CString(a.str() + b.str()); }
CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
CString operator+(const CString& a, char b) { CString r(a); r += b; return r; }
CString operator+(char a, const CString& b) { CString r(a); r += b; return r; }

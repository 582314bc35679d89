#pragma once
// The framework's 8-bit string: a value type over std::string with the MFC member set the program uses.
// Pass a CString to printf-style functions as GetString() (or cast to LPCTSTR): it is not a plain pointer.
#include "platform/core/WinTypes.h"

#include <compare>
#include <cstdarg>
#include <string>
#include <utility>

class CString {
public:
    CString() = default;
    CString(const char* psz);
    CString(const char* pch, int nLength);
    CString(char ch, int nRepeat = 1);
    CString(const std::string& s) : m_str(s) {}
    CString(std::string&& s) noexcept : m_str(std::move(s)) {}

    int GetLength() const { return int(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& str() const { return m_str; }

    char GetAt(int i) const { return m_str.at(std::size_t(i)); }
    char operator[](int i) const { return GetAt(i); }
    void SetAt(int i, char ch) { m_str.at(std::size_t(i)) = ch; }

    CString& operator=(const char* psz);
    CString& operator=(char ch);
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const char* psz);
    CString& operator+=(char ch) { m_str += ch; return *this; }

    // printf-style formatting; replaces the contents.
    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    void AppendFormat(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

    // Counts and positions out of range are clamped as the framework does.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // Index of the first match at or after nStart, or -1.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(const char* pszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(const char* pszTargets);
    CString& Trim() { TrimRight(); return TrimLeft(); }
    // Returns the number of replacements.
    int Replace(char chOld, char chNew);
    int Replace(const char* pszOld, const char* pszNew);

    // A writable buffer of at least nMinLength characters plus a terminator; ReleaseBuffer(-1) takes the
    // length up to the first NUL, else the given length.
    char* GetBuffer(int nMinLength = 0);
    void ReleaseBuffer(int nNewLength = -1);

    int Compare(const char* psz) const;
    int CompareNoCase(const char* psz) const;

private:
    void FormatV(const char* pszFormat, va_list args, bool append);
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline std::strong_ordering operator<=>(const CString& a, const CString& b) { return a.Compare(b.GetString()) <=> 0; }
inline std::strong_ordering operator<=>(const CString& a, const char* b) { return a.Compare(b) <=> 0; }

#pragma once
// A binary file over a POSIX descriptor, with the framework's open modes and its habit of throwing
// CFileException (by value) when a read, write, seek or close fails. Share modes are accepted and
// ignored: the file system here has no such locks. GetFilePath gives the path as it was passed.
#include <cstdint>

#include "platform/core/CException.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,    // create, or truncate an existing file unless modeNoTruncate
        modeNoTruncate = 0x2000,
        typeText = 0x4000,      // CStdioFile only
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };
    static constexpr int hFileNull = -1;

    CFile() = default;
    // Opens the file or throws the CFileException that Open would report.
    CFile(const char* lpszFileName, UINT nOpenFlags);
    virtual ~CFile();

    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE on failure, with the cause in *pError when given.
    virtual BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the bytes read: fewer than asked only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual std::uint64_t Seek(std::int64_t lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    std::uint64_t SeekToEnd() { return Seek(0, end); }
    virtual std::uint64_t GetLength() const;
    virtual void SetLength(std::uint64_t dwNewLen);
    virtual std::uint64_t GetPosition() const;
    virtual void Flush();
    // Closes and throws on a failed close (the last chance to learn of a lost write).
    virtual void Close();
    // Closes and ignores every error.
    virtual void Abort();

    virtual CString GetFilePath() const { return m_strFileName; }
    virtual void SetFilePath(const char* lpszNewName) { m_strFileName = lpszNewName; }
    CString GetFileName() const;

    bool IsOpen() const { return m_hFile != hFileNull; }
    int GetHandle() const { return m_hFile; }

    // The open(2) flags for a set of open modes.
    static int PosixFlags(UINT nOpenFlags);
    // The program builds paths with backslash separators; the file system here takes slashes, so
    // every backslash becomes a slash (a backslash inside a file name is not supported).
    static CString ToNativePath(const char* lpszPath);

protected:
    [[noreturn]] void ThrowErrno(int error) const;

    int m_hFile = hFileNull;
    CString m_strFileName;
};

#include "platform/core/CStdioFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CStdioFile::CStdioFile(const char* lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw error;
}

CStdioFile::~CStdioFile()
{
    if (m_pStream)
        Abort();
}

BOOL CStdioFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (m_pStream)
        Abort();
    // The descriptor is opened with the exact open(2) flags of the mode, then wrapped.
    if (!CFile::Open(lpszFileName, nOpenFlags, pError))
        return FALSE;
    const char* mode = (nOpenFlags & 3) == modeWrite ? "w" : (nOpenFlags & 3) == modeReadWrite ? "r+" : "r";
    m_pStream = ::fdopen(m_hFile, mode);
    if (!m_pStream) {
        const int error = errno;
        CFile::Abort();
        if (pError)
            *pError = CFileException(CFileException::OsErrorToException(error), error, lpszFileName);
        return FALSE;
    }
    m_bText = !(nOpenFlags & typeBinary);
    return TRUE;
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    const std::size_t n = std::fread(lpBuf, 1, nCount, m_pStream);
    if (n < nCount && std::ferror(m_pStream))
        ThrowErrno(errno ? errno : EIO);
    return UINT(n);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    if (std::fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
        ThrowErrno(errno ? errno : EIO);
}

int CStdioFile::ReadChar()
{
    int ch = std::getc(m_pStream);
    if (ch == '\r' && m_bText) {
        const int next = std::getc(m_pStream);
        if (next == '\n')
            return next;
        if (next != EOF)
            std::ungetc(next, m_pStream);
    }
    if (ch == EOF && std::ferror(m_pStream))
        ThrowErrno(errno ? errno : EIO);
    return ch;
}

BOOL CStdioFile::ReadString(CString& rString)
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    std::string line;
    int ch = ReadChar();
    if (ch == EOF) {
        rString.Empty();
        return FALSE;
    }
    while (ch != EOF && ch != '\n') {
        line += char(ch);
        ch = ReadChar();
    }
    rString = CString(line);
    return TRUE;
}

char* CStdioFile::ReadString(char* lpsz, UINT nMax)
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    if (!lpsz || nMax == 0)
        return nullptr;
    UINT n = 0;
    while (n + 1 < nMax) {
        const int ch = ReadChar();
        if (ch == EOF)
            break;
        lpsz[n++] = char(ch);
        if (ch == '\n')
            break;
    }
    lpsz[n] = '\0';
    return n == 0 ? nullptr : lpsz;
}

void CStdioFile::WriteString(const char* lpsz)
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    if (lpsz && std::fputs(lpsz, m_pStream) == EOF)
        ThrowErrno(errno ? errno : EIO);
}

std::uint64_t CStdioFile::Seek(std::int64_t lOff, UINT nFrom)
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    const int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
    if (::fseeko(m_pStream, off_t(lOff), whence) != 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return GetPosition();
}

std::uint64_t CStdioFile::GetPosition() const
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    const off_t pos = ::ftello(m_pStream);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return std::uint64_t(pos);
}

std::uint64_t CStdioFile::GetLength() const
{
    if (!m_pStream)
        ThrowErrno(EBADF);
    // Written data may still sit in the stream's buffer.
    if (std::fflush(m_pStream) != 0)
        ThrowErrno(errno ? errno : EIO);
    return CFile::GetLength();
}

void CStdioFile::SetLength(std::uint64_t dwNewLen)
{
    Flush();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush()
{
    if (m_pStream && std::fflush(m_pStream) != 0)
        ThrowErrno(errno ? errno : EIO);
}

void CStdioFile::Close()
{
    if (!m_pStream)
        return;
    FILE* stream = m_pStream;
    m_pStream = nullptr;
    m_hFile = hFileNull;
    if (std::fclose(stream) != 0)
        ThrowErrno(errno ? errno : EIO);
}

void CStdioFile::Abort()
{
    if (m_pStream)
        std::fclose(m_pStream);
    m_pStream = nullptr;
    m_hFile = hFileNull;
}

#include "platform/core/CFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::CFile(const char* lpszFileName, UINT nOpenFlags)
{
    CFileException error;
    if (!Open(lpszFileName, nOpenFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (IsOpen())
        Abort();
}

int CFile::PosixFlags(UINT nOpenFlags)
{
    int flags = O_RDONLY;
    switch (nOpenFlags & 3) {
    case modeWrite: flags = O_WRONLY; break;
    case modeReadWrite: flags = O_RDWR; break;
    default: break;
    }
    if (nOpenFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(nOpenFlags & modeNoTruncate))
            flags |= O_TRUNC;
    }
    if (nOpenFlags & modeNoInherit)
        flags |= O_CLOEXEC;
    return flags;
}

BOOL CFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (IsOpen())
        Abort();
    m_strFileName = lpszFileName;
    const auto fail = [&](int cause, int error) {
        if (pError)
            *pError = CFileException(cause, error, lpszFileName);
        return FALSE;
    };
    if (!lpszFileName || !*lpszFileName)
        return fail(CFileException::badPath, ENOENT);
    if ((nOpenFlags & 3) == 3)
        return fail(CFileException::genericException, EINVAL);
    // Without O_NONBLOCK, opening a FIFO waits for the other end for ever; the check below then
    // refuses it, and a regular file takes its blocking mode back.
    const CString path = ToNativePath(lpszFileName);
    int fd;
    do
        fd = ::open(path, PosixFlags(nOpenFlags) | O_CLOEXEC | O_NONBLOCK, 0666);
    while (fd < 0 && errno == EINTR);
    struct stat st {};
    if (fd < 0) {
        const int error = errno;
        // A FIFO opened for writing with no reader fails rather than wait.
        if (error == ENXIO && ::stat(path, &st) == 0 && !S_ISREG(st.st_mode))
            return fail(CFileException::notRegularFile, -1);
        return fail(CFileException::OsErrorToException(error), error);
    }
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(CFileException::OsErrorToException(error), error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? fail(CFileException::accessDenied, EISDIR)
                                   : fail(CFileException::notRegularFile, -1);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_hFile = fd;
    return TRUE;
}

void CFile::ThrowErrno(int error) const
{
    throw CFileException(CFileException::OsErrorToException(error), error, m_strFileName);
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    if (!IsOpen())
        ThrowErrno(EBADF);
    auto* out = static_cast<char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t n = ::read(m_hFile, out + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            break;
        done += UINT(n);
    }
    return done;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    if (!IsOpen())
        ThrowErrno(EBADF);
    const auto* in = static_cast<const char*>(lpBuf);
    UINT done = 0;
    while (done < nCount) {
        const ssize_t n = ::write(m_hFile, in + done, nCount - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(errno);
        }
        if (n == 0)
            ThrowErrno(ENOSPC);
        done += UINT(n);
    }
}

std::uint64_t CFile::Seek(std::int64_t lOff, UINT nFrom)
{
    if (!IsOpen())
        ThrowErrno(EBADF);
    const int whence = nFrom == current ? SEEK_CUR : nFrom == end ? SEEK_END : SEEK_SET;
    const off_t pos = ::lseek(m_hFile, off_t(lOff), whence);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return std::uint64_t(pos);
}

std::uint64_t CFile::GetLength() const
{
    if (!IsOpen())
        ThrowErrno(EBADF);
    struct stat st {};
    if (::fstat(m_hFile, &st) != 0)
        ThrowErrno(errno);
    return std::uint64_t(st.st_size);
}

void CFile::SetLength(std::uint64_t dwNewLen)
{
    if (!IsOpen())
        ThrowErrno(EBADF);
    if (::ftruncate(m_hFile, off_t(dwNewLen)) != 0)
        ThrowErrno(errno);
}

std::uint64_t CFile::GetPosition() const
{
    if (!IsOpen())
        ThrowErrno(EBADF);
    const off_t pos = ::lseek(m_hFile, 0, SEEK_CUR);
    if (pos < 0)
        throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return std::uint64_t(pos);
}

void CFile::Flush()
{
    // Writes go straight to the descriptor; nothing is held back here.
    if (!IsOpen())
        ThrowErrno(EBADF);
}

void CFile::Close()
{
    if (!IsOpen())
        return;
    const int fd = m_hFile;
    m_hFile = hFileNull;
    if (::close(fd) != 0 && errno != EINTR)
        ThrowErrno(errno);
}

void CFile::Abort()
{
    if (IsOpen())
        ::close(m_hFile);
    m_hFile = hFileNull;
}

CString CFile::ToNativePath(const char* lpszPath)
{
    std::string path = lpszPath ? lpszPath : "";
    for (char& ch : path)
        if (ch == '\\')
            ch = '/';
    return CString(path);
}

CString CFile::GetFileName() const
{
    const std::string& path = m_strFileName.str();
    const std::size_t slash = path.find_last_of("/\\");
    return CString(slash == std::string::npos ? path : path.substr(slash + 1));
}

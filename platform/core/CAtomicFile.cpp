#include "platform/core/CAtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The permissions a newly created file gets from the process's umask.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

CAtomicFile::~CAtomicFile()
{
    // The base destructor cannot reach this class's Abort.
    Abort();
}

BOOL CAtomicFile::Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (IsOpen() || !m_strTempPath.IsEmpty())
        Abort();
    m_strFileName = lpszFileName;
    const auto fail = [&](int cause, int error) {
        if (pError)
            *pError = CFileException(cause, error, lpszFileName);
        return FALSE;
    };
    if (!lpszFileName || !*lpszFileName)
        return fail(CFileException::badPath, ENOENT);
    if ((nOpenFlags & 3) == 3 || (nOpenFlags & 3) == modeRead)
        return fail(CFileException::genericException, EINVAL);

    std::filesystem::path target(ToNativePath(lpszFileName).str());
    std::error_code ec;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
        target = std::filesystem::weakly_canonical(target, ec);
        if (ec)
            return fail(CFileException::OsErrorToException(ec.value()), ec.value());
    }
    mode_t mode = NewFileMode();
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return fail(CFileException::accessDenied, EISDIR);
        if (!S_ISREG(st.st_mode))
            return fail(CFileException::notRegularFile, -1);
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return fail(CFileException::OsErrorToException(errno), errno);
    }

    // Hidden, beside the target, so that the rename stays within one file system.
    std::string temp = target.parent_path().empty() ? std::string() : target.parent_path().string() + "/";
    temp += "." + target.filename().string() + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(CFileException::OsErrorToException(errno), errno);
    if (::fchmod(fd, mode) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return fail(CFileException::OsErrorToException(error), error);
    }
    m_hFile = fd;
    m_strTempPath = CString(temp);
    m_strTargetPath = CString(target.string());
    return TRUE;
}

void CAtomicFile::RemoveTemp()
{
    if (!m_strTempPath.IsEmpty())
        ::unlink(m_strTempPath);
    m_strTempPath.Empty();
    m_strTargetPath.Empty();
}

void CAtomicFile::Close()
{
    if (!IsOpen())
        return;
    const int fd = m_hFile;
    m_hFile = hFileNull;
    int error = ::fsync(fd) != 0 ? errno : 0;
    if (::close(fd) != 0 && errno != EINTR && !error)
        error = errno;
    if (!error && ::rename(m_strTempPath, m_strTargetPath) != 0)
        error = errno;
    if (error) {
        RemoveTemp();
        ThrowErrno(error);
    }
    // The rename is durable once the folder is synced; a file system that cannot sync folders has
    // nothing more to give, and the new file is in place either way.
    const std::string folder = std::filesystem::path(m_strTargetPath.str()).parent_path().string();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    m_strTempPath.Empty();
    m_strTargetPath.Empty();
}

void CAtomicFile::Abort()
{
    if (IsOpen())
        ::close(m_hFile);
    m_hFile = hFileNull;
    RemoveTemp();
}

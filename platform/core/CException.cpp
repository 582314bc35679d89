#include "platform/core/CException.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string NameOr(const char* lpszFileName)
{
    if (lpszFileName && *lpszFileName)
        return std::string("'") + lpszFileName + "'";
    return "an unnamed file";
}

std::string FileMessage(int cause, LONG lOsError, const char* lpszFileName)
{
    const std::string name = NameOr(lpszFileName);
    std::string text;
    switch (cause) {
    case CFileException::fileNotFound: text = name + " was not found."; break;
    case CFileException::badPath: text = name + " has a path that is not valid."; break;
    case CFileException::tooManyOpenFiles: text = name + " could not be opened: too many files are open."; break;
    case CFileException::accessDenied: text = "Access to " + name + " was denied."; break;
    case CFileException::invalidFile: text = name + " is not open."; break;
    case CFileException::removeCurrentDir: text = name + " is the current folder and cannot be removed."; break;
    case CFileException::directoryFull: text = name + " could not be created: the folder is full."; break;
    case CFileException::badSeek: text = "Could not move to the requested position in " + name + "."; break;
    case CFileException::hardIO: text = "An input/output error occurred on " + name + "."; break;
    case CFileException::sharingViolation: text = name + " is in use."; break;
    case CFileException::lockViolation: text = name + " is locked."; break;
    case CFileException::diskFull: text = "There is no space left to write " + name + "."; break;
    case CFileException::endOfFile: text = "An attempt was made to read past the end of " + name + "."; break;
    case CFileException::notRegularFile: text = name + " is not a regular file."; break;
    default: text = "An unexpected error occurred on " + name + "."; break;
    }
    if (lOsError > 0)
        text += std::string(" (") + std::strerror(lOsError) + ")";
    return text;
}

std::string ArchiveMessage(int cause, const char* lpszFileName)
{
    const std::string name = NameOr(lpszFileName);
    switch (cause) {
    case CArchiveException::readOnly: return "Tried to write to " + name + " while reading it.";
    case CArchiveException::writeOnly: return "Tried to read from " + name + " while writing it.";
    case CArchiveException::endOfFile: return "Unexpected end of file while reading " + name + ".";
    case CArchiveException::badIndex:
    case CArchiveException::badClass:
    case CArchiveException::badSchema: return name + " has an unexpected format.";
    default: return "An unexpected error occurred while reading or writing " + name + ".";
    }
}

} // namespace

BOOL CException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    const std::size_t n = std::min<std::size_t>(m_strMessage.size(), nMaxError - 1);
    std::memcpy(lpszError, m_strMessage.data(), n);
    lpszError[n] = '\0';
    return m_strMessage.empty() ? FALSE : TRUE;
}

int CException::ReportError(UINT nType, UINT nMessageID) const
{
    if (m_strMessage.empty() && nMessageID != 0)
        return AfxMessageBox(nMessageID, nType);
    return AfxMessageBox(m_strMessage.c_str(), nType);
}

CFileException::CFileException(int cause, LONG lOsError, const char* lpszFileName)
    : CException(FileMessage(cause, lOsError, lpszFileName)),
      m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
{
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case ESPIPE: return badSeek;
    case EIO: return hardIO;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case ENOLCK: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, const char* lpszFileName)
{
    if (lOsError != 0)
        throw CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

CArchiveException::CArchiveException(int cause, const char* lpszArchiveName)
    : CException(ArchiveMessage(cause, lpszArchiveName)), m_cause(cause), m_strFileName(lpszArchiveName)
{
}

CMemoryException::CMemoryException() : CException("Out of memory.") {}

int CUserException::ReportError(UINT, UINT) const { return IDOK; }

void AfxThrowFileException(int cause, LONG lOsError, const char* lpszFileName)
{
    throw CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, const char* lpszArchiveName)
{
    throw CArchiveException(cause, lpszArchiveName);
}

void AfxThrowMemoryException() { throw CMemoryException(); }

void AfxThrowUserException() { throw CUserException(); }

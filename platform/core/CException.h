#pragma once
// The framework's exception classes. They are thrown BY VALUE and caught by reference
// (catch (const CFileException& e)); nothing is heap-allocated, so Delete() has nothing to free and
// exists only so handlers can be written as the framework's are. Every class is also a
// std::exception whose what() is the same text that GetErrorMessage gives.
#include <exception>
#include <string>

#include "platform/core/CString.h"
#include "platform/core/MessageBox.h"
#include "platform/core/WinTypes.h"

class CException : public std::exception {
public:
    ~CException() override = default;

    // Copies the message, cut to nMaxError - 1 characters and terminated; FALSE when there is none.
    virtual BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
    // The whole message.
    CString GetErrorMessage() const { return CString(m_strMessage); }
    // Shows the message in a message box (through the message-box seam) and returns the answer.
    virtual int ReportError(UINT nType = MB_OK | MB_ICONEXCLAMATION, UINT nMessageID = 0) const;
    void Delete() const {}

    const char* what() const noexcept override { return m_strMessage.c_str(); }

protected:
    explicit CException(std::string message = {}) : m_strMessage(std::move(message)) {}
    std::string m_strMessage;
};

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
        // The path names something other than a regular file (a FIFO, a device, a socket): files are
        // opened and replaced only when they are regular files.
        notRegularFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, const char* lpszFileName = nullptr);

    // The cause for an errno value.
    static int OsErrorToException(LONG lOsError);
    // Throws the CFileException for an errno value; does nothing for 0.
    static void ThrowOsError(LONG lOsError, const char* lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException {
public:
    enum { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = none, const char* lpszArchiveName = nullptr);

    int m_cause;
    CString m_strFileName;
};

class CMemoryException : public CException {
public:
    CMemoryException();
};

// Thrown after the user has already been told (or has cancelled): ReportError shows nothing.
class CUserException : public CException {
public:
    CUserException() = default;
    int ReportError(UINT nType = 0, UINT nMessageID = 0) const override;
};

[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, const char* lpszFileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, const char* lpszArchiveName = nullptr);
[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowUserException();

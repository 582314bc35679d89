#pragma once
// A buffered file over a C runtime stream, read and written in binary or text mode. Text mode is the
// default, as for the framework's class; on reading it turns a carriage return before a line feed
// into nothing, so files written with either line ending read the same; writing leaves text as is.
#include <cstdio>

#include "platform/core/CFile.h"

class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    // Opens the file or throws the CFileException that Open would report.
    CStdioFile(const char* lpszFileName, UINT nOpenFlags);
    ~CStdioFile() override;

    BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    std::uint64_t Seek(std::int64_t lOff, UINT nFrom) override;
    std::uint64_t GetLength() const override;
    void SetLength(std::uint64_t dwNewLen) override;
    std::uint64_t GetPosition() const override;
    void Flush() override;
    void Close() override;
    void Abort() override;

    // The next line without its line ending; FALSE at the end of the file with nothing read.
    BOOL ReadString(CString& rString);
    // Up to nMax - 1 characters of the next line, its line feed included, terminated; nullptr at
    // the end of the file with nothing read.
    char* ReadString(char* lpsz, UINT nMax);
    void WriteString(const char* lpsz);

    FILE* m_pStream = nullptr;

private:
    int ReadChar();
    bool m_bText = true;
};

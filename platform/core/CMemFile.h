#pragma once
// A CFile over memory: either a buffer of its own that grows as it is written, or a caller's buffer
// attached for reading or for writing in place, which is never grown, moved or freed here.
#include "platform/core/CFile.h"

class CMemFile : public CFile {
public:
    // An empty file whose own buffer grows in steps of at least nGrowBytes.
    explicit CMemFile(UINT nGrowBytes = 1024);
    // The caller's buffer, nBufferSize bytes long, all of which count as the file's content.
    CMemFile(BYTE* lpBuffer, UINT nBufferSize);
    ~CMemFile() override;

    void Attach(BYTE* lpBuffer, UINT nBufferSize);
    // Hands the buffer over and leaves the file empty. An own buffer was allocated with malloc and
    // is the caller's to free() now.
    BYTE* Detach();

    BOOL Open(const char* lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    std::uint64_t Seek(std::int64_t lOff, UINT nFrom) override;
    std::uint64_t GetLength() const override { return m_nFileSize; }
    void SetLength(std::uint64_t dwNewLen) override;
    std::uint64_t GetPosition() const override { return m_nPosition; }
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }

private:
    void Reserve(std::uint64_t nNewSize);
    void Free();

    BYTE* m_lpBuffer = nullptr;
    std::uint64_t m_nBufferSize = 0;
    std::uint64_t m_nFileSize = 0;
    std::uint64_t m_nPosition = 0;
    UINT m_nGrowBytes = 1024;
    bool m_bOwnBuffer = true;
};

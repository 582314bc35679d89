#pragma once
// The framework's binary archive over a CFile: values in little-endian order (WORD 2 bytes, int,
// LONG, DWORD, UINT and float 4, double 8 as IEEE, BYTE and bool 1) and strings as a length prefix
// followed by 8-bit characters. Reading past the end throws CArchiveException(endOfFile), by value;
// so does a string whose length the rest of the file cannot hold, before anything is allocated.
#include <cstdint>
#include <vector>

#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CDocument;

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Flushes a storing archive that was neither closed nor aborted; a failure there is lost, so
    // callers that must know call Close.
    ~CArchive();

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_bLoading; }
    bool IsStoring() const { return !m_bLoading; }
    CFile* GetFile() const { return m_pFile; }

    // Loading: the bytes that can still be read (buffered plus the rest of the file).
    std::uint64_t GetBytesLeft() const;

    // Reads up to nMax bytes and returns how many came (fewer only at the end of the file).
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Reads exactly nCount bytes or throws endOfFile.
    void EnsureRead(void* lpBuf, UINT nCount);

    // Writes what is buffered to the file (storing); nothing when loading.
    void Flush();
    // Flushes and detaches from the file, which stays open.
    void Close();
    // Detaches without writing anything buffered.
    void Abort();

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(char ch) { return *this << BYTE(ch); }
    CArchive& operator<<(WORD w);
    CArchive& operator<<(short s) { return *this << WORD(s); }
    CArchive& operator<<(int i) { return *this << DWORD(i); }
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(bool b) { return *this << BYTE(b ? 1 : 0); }
    CArchive& operator<<(const CString& str);
    CArchive& operator<<(const char* psz) { return *this << CString(psz); }

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(short& s);
    CArchive& operator>>(int& i);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(bool& b);
    CArchive& operator>>(CString& str);

    // The document being loaded or stored, for Serialize functions that need it.
    CDocument* m_pDocument = nullptr;

private:
    [[noreturn]] void Throw(int cause) const;
    void FillBuffer();
    void WriteBuffer();

    CFile* m_pFile;
    bool m_bLoading;
    bool m_bFlushOnDelete;
    std::vector<BYTE> m_buffer;
    std::size_t m_nCur = 0;  // next byte to read or write in m_buffer
    std::size_t m_nEnd = 0;  // loading: end of the valid bytes in m_buffer
};

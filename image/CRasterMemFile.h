#pragma once
// A raster stream over a memory buffer. Over a caller's buffer it reads in place and never frees,
// grows or writes past that buffer; opened empty it grows its own heap block (malloc/free) in
// steps of 4096 bytes, and GetBuffer can hand that block to the caller.
#include "image/CRasterFile.h"

class CRasterMemFile : public CRasterFile {
public:
    explicit CRasterMemFile(const BYTE* buffer = nullptr, DWORD size = 0);
    ~CRasterMemFile() override;
    CRasterMemFile(const CRasterMemFile&) = delete;
    CRasterMemFile& operator=(const CRasterMemFile&) = delete;

    // Starts an empty, growable stream; false when a buffer already exists or the heap refuses.
    bool Open();
    // Returns the buffer; with detach the caller owns it from now on (release with free()).
    BYTE* GetBuffer(bool detach = true);
    DWORD Capacity() const { return m_dwCapacity; }

    bool Close() override;
    DWORD Read(void* buffer, DWORD size, DWORD count) override;
    DWORD Write(const void* buffer, DWORD size, DWORD count) override;
    bool Seek(LONG offset, int origin) override;
    LONG Tell() override;
    LONG Size() override;
    bool Flush() override;
    bool Eof() override;
    LONG Error() override;
    bool PutC(BYTE c) override;
    LONG GetC() override;

protected:
    // Makes room for n bytes; false when the buffer is not ours to grow or the heap refuses
    // (the old buffer is then kept unchanged).
    bool Alloc(DWORD n);

    BYTE* m_pBuffer = nullptr;
    DWORD m_dwSize = 0;
    bool m_bFreeOnClose = false;
    bool m_bOwnsBuffer = false; // the block came from our own heap allocation
    LONG m_lPosition = 0;
    DWORD m_dwCapacity = 0;
};

#pragma once
// A raster stream over a C runtime file. Constructed over a caller's handle it never closes it;
// constructed without one it owns whatever handle it is later given and closes it on destruction.
#include "image/CRasterFile.h"

#include <cstdio>

class CRasterIOFile : public CRasterFile {
public:
    explicit CRasterIOFile(std::FILE* fp = nullptr);
    ~CRasterIOFile() override;
    CRasterIOFile(const CRasterIOFile&) = delete;
    CRasterIOFile& operator=(const CRasterIOFile&) = delete;

    // Opens a file by name with an fopen mode; false when a handle is already held or fopen fails.
    bool Open(const char* filename, const char* mode);

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
    std::FILE* m_fp = nullptr;
    bool m_bCloseOnDestroy = false;
};

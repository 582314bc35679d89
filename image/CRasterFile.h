#pragma once
// The one byte stream every codec reads and writes, so the same decoder serves files, resources and
// memory. Failures show only in the results (0 items, false, -1); streams keep no error text.
#include "platform/core/WinTypes.h"

class CRasterFile {
public:
    virtual ~CRasterFile() = default;

    // Releases the underlying resource when the stream owns it.
    virtual bool Close() = 0;
    // Reads up to count items of size bytes; returns the whole items read.
    virtual DWORD Read(void* buffer, DWORD size, DWORD count) = 0;
    // Writes count items of size bytes; returns the items written.
    virtual DWORD Write(const void* buffer, DWORD size, DWORD count) = 0;
    // origin: SEEK_SET (0), SEEK_CUR (1), SEEK_END (2).
    virtual bool Seek(LONG offset, int origin) = 0;
    virtual LONG Tell() = 0;
    virtual LONG Size() = 0;
    virtual bool Flush() = 0;
    // At or past the end.
    virtual bool Eof() = 0;
    virtual LONG Error() = 0;
    virtual bool PutC(BYTE c) { return Write(&c, 1, 1) == 1; }
    // The next byte 0..255, or -1 at the end.
    virtual LONG GetC() = 0;
};

// libtiff's client procedures over a CRasterFile. The stream belongs to the caller: closing the TIFF
// handle leaves it open, and there is no memory mapping. libtiff's messages are kept off stderr.
#include "image/CRasterTiff.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

#include <tiffio.h>

#include <cstdint>
#include <limits>

namespace {

constexpr toff_t kSeekFailed = 0xFFFFFFFF;

CRasterFile* StreamOf(thandle_t handle)
{
    return static_cast<CRasterFile*>(handle);
}

tmsize_t TiffStreamRead(thandle_t handle, void* buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    // The stream counts in 32 bits; libtiff reads again for the rest of a larger request.
    const DWORD n = size > tmsize_t(0x7FFFFFFF) ? DWORD(0x7FFFFFFF) : DWORD(size);
    return tmsize_t(StreamOf(handle)->Read(buffer, 1, n));
}

tmsize_t TiffStreamWrite(thandle_t handle, void* buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    if (size > tmsize_t(0x7FFFFFFF))
        return -1;
    return tmsize_t(StreamOf(handle)->Write(buffer, 1, DWORD(size)));
}

toff_t TiffStreamSeek(thandle_t handle, toff_t offset, int whence)
{
    if (offset == kSeekFailed)
        return kSeekFailed;
    // Relative moves arrive as two's complement offsets; the stream takes 32-bit signed ones.
    const std::int64_t signedOffset = std::int64_t(offset);
    if (signedOffset > std::numeric_limits<LONG>::max() || signedOffset < std::numeric_limits<LONG>::min())
        return kSeekFailed;
    CRasterFile* stream = StreamOf(handle);
    if (!stream->Seek(LONG(signedOffset), whence))
        return kSeekFailed;
    if (whence == SEEK_SET)
        return offset;
    const LONG pos = stream->Tell();
    return pos < 0 ? kSeekFailed : toff_t(pos);
}

int TiffStreamClose(thandle_t)
{
    return 0;
}

toff_t TiffStreamSize(thandle_t handle)
{
    const LONG size = StreamOf(handle)->Size();
    return size < 0 ? 0 : toff_t(size);
}

int TiffStreamMap(thandle_t, void**, toff_t*)
{
    return 0;
}

void TiffStreamUnmap(thandle_t, void*, toff_t) {}

// Messages of the library go nowhere: the codec reports its own texts, and returning 1 keeps the
// process-wide handlers (stderr) from running.
int TiffQuiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

} // namespace

TIFF* _TIFFFdOpenStream(CRasterFile* stream, const char* name, const char* mode)
{
    if (!stream)
        return nullptr;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    // No single allocation of the library may exceed what an image may hold.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(raster::kMaxImageBytes + (raster::kMaxImageBytes >> 1)));
    TIFFOpenOptionsSetErrorHandlerExtR(options, TiffQuiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, TiffQuiet, nullptr);
    TIFF* tif = TIFFClientOpenExt(name, mode, static_cast<thandle_t>(stream), TiffStreamRead, TiffStreamWrite,
                                  TiffStreamSeek, TiffStreamClose, TiffStreamSize, TiffStreamMap, TiffStreamUnmap,
                                  options);
    TIFFOpenOptionsFree(options);
    return tif;
}

TIFF* _TIFFOpenEx(CRasterFile* stream, const char* mode)
{
    return _TIFFFdOpenStream(stream, "TIFF IMAGE", mode);
}

#include "image/CRasterWbmp.h"

#include "image/CRasterFile.h"
#include "image/CheckedMath.h"

namespace {

const char kNotWbmp[] = "Not a WBMP";
const char kUnsupportedType[] = "Unsupported WBMP type";
const char kCorrupted[] = "Corrupted WBMP";
const char kCreateFailed[] = "WBMP Create failed";
const char kCantSave[] = "Can't save this image as WBMP";
const char kWriteError[] = "WBMP write error";

} // namespace

CRasterImageWBMP::CRasterImageWBMP() : CRasterImage(IMAGE_FORMAT_WBMP) {}

bool DecodeWbmp(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageWBMP>(stream);
}

bool EncodeWbmp(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageWBMP>(stream);
}

bool CRasterImageWBMP::Decode(CRasterFile* stream)
{
    if (!stream)
        return false;
    BYTE header[4];
    if (!raster::ReadExact(*stream, header, sizeof header)) {
        SetLastError(kNotWbmp);
        return false;
    }
    if (header[0] != 0) {
        SetLastError(kUnsupportedType);
        return false;
    }
    const LONG width = header[2], height = header[3];
    if (width == 0 || height == 0) {
        SetLastError(kCorrupted);
        return false;
    }
    if (!Create(width, height, 1, IMAGE_FORMAT_WBMP)) {
        SetLastError(kCreateFailed);
        return false;
    }
    SetGrayPalette();
    // Rows arrive top row first; a short file leaves the remaining rows as created (zero).
    const DWORD rowBytes = DWORD(width + 7) / 8;
    CRasterRowIterator it(this);
    it.Upset();
    for (LONG y = 0; y < height; ++y) {
        stream->Read(it.GetRow(), 1, rowBytes);
        it.PrevRow();
    }
    return true;
}

bool CRasterImageWBMP::Encode(CRasterFile* stream)
{
    if (EncodeSafeCheck(stream))
        return false;
    const DWORD width = GetWidth(), height = GetHeight();
    if (width > 255 || height > 255 || GetBpp() != 1) {
        SetLastError(kCantSave);
        return false;
    }
    const BYTE header[4] = {0, 0, BYTE(width), BYTE(height)};
    bool ok = stream->Write(header, 1, 4) == 4;
    const DWORD rowBytes = (width + 7) / 8;
    for (LONG y = LONG(height) - 1; y >= 0 && ok; --y)
        ok = stream->Write(GetBits(DWORD(y)), 1, rowBytes) == rowBytes;
    // A failed write is reported: a document must not be saved with a truncated image.
    if (!ok) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}

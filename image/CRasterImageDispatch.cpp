// Format dispatch: choosing the codec by format id or by trying each in detection order, over files,
// memory buffers and module resources. The codec table below is the one list of codecs.
#include "image/CRasterImage.h"

#include "image/CRasterIOFile.h"
#include "image/CRasterImageBMP.h"
#include "image/CRasterMemFile.h"
#include "image/RasterCodecs.h"

#if __has_include("image/CRasterGif.h")
#include "image/CRasterGif.h"
#define VANTREL_IMAGE_HAS_GIF 1
#endif

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// In detection order: BMP, JPG, ICO, GIF, PNG, TIF, TGA, PCX, WBMP, WMF, then the JPEG 2000 family.
// A format without an entry answers "Decode: Unknown or wrong format" / "Encode: Unknown format".
const RasterCodec kCodecs[] = {
    {IMAGE_FORMAT_BMP, DecodeBmp, EncodeBmp},
#ifdef VANTREL_IMAGE_HAS_GIF
    {IMAGE_FORMAT_GIF, DecodeGif, EncodeGif},
#endif
};

const char kUnknownDecode[] = "Decode: Unknown or wrong format";
const char kUnknownEncode[] = "Encode: Unknown format";

} // namespace

const RasterCodec* FindRasterCodec(DWORD format)
{
    for (const RasterCodec& c : kCodecs)
        if (c.format == format)
            return &c;
    return nullptr;
}

const RasterCodec* RasterCodecsInDetectionOrder(unsigned& count)
{
    count = unsigned(std::size(kCodecs));
    return kCodecs;
}

bool CRasterImage::Decode(CRasterFile* stream, DWORD type)
{
    if (!stream) {
        SetLastError(kUnknownDecode);
        return false;
    }
    if (type == IMAGE_FORMAT_UNKNOWN) {
        const LONG start = stream->Tell();
        for (const RasterCodec& c : kCodecs) {
            if (c.decode(*this, stream))
                return true;
            stream->Seek(start, SEEK_SET);
        }
        SetLastError(kUnknownDecode);
        return false;
    }
    const RasterCodec* codec = FindRasterCodec(type);
    if (!codec) {
        SetLastError(kUnknownDecode);
        return false;
    }
    return codec->decode(*this, stream);
}

bool CRasterImage::Encode(CRasterFile* stream, DWORD type)
{
    const RasterCodec* codec = type == IMAGE_FORMAT_UNKNOWN ? nullptr : FindRasterCodec(type);
    if (!codec) {
        SetLastError(kUnknownEncode);
        return false;
    }
    return codec->encode(*this, stream);
}

bool CRasterImage::Decode(std::FILE* file, DWORD type)
{
    CRasterIOFile stream(file);
    return Decode(&stream, type);
}

bool CRasterImage::Decode(const BYTE* buffer, DWORD size, DWORD type)
{
    CRasterMemFile stream(buffer, size);
    return Decode(&stream, type);
}

bool CRasterImage::Encode(BYTE*& buffer, LONG& size, DWORD type)
{
    if (buffer) {
        SetLastError("the buffer must be empty");
        return false;
    }
    CRasterMemFile stream;
    stream.Open();
    if (!Encode(&stream, type))
        return false;
    size = stream.Size();
    buffer = stream.GetBuffer(true);
    return true;
}

bool CRasterImage::Load(const char* filename, DWORD type)
{
    if (!filename)
        return false;
    if (type >= 1 && type < IMAGE_FORMAT_COUNT) {
        std::FILE* fp = std::fopen(filename, "rb");
        if (!fp)
            return false;
        bool ok = Decode(fp, type);
        std::fclose(fp);
        if (ok)
            return true;
    }
    char kept[sizeof m_info.lastError];
    std::memcpy(kept, m_info.lastError, sizeof kept);
    std::FILE* fp = std::fopen(filename, "rb");
    if (!fp)
        return false;
    bool ok = Decode(fp, IMAGE_FORMAT_UNKNOWN);
    std::fclose(fp);
    if (!ok && type != IMAGE_FORMAT_UNKNOWN)
        SetLastError(kept);
    return ok;
}

bool CRasterImage::LoadResource(HRSRC resource, DWORD type, HMODULE module)
{
    const DWORD size = ::SizeofResource(module, resource);
    HGLOBAL handle = ::LoadResource(module, resource);
    if (!handle) {
        SetLastError("Unable to load resource!");
        return false;
    }
    const BYTE* bytes = static_cast<const BYTE*>(::LockResource(handle));
    if (!bytes)
        return false;
    return Decode(bytes, size, type);
}

// Format dispatch: choosing the codec by format id or by trying each in detection order, over files,
// memory buffers and module resources. The codec table below is the one list of codecs.
#include "image/CRasterImage.h"

#include "image/CRasterIOFile.h"
#include "image/CRasterImageBMP.h"
#include "image/CRasterMemFile.h"
#include "image/RasterCodecs.h"

// Each codec that arrives on its own declares Decode<Fmt>/Encode<Fmt> in its header; the table
// lists a codec exactly when its header is in the tree.
#if __has_include("image/CRasterGif.h")
#include "image/CRasterGif.h"
#define VANTREL_IMAGE_HAS_GIF 1
#endif
#if __has_include("image/CRasterJpeg.h")
#include "image/CRasterJpeg.h"
#define VANTREL_IMAGE_HAS_JPG 1
#endif
#if __has_include("image/CRasterPng.h")
#include "image/CRasterPng.h"
#define VANTREL_IMAGE_HAS_PNG 1
#endif
#if __has_include("image/CRasterIco.h")
#include "image/CRasterIco.h"
#define VANTREL_IMAGE_HAS_ICO 1
#endif
#if __has_include("image/CRasterTiff.h")
#include "image/CRasterTiff.h"
#define VANTREL_IMAGE_HAS_TIF 1
#endif
#if __has_include("image/CRasterTga.h")
#include "image/CRasterTga.h"
#define VANTREL_IMAGE_HAS_TGA 1
#endif
#if __has_include("image/CRasterPcx.h")
#include "image/CRasterPcx.h"
#define VANTREL_IMAGE_HAS_PCX 1
#endif
#if __has_include("image/CRasterWbmp.h")
#include "image/CRasterWbmp.h"
#define VANTREL_IMAGE_HAS_WBMP 1
#endif
#if __has_include("image/CRasterWmf.h")
#include "image/CRasterWmf.h"
#define VANTREL_IMAGE_HAS_WMF 1
#endif
#if __has_include("image/CRasterJpeg2000.h")
#include "image/CRasterJpeg2000.h"
#define VANTREL_IMAGE_HAS_JPEG2000 1
#endif

#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// In detection order: BMP, JPG, ICO, GIF, PNG, TIF, TGA, PCX, WBMP, WMF, then the JPEG 2000 family.
// A format without an entry answers "Decode: Unknown or wrong format" / "Encode: Unknown format".
const RasterCodec kCodecs[] = {
    {IMAGE_FORMAT_BMP, DecodeBmp, EncodeBmp},
#ifdef VANTREL_IMAGE_HAS_JPG
    {IMAGE_FORMAT_JPG, DecodeJpeg, EncodeJpeg},
#endif
#ifdef VANTREL_IMAGE_HAS_ICO
    {IMAGE_FORMAT_ICO, DecodeIco, EncodeIco},
#endif
#ifdef VANTREL_IMAGE_HAS_GIF
    {IMAGE_FORMAT_GIF, DecodeGif, EncodeGif},
#endif
#ifdef VANTREL_IMAGE_HAS_PNG
    {IMAGE_FORMAT_PNG, DecodePng, EncodePng},
#endif
#ifdef VANTREL_IMAGE_HAS_TIF
    {IMAGE_FORMAT_TIF, DecodeTiff, EncodeTiff},
#endif
#ifdef VANTREL_IMAGE_HAS_TGA
    {IMAGE_FORMAT_TGA, DecodeTga, EncodeTga},
#endif
#ifdef VANTREL_IMAGE_HAS_PCX
    {IMAGE_FORMAT_PCX, DecodePcx, EncodePcx},
#endif
#ifdef VANTREL_IMAGE_HAS_WBMP
    {IMAGE_FORMAT_WBMP, DecodeWbmp, EncodeWbmp},
#endif
#ifdef VANTREL_IMAGE_HAS_WMF
    {IMAGE_FORMAT_WMF, DecodeWmf, EncodeWmf},
#endif
#ifdef VANTREL_IMAGE_HAS_JPEG2000
    {IMAGE_FORMAT_JP2, DecodeJp2, EncodeJp2, false},
    {IMAGE_FORMAT_JPC, DecodeJpc, EncodeJpc, false},
    {IMAGE_FORMAT_PGX, DecodePgx, EncodePgx, false},
    {IMAGE_FORMAT_PNM, DecodePnm, EncodePnm, false},
    {IMAGE_FORMAT_RAS, DecodeRas, EncodeRas, false},
    // Detection tries the family once, last; the decoder finds the member from the content.
    {IMAGE_FORMAT_UNKNOWN, DecodeJpeg2000Family, nullptr, true},
#endif
};

const char kUnknownDecode[] = "Decode: Unknown or wrong format";
const char kUnknownEncode[] = "Encode: Unknown format";

} // namespace

const RasterCodec* FindRasterCodec(DWORD format)
{
    for (const RasterCodec& c : kCodecs)
        if (c.format == format && format != IMAGE_FORMAT_UNKNOWN)
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
            if (!c.detect)
                continue;
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

#include "image/CRasterWmf.h"

#include "image/CRasterFile.h"
#include "image/CRasterWmfPlayer.h"
#include "image/CheckedMath.h"

#include <cstring>

namespace {

const char kCorrupted[] = "corrupted WMF";
const char kEmpty[] = "empty WMF";
const char kCancelled[] = "Cancelled";
const char kNoSave[] = "Save WMF not supported";

constexpr DWORD kEmfSignature = 0x464D4520; // " EMF"
constexpr DWORD kEmfHeaderMin = 88;
// The window colour the picture is drawn on.
constexpr BYTE kWindowColor = 255;

} // namespace

CRasterImageWMF::CRasterImageWMF() : CRasterImage(IMAGE_FORMAT_WMF) {}

bool DecodeWmf(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageWMF>(stream);
}

bool EncodeWmf(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageWMF>(stream);
}

bool CRasterImageWMF::CheckMetafileHeader(const PlaceableMetafileHeader& h)
{
    if (h.key != kPlaceableKey || h.unitsPerInch < 1 || h.unitsPerInch > 2540)
        return false;
    const WORD words[10] = {WORD(h.key), WORD(h.key >> 16), h.handle, WORD(h.left), WORD(h.top),
                            WORD(h.right), WORD(h.bottom), h.unitsPerInch, WORD(h.reserved), WORD(h.reserved >> 16)};
    WORD sum = 0;
    for (WORD w : words)
        sum ^= w;
    return sum == h.checksum;
}

std::unique_ptr<MetafileData> CRasterImageWMF::ConvertWmfFiletoEmf(CRasterFile* stream, PlaceableMetafileHeader* out)
{
    if (!stream)
        return nullptr;
    const LONG start = stream->Tell();
    const LONG size = stream->Size();
    BYTE raw[22];
    if (!raster::ReadExact(*stream, raw, sizeof raw))
        return nullptr;
    raster::ByteCursor c(raw, sizeof raw);
    PlaceableMetafileHeader h;
    h.key = c.u32le();
    h.handle = c.u16le();
    h.left = SHORT(c.u16le());
    h.top = SHORT(c.u16le());
    h.right = SHORT(c.u16le());
    h.bottom = SHORT(c.u16le());
    h.unitsPerInch = c.u16le();
    h.reserved = c.u32le();
    h.checksum = c.u16le();
    if (!CheckMetafileHeader(h))
        return nullptr;
    BYTE meta[18];
    if (!raster::ReadExact(*stream, meta, sizeof meta))
        return nullptr;
    const WORD type = WORD(meta[0] | (meta[1] << 8));
    if (type != 1 && type != 2)
        return nullptr;
    const std::uint64_t words = DWORD(meta[6]) | (DWORD(meta[7]) << 8) | (DWORD(meta[8]) << 16) | (DWORD(meta[9]) << 24);
    const std::uint64_t n = words * 2;
    // The metafile must fit the data after the placeable header.
    if (size < 0 || n < sizeof meta || n + 22 > std::uint64_t(size - (start > 0 ? start : 0)))
        return nullptr;
    auto data = std::make_unique<MetafileData>();
    data->bytes.resize(std::size_t(n));
    if (!stream->Seek(start + 22, SEEK_SET) || !raster::ReadExact(*stream, data->bytes.data(), data->bytes.size()))
        return nullptr;
    data->placeable = h;
    if (out)
        *out = h;
    return data;
}

std::unique_ptr<MetafileData> CRasterImageWMF::ConvertEmfFiletoEmf(CRasterFile* stream, EnhancedMetafileHeader* out)
{
    if (!stream)
        return nullptr;
    const LONG start = stream->Tell();
    const LONG size = stream->Size();
    if (start < 0 || size < start || DWORD(size - start) < kEmfHeaderMin)
        return nullptr;
    // Only the header record is read before it has passed its checks: detection tries every input
    // that no other format took, and must not copy it whole for that.
    const std::size_t available = std::size_t(size - start);
    auto data = std::make_unique<MetafileData>();
    data->enhanced = true;
    data->bytes.resize(kEmfHeaderMin);
    if (!raster::ReadExact(*stream, data->bytes.data(), data->bytes.size()))
        return nullptr;
    raster::ByteCursor c(data->bytes.data(), data->bytes.size());
    const DWORD type = c.u32le(), headerSize = c.u32le();
    EnhancedMetafileHeader& h = data->header;
    for (LONG& v : h.bounds)
        v = LONG(c.u32le());
    for (LONG& v : h.frame)
        v = LONG(c.u32le());
    const DWORD signature = c.u32le();
    c.u32le(); // version
    h.bytes = c.u32le();
    c.skip(4 + 2 + 2 + 4 + 4 + 4); // records, handles, reserved, description, palette entries
    h.device[0] = LONG(c.u32le());
    h.device[1] = LONG(c.u32le());
    h.millimetres[0] = LONG(c.u32le());
    h.millimetres[1] = LONG(c.u32le());
    // The header record must be the first record, whole, and carry the signature.
    if (!c.ok() || type != 1 || signature != kEmfSignature || headerSize < kEmfHeaderMin ||
        headerSize > available || h.bytes < headerSize)
        return nullptr;
    // The records the header counts, or as many as the input holds.
    data->bytes.resize(h.bytes < available ? h.bytes : available);
    if (!raster::ReadExact(*stream, data->bytes.data() + kEmfHeaderMin, data->bytes.size() - kEmfHeaderMin))
        return nullptr;
    if (out)
        *out = h;
    return data;
}

void CRasterImageWMF::ShrinkMetafile(LONG& width, LONG& height)
{
    if (width > kMaxSide) {
        height = LONG(std::int64_t(height) * kMaxSide / width);
        width = kMaxSide;
    }
    if (height > kMaxSide) {
        width = LONG(std::int64_t(width) * kMaxSide / height);
        height = kMaxSide;
    }
    // A very flat picture keeps at least one pixel on its short side.
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
}

bool CRasterImageWMF::Decode(CRasterFile* stream, LONG forcedWidth, LONG forcedHeight)
{
    if (!stream)
        return false;
    const LONG start = stream->Tell();
    std::int64_t width = 0, height = 0;
    PlaceableMetafileHeader placeable;
    std::unique_ptr<MetafileData> meta = ConvertWmfFiletoEmf(stream, &placeable);
    if (meta) {
        width = (std::int64_t(placeable.right) - placeable.left) * kScreenDpi / placeable.unitsPerInch;
        height = (std::int64_t(placeable.bottom) - placeable.top) * kScreenDpi / placeable.unitsPerInch;
    } else {
        stream->Seek(start, SEEK_SET);
        EnhancedMetafileHeader header;
        meta = ConvertEmfFiletoEmf(stream, &header);
        if (!meta) {
            SetLastError(kCorrupted);
            return false;
        }
        width = std::int64_t(header.bounds[2]) - header.bounds[0];
        height = std::int64_t(header.bounds[3]) - header.bounds[1];
    }
    if (m_info.escape) {
        SetLastError(kCancelled);
        return false;
    }
    // A picture whose extent is zero or negative has nothing to show.
    if (width <= 0 || height <= 0) {
        SetLastError(kEmpty);
        return false;
    }
    if (forcedWidth)
        width = forcedWidth;
    if (forcedHeight)
        height = forcedHeight;
    if (width <= 0 || height <= 0) {
        SetLastError(kEmpty);
        return false;
    }
    LONG w = LONG(width > 0x7FFFFFFF ? 0x7FFFFFFF : width), h = LONG(height > 0x7FFFFFFF ? 0x7FFFFFFF : height);
    ShrinkMetafile(w, h);

    if (!Create(w, h, 24, IMAGE_FORMAT_WMF))
        return false;
    std::memset(m_info.pixels, kWindowColor, m_head.biSizeImage);
    CRasterWmfPlayer player(*this, *meta);
    player.Play();
    if (m_info.escape) {
        Destroy();
        SetLastError(kCancelled);
        return false;
    }
    return true;
}

bool CRasterImageWMF::Encode(CRasterFile* stream)
{
    if (stream)
        SetLastError(kNoSave);
    return false;
}

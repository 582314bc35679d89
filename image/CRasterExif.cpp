#include "image/CRasterExif.h"

#include "image/CRasterFile.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr int M_SOF0 = 0xC0;
constexpr int M_SOF15 = 0xCF;
constexpr int M_DHT = 0xC4;
constexpr int M_JPG = 0xC8;
constexpr int M_DAC = 0xCC;
constexpr int M_EOI = 0xD9;
constexpr int M_SOS = 0xDA;
constexpr int M_JFIF = 0xE0;
constexpr int M_EXIF = 0xE1;
constexpr int M_COM = 0xFE;

constexpr int TAG_MAKE = 0x010F;
constexpr int TAG_MODEL = 0x0110;
constexpr int TAG_ORIENTATION = 0x0112;
constexpr int TAG_XRESOLUTION = 0x011A;
constexpr int TAG_YRESOLUTION = 0x011B;
constexpr int TAG_RESOLUTIONUNIT = 0x0128;
constexpr int TAG_THUMBNAIL_OFFSET = 0x0201;
constexpr int TAG_THUMBNAIL_LENGTH = 0x0202;
constexpr int TAG_EXPOSURETIME = 0x829A;
constexpr int TAG_FNUMBER = 0x829D;
constexpr int TAG_EXIF_OFFSET = 0x8769;
constexpr int TAG_EXPOSURE_PROGRAM = 0x8822;
constexpr int TAG_ISO_EQUIVALENT = 0x8827;
constexpr int TAG_EXIF_VERSION = 0x9000;
constexpr int TAG_DATETIME_ORIGINAL = 0x9003;
constexpr int TAG_COMPRESSION_LEVEL = 0x9102;
constexpr int TAG_SHUTTERSPEED = 0x9201;
constexpr int TAG_APERTURE = 0x9202;
constexpr int TAG_BRIGHTNESS = 0x9203;
constexpr int TAG_EXPOSURE_BIAS = 0x9204;
constexpr int TAG_MAXAPERTURE = 0x9205;
constexpr int TAG_SUBJECT_DISTANCE = 0x9206;
constexpr int TAG_METERING_MODE = 0x9207;
constexpr int TAG_WHITEBALANCE = 0x9208;
constexpr int TAG_FLASH = 0x9209;
constexpr int TAG_FOCALLENGTH = 0x920A;
constexpr int TAG_USERCOMMENT = 0x9286;
constexpr int TAG_EXIF_IMAGEWIDTH = 0xA002;
constexpr int TAG_EXIF_IMAGELENGTH = 0xA003;
constexpr int TAG_INTEROP_OFFSET = 0xA005;
constexpr int TAG_FOCALPLANEXRES = 0xA20E;
constexpr int TAG_FOCALPLANEYRES = 0xA20F;
constexpr int TAG_FOCALPLANEUNITS = 0xA210;

constexpr int kNumFormats = 12;
constexpr int kBytesPerFormat[kNumFormats + 1] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

// Nesting of sub-directories and chained directories below the first one.
constexpr int kMaxDepth = 8;

// A double from the file as a 32-bit integer: truncated, saturated, NaN as 0.
LONG ToLong(double v)
{
    if (!(v == v))
        return 0;
    if (v >= double(std::numeric_limits<LONG>::max()))
        return std::numeric_limits<LONG>::max();
    if (v <= double(std::numeric_limits<LONG>::min()))
        return std::numeric_limits<LONG>::min();
    return LONG(v);
}

// Unit table of tags 0x0128 and 0xA210; false leaves the field unchanged.
bool UnitValue(LONG unit, float& out)
{
    switch (unit) {
    case 1:
    case 2: out = 1.0f; return true;
    case 3: out = 0.3937007874f; return true;
    case 4: out = 0.03937007874f; return true;
    case 5: out = 0.00003937007874f; return true;
    default: return false;
    }
}

// Copies at most max characters of a text value of count bytes, stopping at a NUL.
void CopyText(char* dst, std::size_t max, const BYTE* value, std::uint64_t count)
{
    std::size_t n = 0;
    while (n < max && n < count && value[n])
        ++n;
    std::memcpy(dst, value, n);
    dst[n] = 0;
}

bool IsFrameMarker(int m)
{
    return m >= M_SOF0 && m <= M_SOF15 && m != M_DHT && m != M_JPG && m != M_DAC;
}

} // namespace

CRasterExifInfo::CRasterExifInfo(ExifData* info) : m_info(info)
{
    if (!m_info) {
        m_info = static_cast<ExifData*>(std::calloc(1, sizeof(ExifData)));
        m_ownsInfo = m_info != nullptr;
    }
}

CRasterExifInfo::~CRasterExifInfo()
{
    for (Section& s : m_sections)
        std::free(s.Data);
    if (m_ownsInfo)
        std::free(m_info);
}

void CRasterExifInfo::SetError(const char* text)
{
    std::snprintf(m_lastError, sizeof m_lastError, "%s", text);
}

void CRasterExifInfo::DropLast()
{
    --m_sectionsRead;
    std::free(m_sections[m_sectionsRead].Data);
    m_sections[m_sectionsRead] = Section{};
}

int CRasterExifInfo::BytesPerFormat(int format)
{
    return format >= 0 && format <= kNumFormats ? kBytesPerFormat[format] : 0;
}

int CRasterExifInfo::ReadBig16(const BYTE* p)
{
    return (p[0] << 8) | p[1];
}

int CRasterExifInfo::Read16(const BYTE* p) const
{
    return m_motorolaOrder ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
}

LONG CRasterExifInfo::Read32(const BYTE* p) const
{
    const std::uint32_t v = m_motorolaOrder
                                ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3]
                                : (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    return LONG(v);
}

double CRasterExifInfo::ConvertValue(const BYTE* value, int format) const
{
    switch (format) {
    case 1: return double(value[0]);
    case 3: return double(WORD(Read16(value)));
    case 4: return double(DWORD(Read32(value)));
    case 5:
    case 10: {
        const LONG num = Read32(value), den = Read32(value + 4);
        return den == 0 ? 0.0 : double(num) / double(den);
    }
    case 6: return double(static_cast<signed char>(value[0]));
    case 8: return double(static_cast<short>(Read16(value)));
    case 9: return double(Read32(value));
    case 11: {
        // Little-endian whatever the header says.
        std::uint32_t bits = std::uint32_t(value[0]) | (std::uint32_t(value[1]) << 8) |
                             (std::uint32_t(value[2]) << 16) | (std::uint32_t(value[3]) << 24);
        float f;
        std::memcpy(&f, &bits, 4);
        return double(f);
    }
    case 12: {
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | value[i];
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    default: return 0.0;
    }
}

bool CRasterExifInfo::ReadSegments(CRasterFile* stream, int mode)
{
    if (!stream || !m_info)
        return false;
    if (stream->GetC() != 0xFF || stream->GetC() != 0xD8)
        return false;
    bool haveComment = false;
    while (m_sectionsRead < MAX_SECTIONS) {
        LONG marker = 0;
        for (int a = 0;; ++a) {
            marker = stream->GetC();
            if (marker != 0xFF)
                break;
            if (a >= 6) {
                std::printf("too many padding bytes\n");
                return false;
            }
        }
        if (marker < 0) {
            SetError("Premature end of file?");
            return false;
        }
        const LONG hi = stream->GetC(), lo = stream->GetC();
        if (hi < 0 || lo < 0) {
            SetError("Premature end of file?");
            return false;
        }
        const DWORD length = DWORD((hi << 8) | lo);
        if (length < 2) {
            SetError("invalid marker");
            return false;
        }
        BYTE* data = static_cast<BYTE*>(std::malloc(length));
        if (!data) {
            SetError("Could not allocate memory");
            return false;
        }
        Section& s = m_sections[m_sectionsRead];
        s.Data = data;
        s.Type = int(marker);
        s.Size = length;
        ++m_sectionsRead;
        data[0] = BYTE(hi);
        data[1] = BYTE(lo);
        if (stream->Read(data + 2, 1, length - 2) != length - 2) {
            SetError("Premature end of file?");
            return false;
        }

        switch (marker) {
        case M_SOS:
            if (mode & EXIF_READ_IMAGE) {
                const LONG here = stream->Tell();
                stream->Seek(0, SEEK_END);
                const LONG end = stream->Tell();
                stream->Seek(here, SEEK_SET);
                const DWORD size = end > here ? DWORD(end - here) : 0;
                BYTE* rest = static_cast<BYTE*>(std::malloc(size ? size : 1));
                if (!rest) {
                    SetError("could not allocate data for entire image");
                    return false;
                }
                Section& img = m_sections[m_sectionsRead];
                img.Data = rest;
                img.Type = M_IMAGE_DATA;
                img.Size = size;
                ++m_sectionsRead;
                if (stream->Read(rest, 1, size) != size) {
                    SetError("could not read the rest of the image");
                    return false;
                }
            }
            return true;
        case M_EOI:
            std::printf("No image in jpeg!\n");
            return false;
        case M_COM:
            if ((mode & EXIF_READ_EXIF) && !haveComment) {
                ReadComment(data, length);
                haveComment = true;
            } else {
                DropLast();
            }
            break;
        case M_JFIF:
            DropLast();
            break;
        case M_EXIF:
            if ((mode & EXIF_READ_EXIF) && length >= 6 && std::memcmp(data + 2, "Exif", 4) == 0) {
                m_info->IsExif = ReadExifSegment(data + 2, length - 2);
            } else {
                DropLast();
            }
            break;
        default:
            if (IsFrameMarker(int(marker)))
                ReadFrameHeader(data, length, int(marker));
            break;
        }
    }
    SetError("Too many sections in jpg file");
    return false;
}

void CRasterExifInfo::ReadComment(const BYTE* segment, DWORD length)
{
    const DWORD end = length < 1000 ? length : 1000;
    char out[1000];
    std::size_t n = 0;
    for (DWORD a = 2; a < end; ++a) {
        const BYTE c = segment[a];
        if (c == '\r' && a + 1 < end && segment[a + 1] == '\n')
            continue;
        out[n++] = (std::isprint(c) || c == '\n' || c == '\t') ? char(c) : '?';
    }
    out[n] = 0; // at most 998 characters: positions 2 to 999
    std::memcpy(m_info->Comments, out, n + 1);
}

void CRasterExifInfo::ReadFrameHeader(const BYTE* segment, DWORD length, int marker)
{
    // Frame header: length (2), precision (1), height (2), width (2), components (1).
    if (length < 8)
        return;
    m_info->Height = ReadBig16(segment + 3);
    m_info->Width = ReadBig16(segment + 5);
    m_info->IsColor = segment[7] == 3 ? 1 : 0;
    m_info->Process = marker;
}

bool CRasterExifInfo::ReadExifSegment(BYTE* p, DWORD length)
{
    m_info->FlashUsed = 0;
    m_info->Comments[0] = 0;
    m_exifImageWidth = 0;
    m_directoriesRead = 0;

    static const BYTE kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (length < 6 || std::memcmp(p, kExifHeader, 6) != 0) {
        SetError("Incorrect Exif header");
        return false;
    }
    if (length < 14) {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (std::memcmp(p + 6, "II", 2) == 0) {
        m_motorolaOrder = 0;
    } else if (std::memcmp(p + 6, "MM", 2) == 0) {
        m_motorolaOrder = 1;
    } else {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (Read16(p + 8) != 0x2A) {
        SetError("Invalid Exif start (1)");
        return false;
    }
    const DWORD firstOffset = DWORD(Read32(p + 10));
    const BYTE* base = p + 6;
    const DWORD tiffLength = length - 6;
    const BYTE* lastReferenced = nullptr;
    if (!ReadDirectory(p + 14, base, tiffLength, m_info, &lastReferenced))
        return false;
    if (firstOffset > 8) {
        if (firstOffset >= tiffLength) {
            SetError("Illegal subdirectory link");
            return false;
        }
        if (!ReadDirectory(base + firstOffset, base, tiffLength, m_info, &lastReferenced))
            return false;
    }
    if (m_info->FocalplaneXRes != 0)
        m_info->CCDWidth = float(double(m_exifImageWidth) * m_info->FocalplaneUnits / m_info->FocalplaneXRes);
    return true;
}

bool CRasterExifInfo::ReadDirectory(const BYTE* dir, const BYTE* base, DWORD length, ExifData* info,
                                    const BYTE** lastReferenced, int depth)
{
    if (++m_directoriesRead > MAX_DIRECTORIES || depth > kMaxDepth) {
        SetError("Too many EXIF directories");
        return false;
    }
    const std::uint64_t dirOffset = std::uint64_t(dir - base);
    if (dir < base || dirOffset + 2 > length) {
        SetError("Illegally sized directory");
        return false;
    }
    const int numEntries = Read16(dir);
    const std::uint64_t entriesEnd = dirOffset + 2 + 12 * std::uint64_t(numEntries);
    if (entriesEnd > length) {
        SetError("Illegally sized directory");
        return false;
    }

    DWORD thumbnailOffset = 0, thumbnailSize = 0;
    for (int de = 0; de < numEntries; ++de) {
        const BYTE* entry = dir + 2 + 12 * de;
        const int tag = Read16(entry);
        const int format = Read16(entry + 2);
        const DWORD components = DWORD(Read32(entry + 4));
        if (format > kNumFormats) {
            SetError("Illegal format code in EXIF dir");
            return false;
        }
        const std::uint64_t byteCount = std::uint64_t(components) * kBytesPerFormat[format];
        const BYTE* value;
        if (byteCount > 4) {
            const DWORD offset = DWORD(Read32(entry + 8));
            if (std::uint64_t(offset) + byteCount > length) {
                SetError("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = base + offset;
        } else {
            value = entry + 8;
        }
        if (lastReferenced && value + byteCount > *lastReferenced)
            *lastReferenced = value + byteCount;

        // Numbers need one whole component; an entry without one reads as 0.
        const bool hasNumber = byteCount >= std::uint64_t(kBytesPerFormat[format]) && format != 0 && components > 0;
        const double v = hasNumber ? ConvertValue(value, format) : 0.0;

        switch (tag) {
        case TAG_MAKE: CopyText(info->CameraMake, 31, value, byteCount); break;
        case TAG_MODEL: CopyText(info->CameraModel, 39, value, byteCount); break;
        case TAG_DATETIME_ORIGINAL: CopyText(info->DateTime, 19, value, byteCount); break;
        case TAG_EXIF_VERSION: {
            const std::size_t n = byteCount < 4 ? std::size_t(byteCount) : 4;
            std::memcpy(info->Version, value, n);
            info->Version[n] = 0;
            break;
        }
        case TAG_ORIENTATION:
            info->Orientation = ToLong(v);
            if (info->Orientation < 1 || info->Orientation > 8) {
                SetError("Undefined rotation value");
                info->Orientation = 0;
            }
            break;
        case TAG_USERCOMMENT: {
            std::vector<char> text(value, value + byteCount);
            text.push_back(0);
            for (std::size_t a = std::size_t(byteCount); a-- > 0;) {
                if (text[a] != ' ')
                    break;
                text[a] = 0;
            }
            const char* from = nullptr;
            if (byteCount >= 5 && std::memcmp(text.data(), "ASCII", 5) == 0) {
                for (std::size_t a = 5; a < 10 && a < byteCount; ++a)
                    if (text[a] != 0 && text[a] != ' ') {
                        from = text.data() + a;
                        break;
                    }
            } else {
                from = text.data();
            }
            if (from) {
                std::size_t n = 0;
                while (n < 199 && from[n])
                    ++n;
                std::memcpy(info->Comments, from, n);
                info->Comments[n] = 0;
            }
            break;
        }
        case TAG_FNUMBER: info->ApertureFNumber = float(v); break;
        case TAG_APERTURE:
        case TAG_MAXAPERTURE:
            if (info->ApertureFNumber == 0)
                info->ApertureFNumber = float(std::exp(v * std::log(2.0) * 0.5));
            break;
        case TAG_BRIGHTNESS: info->Brightness = float(v); break;
        case TAG_FOCALLENGTH: info->FocalLength = float(v); break;
        case TAG_SUBJECT_DISTANCE: info->Distance = float(v); break;
        case TAG_EXPOSURETIME: info->ExposureTime = float(v); break;
        case TAG_SHUTTERSPEED:
            if (info->ExposureTime == 0)
                info->ExposureTime = float(1.0 / std::exp(v * std::log(2.0)));
            break;
        case TAG_FLASH: info->FlashUsed = (ToLong(v) & 7) ? 1 : 0; break;
        case TAG_EXIF_IMAGELENGTH:
        case TAG_EXIF_IMAGEWIDTH: {
            const LONG a = ToLong(v);
            if (m_exifImageWidth < a)
                m_exifImageWidth = a;
            break;
        }
        case TAG_FOCALPLANEXRES: info->FocalplaneXRes = float(v); break;
        case TAG_FOCALPLANEYRES: info->FocalplaneYRes = float(v); break;
        case TAG_RESOLUTIONUNIT: UnitValue(ToLong(v), info->ResolutionUnit); break;
        case TAG_FOCALPLANEUNITS: UnitValue(ToLong(v), info->FocalplaneUnits); break;
        case TAG_EXPOSURE_BIAS: info->ExposureBias = float(v); break;
        case TAG_WHITEBALANCE: info->Whitebalance = ToLong(v); break;
        case TAG_METERING_MODE: info->MeteringMode = ToLong(v); break;
        case TAG_EXPOSURE_PROGRAM: info->ExposureProgram = ToLong(v); break;
        case TAG_ISO_EQUIVALENT:
            info->ISOequivalent = ToLong(v);
            if (info->ISOequivalent < 50)
                info->ISOequivalent = ToLong(double(info->ISOequivalent) * 200);
            break;
        case TAG_COMPRESSION_LEVEL: info->CompressionLevel = ToLong(v); break;
        case TAG_XRESOLUTION: info->Xresolution = float(v); break;
        case TAG_YRESOLUTION: info->Yresolution = float(v); break;
        case TAG_THUMBNAIL_OFFSET: thumbnailOffset = DWORD(ToLong(v)); break;
        case TAG_THUMBNAIL_LENGTH: thumbnailSize = DWORD(ToLong(v)); break;
        default: break;
        }

        if ((tag == TAG_EXIF_OFFSET || tag == TAG_INTEROP_OFFSET) && byteCount >= 4) {
            const DWORD offset = DWORD(Read32(value));
            if (offset > 8) {
                if (offset >= length) {
                    SetError("Illegal subdirectory link");
                    return false;
                }
                ReadDirectory(base + offset, base, length, info, lastReferenced, depth + 1);
            }
        }
    }

    // The link to the next directory follows the entries when the block holds it.
    if (entriesEnd + 4 <= length) {
        const DWORD offset = DWORD(Read32(dir + 2 + 12 * numEntries));
        if (offset) {
            if (offset >= length) {
                SetError("Illegal subdirectory link");
                return false;
            }
            ReadDirectory(base + offset, base, length, info, lastReferenced, depth + 1);
        }
    }

    if (thumbnailOffset && thumbnailSize && std::uint64_t(thumbnailOffset) + thumbnailSize <= length) {
        info->ThumbnailPointer = base + thumbnailOffset;
        info->ThumbnailSize = thumbnailSize;
    }
    return true;
}

void CRasterExifInfo::KeepExifOnly()
{
    int exifAt = -1, commentAt = -1;
    for (int a = 0; a < m_sectionsRead; ++a) {
        if (m_sections[a].Type == M_EXIF && exifAt < 0)
            exifAt = a;
        if (m_sections[a].Type == M_COM && commentAt < 0)
            commentAt = a;
    }
    Section kept[2];
    int n = 0;
    if (exifAt >= 0)
        kept[n++] = m_sections[exifAt];
    if (commentAt >= 0)
        kept[n++] = m_sections[commentAt];
    for (int a = 0; a < m_sectionsRead; ++a)
        if (a != exifAt && a != commentAt)
            std::free(m_sections[a].Data);
    for (Section& s : m_sections)
        s = Section{};
    for (int a = 0; a < n; ++a)
        m_sections[a] = kept[a];
    m_sectionsRead = n;
}

CRasterExifInfo::Section* CRasterExifInfo::FindSegment(int marker)
{
    for (int a = 0; a < m_sectionsRead - 1; ++a)
        if (m_sections[a].Type == marker)
            return &m_sections[a];
    return nullptr;
}

bool CRasterExifInfo::WriteSegments(CRasterFile* stream)
{
    if (!stream || !FindSegment(M_SOS)) {
        SetError("Can't write exif : didn't read all");
        return false;
    }
    static const BYTE kSoi[2] = {0xFF, 0xD8};
    static const BYTE kJfif[18] = {0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00,
                                   0x01, 0x01, 0x01, 0x01, 0x2C, 0x01, 0x2C, 0x00, 0x00};
    bool ok = stream->Write(kSoi, 1, 2) == 2;
    if (m_sections[0].Type != M_EXIF && m_sections[0].Type != M_JFIF)
        ok = ok && stream->Write(kJfif, 1, 18) == 18;
    for (int a = 0; a < m_sectionsRead - 1; ++a) {
        const BYTE head[2] = {0xFF, BYTE(m_sections[a].Type)};
        ok = ok && stream->Write(head, 1, 2) == 2;
        ok = ok && stream->Write(m_sections[a].Data, 1, m_sections[a].Size) == m_sections[a].Size;
    }
    const Section& last = m_sections[m_sectionsRead - 1];
    ok = ok && (last.Size == 0 || stream->Write(last.Data, 1, last.Size) == last.Size);
    return ok;
}

#pragma once
// Helpers of the PNG, JPEG and EXIF tests: hand-built PNG files, memory round trips through the
// codec entry points, and running the installed image tools on temporary files.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "ImageTestUtil.h"
#include "InteropTools.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace pjtest {

using Bytes = std::vector<BYTE>;

inline void Put32(Bytes& out, std::uint32_t v)
{
    out.insert(out.end(), {BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)});
}

// Builds PNG files chunk by chunk; image data is given as unfiltered rows (a filter byte 0 is put
// in front of each) or as the raw bytes to compress.
class PngBuilder {
public:
    explicit PngBuilder(std::uint32_t w, std::uint32_t h, int depth, int colorType, int interlace = 0)
    {
        out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Bytes ihdr;
        Put32(ihdr, w);
        Put32(ihdr, h);
        ihdr.insert(ihdr.end(), {BYTE(depth), BYTE(colorType), 0, 0, BYTE(interlace)});
        Chunk("IHDR", ihdr);
    }
    PngBuilder& Chunk(const char* type, const Bytes& data)
    {
        Put32(out, std::uint32_t(data.size()));
        const std::size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        Put32(out, std::uint32_t(crc32(0, &out[start], uInt(out.size() - start))));
        return *this;
    }
    // Rows of packed pixels, top row first.
    PngBuilder& Rows(const std::vector<Bytes>& rows)
    {
        Bytes raw;
        for (const Bytes& r : rows) {
            raw.push_back(0);
            raw.insert(raw.end(), r.begin(), r.end());
        }
        return Data(raw);
    }
    PngBuilder& Data(const Bytes& raw)
    {
        uLongf size = compressBound(uLong(raw.size()));
        Bytes z(size);
        compress(z.data(), &size, raw.data(), uLong(raw.size()));
        z.resize(size);
        return Chunk("IDAT", z);
    }
    Bytes End()
    {
        Chunk("IEND", {});
        return out;
    }
    Bytes out;
};

// The chunks of a PNG file as (type, data).
inline std::vector<std::pair<std::string, Bytes>> PngChunks(const Bytes& f)
{
    std::vector<std::pair<std::string, Bytes>> chunks;
    std::size_t pos = 8;
    while (pos + 12 <= f.size()) {
        const std::uint32_t len = std::uint32_t(f[pos]) << 24 | std::uint32_t(f[pos + 1]) << 16 |
                                  std::uint32_t(f[pos + 2]) << 8 | f[pos + 3];
        if (pos + 12 + len > f.size())
            break;
        chunks.emplace_back(std::string(f.begin() + pos + 4, f.begin() + pos + 8),
                            Bytes(f.begin() + pos + 8, f.begin() + pos + 8 + len));
        pos += 12 + len;
    }
    return chunks;
}

inline Bytes ChunkData(const Bytes& f, const std::string& type)
{
    for (auto& c : PngChunks(f))
        if (c.first == type)
            return c.second;
    return {};
}

inline bool HasChunk(const Bytes& f, const std::string& type)
{
    for (auto& c : PngChunks(f))
        if (c.first == type)
            return true;
    return false;
}

using imagetest::EncodeBytes;

inline bool DecodeBytes(CRasterImage& img, const Bytes& f, DWORD type)
{
    return img.Decode(f.data(), DWORD(f.size()), type);
}

// ---- tools ----

using interop::Convert;
using interop::FindTool;
using interop::ParsePnm;
using interop::Pnm;
using interop::ReadFile;
using interop::Shell;
using interop::WriteFile;
using imagetest::TopDownPixels;

// A fresh folder for one test's files.
inline std::string TempDir(const std::string& name)
{
    const std::string dir = std::filesystem::temp_directory_path().string() + "/vantrel_" + name + "_" +
                            std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    return dir;
}

// Runs cmd, which writes a PNM to out, and reads it.
inline bool ToolPnm(const std::string& cmd, const std::string& out, Pnm& pnm)
{
    return Shell(cmd) && ParsePnm(ReadFile(out), pnm);
}

// The alpha plane as a tool lists it (rows from the top).
inline std::vector<std::uint32_t> TopDownAlpha(const CRasterImage& img)
{
    std::vector<std::uint32_t> out;
    const LONG w = LONG(img.GetWidth()), h = LONG(img.GetHeight());
    for (LONG y = h - 1; y >= 0; --y)
        for (LONG x = 0; x < w; ++x)
            out.push_back(std::uint32_t(img.AlphaGet(x, y)) * 0x010101u);
    return out;
}

// Largest difference of one colour component between two pixel lists of equal length, and the mean.
inline void ComponentError(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int& maxDiff,
                           double& meanDiff)
{
    maxDiff = 0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        for (int s = 0; s < 24; s += 8) {
            const int d = std::abs(int((a[i] >> s) & 255) - int((b[i] >> s) & 255));
            maxDiff = d > maxDiff ? d : maxDiff;
            sum += d;
        }
    meanDiff = a.empty() ? 0 : sum / (3.0 * double(a.size()));
}

// A 24-bit picture with smooth gradients and a few edges (photograph-like, so lossy coding stays close).
inline void FillPhoto(CRasterImage& img, LONG w, LONG h)
{
    img.Create(w, h, 24, 0);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x) {
            const bool disc = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < (h / 3) * (h / 3);
            img.SetPixelColor(x, y, RGBQUAD{BYTE(disc ? 40 : 200 - y * 150 / h), BYTE(x * 255 / w),
                                            BYTE(disc ? 220 : 60 + y * 100 / h), 0});
        }
}

// ---- EXIF ----

struct ExifEntry {
    WORD tag;
    WORD format;
    DWORD count;
    Bytes value; // already in the block's byte order
};

// Builds APP1 payloads ("Exif", two zero bytes, a TIFF header and directories) in either byte order.
class ExifBuilder {
public:
    explicit ExifBuilder(bool motorola) : mm(motorola) {}
    Bytes U16(unsigned v) const { return mm ? Bytes{BYTE(v >> 8), BYTE(v)} : Bytes{BYTE(v), BYTE(v >> 8)}; }
    Bytes U32(std::uint32_t v) const
    {
        return mm ? Bytes{BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)}
                  : Bytes{BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
    }
    Bytes Rational(std::uint32_t n, std::uint32_t d) const
    {
        Bytes b = U32(n), c = U32(d);
        b.insert(b.end(), c.begin(), c.end());
        return b;
    }
    ExifEntry Short(WORD tag, unsigned v) const { return {tag, 3, 1, U16(v)}; }
    ExifEntry Long(WORD tag, std::uint32_t v) const { return {tag, 4, 1, U32(v)}; }
    ExifEntry Rat(WORD tag, std::uint32_t n, std::uint32_t d) const { return {tag, 5, 1, Rational(n, d)}; }
    static ExifEntry Text(WORD tag, const std::string& s) { return {tag, 2, DWORD(s.size() + 1), TextBytes(s)}; }
    static Bytes TextBytes(const std::string& s)
    {
        Bytes b(s.begin(), s.end());
        b.push_back(0);
        return b;
    }
    static ExifEntry Undefined(WORD tag, const Bytes& b) { return {tag, 7, DWORD(b.size()), b}; }

    // IFD0 with its entries, and (when sub is not empty) an EXIF sub-directory linked from it.
    Bytes Payload(std::vector<ExifEntry> ifd0, const std::vector<ExifEntry>& sub = {}) const
    {
        Bytes tiff = mm ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
        Append(tiff, U16(0x2A));
        Append(tiff, U32(8));
        if (!sub.empty())
            ifd0.push_back(Long(0x8769, 0)); // patched below
        const std::size_t subAt = 8 + DirSize(ifd0);
        if (!sub.empty())
            ifd0.back().value = U32(std::uint32_t(subAt));
        Dir(tiff, ifd0);
        if (!sub.empty())
            Dir(tiff, sub);
        Bytes out = {'E', 'x', 'i', 'f', 0, 0};
        Append(out, tiff);
        return out;
    }

private:
    static void Append(Bytes& a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); }
    static std::size_t DirSize(const std::vector<ExifEntry>& d)
    {
        std::size_t n = 2 + 12 * d.size() + 4;
        for (const ExifEntry& e : d)
            if (e.value.size() > 4)
                n += e.value.size();
        return n;
    }
    // Appends a directory (entries, a zero next link, then the values longer than 4 bytes).
    void Dir(Bytes& tiff, const std::vector<ExifEntry>& d) const
    {
        const std::size_t at = tiff.size();
        std::size_t dataAt = at + 2 + 12 * d.size() + 4;
        Bytes data;
        Append(tiff, U16(unsigned(d.size())));
        for (const ExifEntry& e : d) {
            Append(tiff, U16(e.tag));
            Append(tiff, U16(e.format));
            Append(tiff, U32(e.count));
            if (e.value.size() > 4) {
                Append(tiff, U32(std::uint32_t(dataAt + data.size())));
                Append(data, e.value);
            } else {
                Bytes v = e.value;
                v.resize(4, 0);
                Append(tiff, v);
            }
        }
        Append(tiff, U32(0));
        Append(tiff, data);
    }
    bool mm;
};

// A segment: 0xFF, the marker, the big-endian length and the payload.
inline Bytes Segment(BYTE marker, const Bytes& payload)
{
    const std::size_t len = payload.size() + 2;
    Bytes s = {0xFF, marker, BYTE(len >> 8), BYTE(len)};
    s.insert(s.end(), payload.begin(), payload.end());
    return s;
}

// The JPEG file with the segments put in after its first segment (the JFIF header of our files).
inline Bytes InsertSegments(const Bytes& jpeg, const std::vector<Bytes>& segments)
{
    const std::size_t firstEnd = 4 + ((std::size_t(jpeg[4]) << 8) | jpeg[5]);
    Bytes out(jpeg.begin(), jpeg.begin() + firstEnd);
    for (const Bytes& s : segments)
        out.insert(out.end(), s.begin(), s.end());
    out.insert(out.end(), jpeg.begin() + firstEnd, jpeg.end());
    return out;
}

} // namespace pjtest

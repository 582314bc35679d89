// The plain members of the JPEG 2000 family: PNM (P1 to P6), PGX and Sun raster, read into and
// written from components. Every count from a header is checked against the bytes the stream still
// holds before anything is allocated.
#include "image/CRasterFile.h"
#include "image/CRasterJpeg2000Formats.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace jas {
namespace {

// Buffered byte reader over a stream; get() is -1 at the end.
class ByteReader {
public:
    explicit ByteReader(CRasterFile& f) : m_f(f)
    {
        const LONG size = f.Size(), pos = f.Tell();
        m_left = size > pos && pos >= 0 ? std::uint64_t(size - pos) : 0;
    }
    int get()
    {
        if (m_pos == m_fill && !Refill())
            return -1;
        return m_buf[m_pos++];
    }
    int peek()
    {
        if (m_pos == m_fill && !Refill())
            return -1;
        return m_buf[m_pos];
    }
    bool read(BYTE* dst, std::size_t n)
    {
        while (n) {
            if (m_pos == m_fill && !Refill())
                return false;
            std::size_t take = std::min(n, m_fill - m_pos);
            std::memcpy(dst, m_buf + m_pos, take);
            m_pos += take;
            dst += take;
            n -= take;
        }
        return true;
    }
    // Bytes not read yet, as far as the stream knows its size.
    std::uint64_t remaining() const { return m_left + (m_fill - m_pos); }

private:
    bool Refill()
    {
        m_pos = 0;
        m_fill = m_f.Read(m_buf, 1, sizeof m_buf);
        m_left = m_left > m_fill ? m_left - m_fill : 0;
        return m_fill > 0;
    }
    CRasterFile& m_f;
    BYTE m_buf[16384];
    std::size_t m_pos = 0;
    std::size_t m_fill = 0;
    std::uint64_t m_left = 0;
};

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Skips white space and '#' comments (to the end of their line).
void SkipSpace(ByteReader& in, bool comments)
{
    for (;;) {
        const int c = in.peek();
        if (IsSpace(c)) {
            in.get();
        } else if (comments && c == '#') {
            int d;
            while ((d = in.get()) >= 0 && d != '\n' && d != '\r') {
            }
        } else {
            return;
        }
    }
}

// A decimal number after optional white space; false without digits or above the limit.
bool ReadNumber(ByteReader& in, std::uint64_t& value, std::uint64_t limit, bool comments = true)
{
    SkipSpace(in, comments);
    int c = in.peek();
    if (c < '0' || c > '9')
        return false;
    value = 0;
    while ((c = in.peek()) >= '0' && c <= '9') {
        in.get();
        value = value * 10 + unsigned(c - '0');
        if (value > limit)
            return false;
    }
    return true;
}

int BitsFor(std::uint64_t maxval)
{
    int bits = 0;
    while (maxval) {
        ++bits;
        maxval >>= 1;
    }
    return bits;
}

using Wide = unsigned __int128;

// Sizes every component, refusing more samples than an image may hold or than the data can carry
// (required: the fewest bytes the file needs for them).
bool Shape(ComponentImage& out, std::size_t count, std::uint64_t w, std::uint64_t h, int prec, bool sgnd,
           std::uint64_t available, Wide required)
{
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF)
        return false;
    const std::uint64_t samples = w * h * count;
    if (samples > kMaxSamples || required > available)
        return false;
    out.comps.clear();
    out.comps.resize(count);
    for (Component& c : out.comps) {
        c.prec = prec;
        c.sgnd = sgnd;
        c.Allocate(DWORD(w), DWORD(h));
    }
    return true;
}

bool Put(CRasterFile& f, const void* data, std::size_t n)
{
    return n == 0 || f.Write(data, 1, DWORD(n)) == n;
}

bool PutText(CRasterFile& f, const std::string& s)
{
    return Put(f, s.data(), s.size());
}

std::uint32_t Be32(const BYTE* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void PutBe32(BYTE* p, std::uint32_t v)
{
    p[0] = BYTE(v >> 24);
    p[1] = BYTE(v >> 16);
    p[2] = BYTE(v >> 8);
    p[3] = BYTE(v);
}

bool Interleaved(const ComponentImage& in, std::vector<BYTE>& row, DWORD y, bool bgr)
{
    const DWORD w = in.comps[0].width;
    const std::size_t n = in.comps.size();
    const std::size_t base = std::size_t(y) * w;
    for (DWORD x = 0; x < w; ++x)
        for (std::size_t k = 0; k < n; ++k)
            row[x * n + k] = BYTE(in.comps[bgr ? n - 1 - k : k].data[base + x]);
    return true;
}

constexpr std::uint32_t kRasMagic = 0x59A66A95;
constexpr std::uint32_t kRasOld = 0, kRasStandard = 1, kRasByteEncoded = 2, kRasRgb = 3;
constexpr std::uint32_t kRasNoMap = 0, kRasEqualRgb = 1;

} // namespace

bool ReadPnm(CRasterFile& f, ComponentImage& out)
{
    ByteReader in(f);
    if (in.get() != 'P')
        return false;
    const int kind = in.get() - '0';
    if (kind < 1 || kind > 6)
        return false;
    std::uint64_t w = 0, h = 0, maxval = 1;
    if (!ReadNumber(in, w, 0x7FFFFFFF) || !ReadNumber(in, h, 0x7FFFFFFF))
        return false;
    const bool bitmap = kind == 1 || kind == 4;
    if (!bitmap && (!ReadNumber(in, maxval, 65535) || maxval == 0))
        return false;
    const bool raw = kind >= 4;
    const std::size_t count = (kind == 3 || kind == 6) ? 3 : 1;
    if (raw && !IsSpace(in.get())) // exactly one white space character before the data
        return false;
    const int prec = bitmap ? 1 : BitsFor(maxval);
    const Wide required = kind == 4 ? Wide((w + 7) / 8) * h : Wide(w) * h * count * (raw && maxval > 255 ? 2 : 1);
    if (!Shape(out, count, w, h, prec, false, in.remaining(), required))
        return false;
    out.space = count == 3 ? ColorSpace::Srgb : ColorSpace::Gray;

    std::vector<BYTE> row;
    for (std::uint64_t y = 0; y < h; ++y) {
        const std::size_t base = std::size_t(y * w);
        if (kind == 4) {
            row.resize(std::size_t((w + 7) / 8));
            if (!in.read(row.data(), row.size()))
                return false;
            for (std::uint64_t x = 0; x < w; ++x) // a set bit is black
                out.comps[0].Samples()[base + x] = ((row[x / 8] >> (7 - x % 8)) & 1) ? 0 : 1;
        } else if (raw) {
            const std::size_t bytes = maxval > 255 ? 2 : 1;
            row.resize(std::size_t(w) * count * bytes);
            if (!in.read(row.data(), row.size()))
                return false;
            for (std::uint64_t x = 0; x < w; ++x)
                for (std::size_t k = 0; k < count; ++k) {
                    const BYTE* p = &row[(x * count + k) * bytes];
                    std::uint32_t v = bytes == 2 ? (std::uint32_t(p[0]) << 8 | p[1]) : p[0];
                    out.comps[k].Samples()[base + x] = std::int32_t(v > maxval ? maxval : v);
                }
        } else {
            for (std::uint64_t x = 0; x < w; ++x)
                for (std::size_t k = 0; k < count; ++k) {
                    std::uint64_t v = 0;
                    if (kind == 1) { // plain bitmap digits need no separator
                        SkipSpace(in, true);
                        const int c = in.get();
                        if (c != '0' && c != '1')
                            return false;
                        v = c == '1' ? 0 : 1;
                    } else if (!ReadNumber(in, v, 0xFFFFFFFF)) {
                        return false;
                    }
                    out.comps[k].Samples()[base + x] = std::int32_t(v > maxval ? maxval : v);
                }
        }
    }
    return true;
}

bool ReadPgx(CRasterFile& f, ComponentImage& out)
{
    ByteReader in(f);
    if (in.get() != 'P' || in.get() != 'G')
        return false;
    SkipSpace(in, false);
    const int e1 = in.get(), e2 = in.get();
    bool bigEndian;
    if (e1 == 'M' && e2 == 'L')
        bigEndian = true;
    else if (e1 == 'L' && e2 == 'M')
        bigEndian = false;
    else
        return false;
    SkipSpace(in, false);
    bool sgnd = false;
    if (in.peek() == '+' || in.peek() == '-')
        sgnd = in.get() == '-';
    std::uint64_t prec = 0, w = 0, h = 0;
    if (!ReadNumber(in, prec, 31, false) || prec == 0 || !ReadNumber(in, w, 0x7FFFFFFF, false) ||
        !ReadNumber(in, h, 0x7FFFFFFF, false) || !IsSpace(in.get()))
        return false;
    const std::size_t bytes = std::size_t((prec + 7) / 8);
    if (!Shape(out, 1, w, h, int(prec), sgnd, in.remaining(), Wide(w) * h * bytes))
        return false;
    out.space = ColorSpace::Gray;
    std::vector<BYTE> row(std::size_t(w) * bytes);
    for (std::uint64_t y = 0; y < h; ++y) {
        if (!in.read(row.data(), row.size()))
            return false;
        std::int32_t* dst = out.comps[0].Samples() + y * w;
        for (std::uint64_t x = 0; x < w; ++x) {
            std::uint32_t v = 0;
            for (std::size_t b = 0; b < bytes; ++b) {
                const BYTE byte = row[x * bytes + (bigEndian ? b : bytes - 1 - b)];
                v = (v << 8) | byte;
            }
            v &= (prec >= 32 ? 0xFFFFFFFFu : ((1u << prec) - 1));
            std::int64_t s = v;
            if (sgnd && (v >> (prec - 1)) & 1)
                s -= std::int64_t(1) << prec;
            dst[x] = std::int32_t(s);
        }
    }
    return true;
}

bool ReadRas(CRasterFile& f, ComponentImage& out)
{
    ByteReader in(f);
    BYTE head[32];
    if (!in.read(head, sizeof head) || Be32(head) != kRasMagic)
        return false;
    const std::uint64_t w = Be32(head + 4), h = Be32(head + 8), depth = Be32(head + 12);
    const std::uint32_t type = Be32(head + 20), mapType = Be32(head + 24), mapLength = Be32(head + 28);
    if (depth != 1 && depth != 8 && depth != 24 && depth != 32)
        return false;
    if (type != kRasOld && type != kRasStandard && type != kRasByteEncoded && type != kRasRgb)
        return false;
    if (mapLength > in.remaining() || mapLength > 3 * 256)
        return false;
    std::vector<BYTE> map(mapLength);
    if (!in.read(map.data(), map.size()))
        return false;
    const bool mapped = mapType == kRasEqualRgb && mapLength >= 3 && depth <= 8;
    const std::size_t mapEntries = mapLength / 3;
    if (mapType != kRasNoMap && mapType != kRasEqualRgb && mapType != 2)
        return false;

    if (w == 0 || h == 0)
        return false;
    const std::uint64_t stride = ((w * depth + 15) / 16) * 2;
    const std::size_t count = (mapped || depth >= 24) ? 3 : 1;
    // A run of three bytes gives at most 256 bytes of data.
    const Wide data = Wide(stride) * h;
    const Wide required = type == kRasByteEncoded ? (data * 3 + 255) / 256 : data;
    if (!Shape(out, count, w, h, depth == 1 && !mapped ? 1 : 8, false, in.remaining(), required))
        return false;
    out.space = count == 3 ? ColorSpace::Srgb : ColorSpace::Gray;

    std::vector<BYTE> row(static_cast<std::size_t>(stride));
    int runByte = 0, runLeft = 0;
    for (std::uint64_t y = 0; y < h; ++y) {
        if (type == kRasByteEncoded) {
            for (BYTE& b : row) {
                if (runLeft == 0) {
                    int c = in.get();
                    if (c < 0)
                        return false;
                    if (c == 0x80) {
                        const int n = in.get();
                        if (n < 0)
                            return false;
                        if (n == 0) {
                            runByte = 0x80;
                            runLeft = 1;
                        } else {
                            runByte = in.get();
                            if (runByte < 0)
                                return false;
                            runLeft = n + 1;
                        }
                    } else {
                        runByte = c;
                        runLeft = 1;
                    }
                }
                b = BYTE(runByte);
                --runLeft;
            }
        } else if (!in.read(row.data(), row.size())) {
            return false;
        }
        const std::size_t base = std::size_t(y * w);
        for (std::uint64_t x = 0; x < w; ++x) {
            const std::size_t i = base + std::size_t(x);
            if (depth >= 24) {
                const BYTE* p = &row[std::size_t(x * (depth / 8)) + (depth == 32 ? 1 : 0)];
                const bool rgbOrder = type == kRasRgb;
                out.comps[0].Samples()[i] = rgbOrder ? p[0] : p[2];
                out.comps[1].Samples()[i] = p[1];
                out.comps[2].Samples()[i] = rgbOrder ? p[2] : p[0];
                continue;
            }
            const unsigned index = depth == 8 ? row[std::size_t(x)] : (row[std::size_t(x / 8)] >> (7 - x % 8)) & 1;
            if (mapped) {
                for (std::size_t k = 0; k < 3; ++k)
                    out.comps[k].Samples()[i] = index < mapEntries ? map[k * mapEntries + index] : 0;
            } else {
                out.comps[0].Samples()[i] = depth == 1 ? (index ? 0 : 1) : std::int32_t(index); // a set bit is black
            }
        }
    }
    return true;
}

bool WritePnm(CRasterFile& f, const ComponentImage& in)
{
    const Component& c0 = in.comps[0];
    const bool colour = in.comps.size() == 3;
    char head[64];
    std::snprintf(head, sizeof head, "P%c\n%lu %lu\n255\n", colour ? '6' : '5', (unsigned long)c0.width,
                  (unsigned long)c0.height);
    if (!PutText(f, head))
        return false;
    std::vector<BYTE> row(std::size_t(c0.width) * in.comps.size());
    for (DWORD y = 0; y < c0.height; ++y)
        if (!Interleaved(in, row, y, false) || !Put(f, row.data(), row.size()))
            return false;
    return true;
}

bool WritePgx(CRasterFile& f, const ComponentImage& in)
{
    const Component& c0 = in.comps[0];
    char head[64];
    std::snprintf(head, sizeof head, "PG ML + 8 %lu %lu\n", (unsigned long)c0.width, (unsigned long)c0.height);
    if (!PutText(f, head))
        return false;
    std::vector<BYTE> row(c0.width);
    for (DWORD y = 0; y < c0.height; ++y)
        if (!Interleaved(in, row, y, false) || !Put(f, row.data(), row.size()))
            return false;
    return true;
}

bool WriteRas(CRasterFile& f, const ComponentImage& in)
{
    const Component& c0 = in.comps[0];
    const std::uint32_t depth = in.comps.size() == 3 ? 24 : 8;
    const std::uint64_t stride = ((std::uint64_t(c0.width) * depth + 15) / 16) * 2;
    const std::uint64_t length = stride * c0.height;
    if (length > 0xFFFFFFFFu)
        return false;
    BYTE head[32];
    PutBe32(head, kRasMagic);
    PutBe32(head + 4, c0.width);
    PutBe32(head + 8, c0.height);
    PutBe32(head + 12, depth);
    PutBe32(head + 16, std::uint32_t(length));
    PutBe32(head + 20, kRasStandard);
    PutBe32(head + 24, kRasNoMap);
    PutBe32(head + 28, 0);
    if (!Put(f, head, sizeof head))
        return false;
    std::vector<BYTE> row(std::size_t(stride), 0);
    for (DWORD y = 0; y < c0.height; ++y) // colour pixels are stored blue, green, red
        if (!Interleaved(in, row, y, true) || !Put(f, row.data(), row.size()))
            return false;
    return true;
}

} // namespace jas

#pragma once
// Checked arithmetic and bounded readers for code that handles untrusted image data. Every size
// taken from a file goes through these before it is used for an allocation, an offset or a loop.
#include "image/CRasterFile.h"
#include "platform/core/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

namespace raster {

// The largest pixel block (and the largest plane) an image may have.
constexpr std::uint64_t kMaxImageBytes = 256000000;

// a * b into out; false (out untouched) when the product does not fit T.
template <class T, class A, class B>
bool CheckedMul(A a, B b, T& out)
{
    T r;
    if (__builtin_mul_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

// a + b into out; false (out untouched) when the sum does not fit T.
template <class T, class A, class B>
bool CheckedAdd(A a, B b, T& out)
{
    T r;
    if (__builtin_add_overflow(a, b, &r))
        return false;
    out = r;
    return true;
}

// Row stride of a DIB row in bytes, padded to 4 bytes; 64-bit, exact for any 32-bit width and depth.
constexpr std::uint64_t DibStride(std::uint64_t width, std::uint64_t bpp)
{
    return ((width * bpp + 31) / 32) * 4;
}

// Byte size of DIB pixel data as a file header computes it, for any signed header values: exact
// in 128 bits, then saturated to the 64-bit range.
constexpr std::int64_t DibDataSize(std::int64_t bpp, std::int64_t width, std::int64_t height)
{
    __int128 v = ((__int128(bpp) * width + 31) / 32) * 4 * height;
    const __int128 hi = std::numeric_limits<std::int64_t>::max(), lo = std::numeric_limits<std::int64_t>::min();
    return std::int64_t(v > hi ? hi : (v < lo ? lo : v));
}

template <class T>
constexpr T Clamp(T v, T lo, T hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// Reads exactly n bytes; false on a short read (the bytes that did arrive are kept).
inline bool ReadExact(CRasterFile& f, void* dst, std::size_t n)
{
    if (n == 0)
        return true;
    if (n > std::numeric_limits<DWORD>::max())
        return false;
    return f.Read(dst, 1, DWORD(n)) == n;
}

inline bool ReadU8(CRasterFile& f, BYTE& v)
{
    LONG c = f.GetC();
    if (c < 0)
        return false;
    v = BYTE(c);
    return true;
}

inline bool ReadU16LE(CRasterFile& f, WORD& v)
{
    BYTE b[2];
    if (!ReadExact(f, b, 2))
        return false;
    v = WORD(b[0] | (b[1] << 8));
    return true;
}

inline bool ReadU32LE(CRasterFile& f, DWORD& v)
{
    BYTE b[4];
    if (!ReadExact(f, b, 4))
        return false;
    v = DWORD(b[0]) | (DWORD(b[1]) << 8) | (DWORD(b[2]) << 16) | (DWORD(b[3]) << 24);
    return true;
}

// A cursor over a byte range in memory. Reading past the end yields zeros and clears ok(), so a parser
// can read a whole record and check once.
class ByteCursor {
public:
    ByteCursor(const void* data, std::size_t size) : m_p(static_cast<const BYTE*>(data)), m_size(data ? size : 0) {}

    bool ok() const { return m_ok; }
    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_size; }
    std::size_t remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }

    void seek(std::size_t pos)
    {
        if (pos > m_size) {
            m_ok = false;
            pos = m_size;
        }
        m_pos = pos;
    }
    void skip(std::size_t n) { seek(n > remaining() ? m_size + 1 : m_pos + n); }

    BYTE u8()
    {
        if (m_pos >= m_size) {
            m_ok = false;
            return 0;
        }
        return m_p[m_pos++];
    }
    WORD u16le()
    {
        BYTE a = u8(), b = u8();
        return WORD(a | (b << 8));
    }
    DWORD u32le()
    {
        DWORD a = u16le(), b = u16le();
        return a | (b << 16);
    }
    WORD u16be()
    {
        BYTE a = u8(), b = u8();
        return WORD((a << 8) | b);
    }
    DWORD u32be()
    {
        DWORD a = u16be(), b = u16be();
        return (a << 16) | b;
    }
    // Copies n bytes; the part beyond the end is zero-filled.
    void bytes(void* dst, std::size_t n)
    {
        std::size_t take = n < remaining() ? n : remaining();
        if (take)
            std::memcpy(dst, m_p + m_pos, take);
        if (take < n) {
            std::memset(static_cast<BYTE*>(dst) + take, 0, n - take);
            m_ok = false;
        }
        m_pos += take;
    }

private:
    const BYTE* m_p;
    std::size_t m_size;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace raster

#pragma once
// Builds expected .mze bytes field by field in the archive's encoding (little-endian words, ints and
// doubles; strings with the short, 16-bit or 32-bit length prefix), independent of the program's writer.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class MzeBytes {
public:
    std::vector<unsigned char> bytes;

    MzeBytes& Byte(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); return *this; }
    MzeBytes& Word(unsigned v) { Byte(v & 0xFF); return Byte((v >> 8) & 0xFF); }
    MzeBytes& Int(std::int64_t v)
    {
        auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) Byte((u >> (8 * i)) & 0xFF);
        return *this;
    }
    MzeBytes& Ints(std::initializer_list<std::int64_t> vs) { for (auto v : vs) Int(v); return *this; }
    MzeBytes& Zeros(int nInts) { for (int i = 0; i < nInts; ++i) Int(0); return *this; }
    MzeBytes& Double(double d)
    {
        std::uint64_t u;
        std::memcpy(&u, &d, 8);
        for (int i = 0; i < 8; ++i) Byte((u >> (8 * i)) & 0xFF);
        return *this;
    }
    MzeBytes& String(const std::string& s)
    {
        if (s.size() < 255) Byte(unsigned(s.size()));
        else if (s.size() < 0xFFFE) { Byte(0xFF); Word(unsigned(s.size())); }
        else { Byte(0xFF); Word(0xFFFF); Int(std::int64_t(s.size())); }
        return Raw(s.data(), s.size());
    }
    MzeBytes& Raw(const void* p, std::size_t n)
    {
        auto c = static_cast<const unsigned char*>(p);
        bytes.insert(bytes.end(), c, c + n);
        return *this;
    }
    MzeBytes& Raw(const std::vector<unsigned char>& v) { return Raw(v.data(), v.size()); }
    std::size_t size() const { return bytes.size(); }
};

#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"

#include <functional>

// Where two byte strings first differ (the shorter length when one is a prefix of the other).
inline std::size_t FirstDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

// Runs a storing function on an archive over memory and returns the bytes it wrote.
inline std::vector<unsigned char> StoreToBytes(const std::function<void(CArchive&)>& store)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        store(ar);
        ar.Close();
    }
    std::vector<unsigned char> out(std::size_t(file.GetLength()));
    file.SeekToBegin();
    if (!out.empty())
        file.Read(out.data(), UINT(out.size()));
    return out;
}

// Runs a loading function on an archive over a copy of the bytes.
inline void LoadFromBytes(std::vector<unsigned char> bytes, const std::function<void(CArchive&)>& load)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    load(ar);
}

// A 24-bit bottom-up BMP file of w x h pixels, each pixel's blue, green, red from colour(x, y) as
// 0x00BBGGRR, built from the file format's own layout (14-byte file header, 40-byte info header,
// rows padded to 4 bytes).
inline std::vector<unsigned char> MakeBmp24(int w, int h, const std::function<std::uint32_t(int, int)>& colour)
{
    const int stride = ((w * 24 + 31) / 32) * 4;
    const int image = stride * h;
    MzeBytes b;
    b.Byte('B').Byte('M').Int(54 + image).Word(0).Word(0).Int(54);
    b.Int(40).Int(w).Int(h).Word(1).Word(24).Int(0).Int(image).Int(3780).Int(3780).Int(0).Int(0);
    for (int y = h - 1; y >= 0; --y) {
        int n = 0;
        for (int x = 0; x < w; ++x, n += 3) {
            std::uint32_t c = colour(x, y);
            b.Byte((c >> 16) & 0xFF).Byte((c >> 8) & 0xFF).Byte(c & 0xFF);
        }
        for (; n < stride; ++n)
            b.Byte(0);
    }
    return b.bytes;
}

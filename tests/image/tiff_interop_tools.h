#pragma once
// Helpers of the TIFF and JPEG 2000 family tests: memory round trips through the dispatch, the
// independent tools installed on the machine, and PNM files as those tools write them.
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

namespace codectest {

using Bytes = std::vector<BYTE>;

inline Bytes EncodeBytes(CRasterImage& img, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!img.Encode(buffer, size, type))
        return {};
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

inline bool DecodeBytes(CRasterImage& img, const Bytes& data, DWORD type)
{
    return img.Decode(data.data(), DWORD(data.size()), type);
}

inline std::string FindTool(std::initializer_list<const char*> candidates)
{
    for (const char* c : candidates)
        if (::access(c, X_OK) == 0)
            return c;
    return {};
}

// ImageMagick's own program, not a wrapper that may shadow it on the PATH.
inline const std::string& Convert()
{
    static const std::string p = FindTool({"/usr/bin/convert-im6.q16", "/usr/bin/convert"});
    return p;
}

inline bool Shell(const std::string& cmd)
{
    return std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()) == 0;
}

// A scratch folder removed with the object.
class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/vantrel_codec_XXXXXX";
        m_path = ::mkdtemp(tmpl) ? tmpl : "/tmp";
    }
    ~TempDir()
    {
        std::error_code ec;
        if (m_path != "/tmp")
            std::filesystem::remove_all(m_path, ec);
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline bool WriteFile(const std::string& path, const Bytes& data)
{
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(f);
}

inline Bytes ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A binary PPM or PGM with maxval 255, as RGB triples in top-down rows.
struct Rgb {
    int w = 0, h = 0;
    Bytes rgb;
    std::uint32_t At(int x, int y) const
    {
        const BYTE* p = &rgb[(std::size_t(y) * w + x) * 3];
        return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
};

inline bool ParsePnm(const Bytes& data, Rgb& out)
{
    std::size_t pos = 0;
    auto token = [&]() -> long {
        for (;;) {
            while (pos < data.size() && std::isspace(data[pos]))
                ++pos;
            if (pos < data.size() && data[pos] == '#') {
                while (pos < data.size() && data[pos] != '\n')
                    ++pos;
                continue;
            }
            break;
        }
        long v = 0;
        bool any = false;
        while (pos < data.size() && std::isdigit(data[pos])) {
            v = v * 10 + (data[pos++] - '0');
            any = true;
        }
        return any ? v : -1;
    };
    if (data.size() < 2 || data[0] != 'P' || (data[1] != '5' && data[1] != '6'))
        return false;
    const int channels = data[1] == '6' ? 3 : 1;
    pos = 2;
    out.w = int(token());
    out.h = int(token());
    if (token() != 255 || out.w <= 0 || out.h <= 0)
        return false;
    ++pos;
    const std::size_t n = std::size_t(out.w) * out.h;
    if (data.size() < pos + n * channels)
        return false;
    out.rgb.resize(n * 3);
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < 3; ++k)
            out.rgb[i * 3 + k] = data[pos + i * channels + (channels == 3 ? k : 0)];
    return true;
}

// What a tool reports for a file: its pixels through "convert file ppm:-".
inline bool ConvertToRgb(const std::string& file, Rgb& out, const std::string& options = "")
{
    if (Convert().empty())
        return false;
    const std::string ppm = file + ".tool.ppm";
    if (!Shell(Convert() + " " + options + " '" + file + "' -depth 8 ppm:'" + ppm + "'"))
        return false;
    return ParsePnm(ReadFile(ppm), out);
}

// Largest difference of one channel between the image and the tool's pixels; -1 for another size.
inline int MaxDifference(const CRasterImage& img, const Rgb& tool)
{
    if (LONG(img.GetWidth()) != tool.w || LONG(img.GetHeight()) != tool.h)
        return -1;
    int worst = 0;
    for (int y = 0; y < tool.h; ++y)
        for (int x = 0; x < tool.w; ++x) {
            const RGBQUAD c = img.GetPixelColor(x, tool.h - 1 - y, false);
            const std::uint32_t t = tool.At(x, y);
            const int d[3] = {std::abs(int(c.rgbRed) - int(t >> 16)), std::abs(int(c.rgbGreen) - int((t >> 8) & 255)),
                              std::abs(int(c.rgbBlue) - int(t & 255))};
            for (int v : d)
                worst = v > worst ? v : worst;
        }
    return worst;
}

// Largest channel difference between two images of the same size; -1 for another size.
inline int MaxDifference(const CRasterImage& a, const CRasterImage& b)
{
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight())
        return -1;
    int worst = 0;
    for (LONG y = 0; y < LONG(a.GetHeight()); ++y)
        for (LONG x = 0; x < LONG(a.GetWidth()); ++x) {
            const RGBQUAD p = a.GetPixelColor(x, y, false), q = b.GetPixelColor(x, y, false);
            const int d[3] = {std::abs(p.rgbRed - q.rgbRed), std::abs(p.rgbGreen - q.rgbGreen),
                              std::abs(p.rgbBlue - q.rgbBlue)};
            for (int v : d)
                worst = v > worst ? v : worst;
        }
    return worst;
}

// A smooth picture with edges, so lossy coders stay close and every pixel differs from its neighbour.
inline void Photo(CRasterImage& img, LONG w, LONG h)
{
    img.Create(w, h, 24, 0);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            img.SetPixelColor(x, y, RGBQUAD{BYTE(x * 255 / w), BYTE(y * 255 / h), BYTE(x < w / 2 ? 60 : 200), 0});
}

} // namespace codectest

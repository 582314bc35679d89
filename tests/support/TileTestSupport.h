#pragma once
// Shared by the tile-set tests: sheets of solid-coloured cells written to a scratch folder, and the
// program's random sequence computed independently of the generator.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/CRasterImage.h"
#include "platform/core/WinTypes.h"

namespace tiletest {

// The generator's recurrence, stepped here so tests can predict each draw.
struct Sequence {
    std::uint32_t state;
    int Next()
    {
        state = state * 214013u + 2531011u;
        return int((state >> 16) & 0x7FFF);
    }
};

// Colour of sheet cell (row, col), both 1-based: distinct for every cell of a small sheet.
inline COLORREF CellColour(int row, int col) { return RGB(40 * col, 50 * row, 200); }

// A 24-bit sheet of cols x rows cells of w x h pixels, each cell filled with CellColour.
inline CRasterImage MakeSheet(int cols, int rows, int w, int h)
{
    CRasterImage sheet(cols * w, rows * h, 24);
    const int height = rows * h;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < cols * w; ++x)
            sheet.SetPixelColor(x, height - 1 - y, CellColour(y / h + 1, x / w + 1));
    return sheet;
}

// A fresh scratch folder, removed with its content at the end of the test.
class ScratchDir {
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/vantrel_tiles_XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // The folder with a trailing separator, as tile sets take it.
    std::string Prefix() const { return path_ + "/"; }
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string file = Prefix() + name;
        std::FILE* f = std::fopen(file.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return file;
    }
    std::string WriteBmp(const std::string& name, CRasterImage& image) const
    {
        BYTE* buffer = nullptr;
        LONG size = 0;
        EXPECT_TRUE(image.Encode(buffer, size, IMAGE_FORMAT_BMP));
        std::string bytes(reinterpret_cast<const char*>(buffer), std::size_t(size));
        std::free(buffer);
        return Write(name, bytes);
    }

private:
    std::string path_;
};

// Colour of a tile image's pixel, x from the left and y from the top.
inline COLORREF PixelFromTop(const CRasterImage& image, LONG x, LONG y)
{
    const RGBQUAD q = image.GetPixelColor(x, LONG(image.GetHeight()) - 1 - y);
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

} // namespace tiletest

// Format dispatch: typed and detected decoding, encoding to memory, loading files and resources.
#include "image/CRasterImage.h"

#include "image/CRasterMemFile.h"
#include "image/RasterCodecs.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> EncodeToVector(CRasterImage& img, DWORD type)
{
    BYTE* buffer = nullptr;
    LONG size = 0;
    if (!img.Encode(buffer, size, type))
        return {};
    std::vector<BYTE> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

std::string TempPath(const char* name)
{
    return std::string(::testing::TempDir()) + "/imgcore_" + name;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes)
{
    std::FILE* fp = std::fopen(path.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), fp);
    std::fclose(fp);
}

} // namespace

TEST(RasterDispatch, UnknownAndMissingCodecs)
{
    CRasterImage img;
    imagetest::Fill(img, 4, 4, 8);
    const BYTE junk[] = "this is not an image of any kind";
    EXPECT_FALSE(img.Decode(junk, sizeof junk, IMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
    EXPECT_EQ(img.GetWidth(), 4u); // the image stays as it was
    EXPECT_EQ(img.GetPixelIndex(1, 1), 9);
    EXPECT_FALSE(img.Decode(junk, sizeof junk, 16));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
    // Every format id has a place; a format whose codec is not in this build answers the same way.
    for (DWORD id = 1; id < IMAGE_FORMAT_COUNT; ++id) {
        if (FindRasterCodec(id))
            continue;
        EXPECT_FALSE(img.Decode(junk, sizeof junk, id)) << id;
        EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format") << id;
        EXPECT_TRUE(EncodeToVector(img, id).empty()) << id;
        EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format") << id;
    }
    EXPECT_NE(FindRasterCodec(IMAGE_FORMAT_BMP), nullptr);
    EXPECT_EQ(FindRasterCodec(0), nullptr);
    unsigned count = 0;
    const RasterCodec* order = RasterCodecsInDetectionOrder(count);
    ASSERT_GE(count, 1u);
    EXPECT_EQ(order[0].format, DWORD(IMAGE_FORMAT_BMP)); // BMP is tried first
    EXPECT_FALSE(img.Decode(static_cast<CRasterFile*>(nullptr), IMAGE_FORMAT_BMP));
}

TEST(RasterDispatch, EncodeToMemory)
{
    CRasterImage img;
    imagetest::Fill(img, 7, 5, 24);
    BYTE* buffer = nullptr;
    LONG size = -1;
    EXPECT_FALSE(img.Encode(buffer, size, IMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(img.GetLastError(), "Encode: Unknown format");
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(size, -1);

    BYTE stray = 0;
    BYTE* notEmpty = &stray;
    EXPECT_FALSE(img.Encode(notEmpty, size, IMAGE_FORMAT_BMP));
    EXPECT_STREQ(img.GetLastError(), "the buffer must be empty");
    EXPECT_EQ(notEmpty, &stray);

    CRasterImage empty;
    EXPECT_FALSE(empty.Encode(buffer, size, IMAGE_FORMAT_BMP));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    EXPECT_EQ(buffer, nullptr);
    EXPECT_FALSE(img.Encode(static_cast<CRasterFile*>(nullptr), IMAGE_FORMAT_BMP));
    EXPECT_STREQ(img.GetLastError(), "null file handler");

    ASSERT_TRUE(img.Encode(buffer, size, IMAGE_FORMAT_BMP));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, LONG(14 + 40 + 5 * 24));
    CRasterImage back;
    ASSERT_TRUE(back.Decode(buffer, DWORD(size), IMAGE_FORMAT_BMP));
    std::free(buffer);
    EXPECT_EQ(back.GetWidth(), 7u);
    EXPECT_EQ(back.GetHeight(), 5u);
    EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_BMP));
    EXPECT_EQ(imagetest::TopDownPixels(back), imagetest::TopDownPixels(img));
    // The encoding worked through a ghost: the image itself is untouched and still owns its pixels.
    EXPECT_FALSE(img.IsGhost());
    EXPECT_TRUE(img.IsValid());
}

TEST(RasterDispatch, DetectionRewindsAndReportsTheFormat)
{
    CRasterImage img;
    imagetest::Fill(img, 3, 3, 8);
    std::vector<BYTE> bmp = EncodeToVector(img, IMAGE_FORMAT_BMP);
    ASSERT_FALSE(bmp.empty());
    // Decoding starts at the stream's position, wherever that is.
    std::vector<BYTE> shifted(5 + bmp.size(), 0xEE);
    std::memcpy(shifted.data() + 5, bmp.data(), bmp.size());
    CRasterMemFile stream(shifted.data(), DWORD(shifted.size()));
    stream.Seek(5, SEEK_SET);
    CRasterImage found;
    ASSERT_TRUE(found.Decode(&stream, IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(found.GetType(), DWORD(IMAGE_FORMAT_BMP));
    EXPECT_EQ(found.GetPixelIndex(2, 2), img.GetPixelIndex(2, 2));

    // The caller's options reach the codec: escape -1 asks for the size only.
    CRasterImage probe;
    probe.SetEscape(-1);
    ASSERT_TRUE(probe.Decode(bmp.data(), DWORD(bmp.size()), IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(probe.GetWidth(), 3u);
    EXPECT_FALSE(probe.IsValid());

    // A ghost cannot take a decoded picture: the decode fails and the shared image is untouched.
    CRasterImage ghost;
    ghost.Ghost(&img);
    EXPECT_FALSE(ghost.Decode(bmp.data(), DWORD(bmp.size()), IMAGE_FORMAT_BMP));
    EXPECT_TRUE(img.IsValid());
    EXPECT_EQ(ghost.GetDIB(), img.GetDIB());
}

TEST(RasterDispatch, LoadByNameWithAndWithoutType)
{
    CRasterImage img;
    imagetest::Fill(img, 6, 2, 4);
    const std::string path = TempPath("load.bmp");
    WriteFile(path, EncodeToVector(img, IMAGE_FORMAT_BMP));

    CRasterImage a;
    ASSERT_TRUE(a.Load(path.c_str()));
    EXPECT_EQ(a.GetType(), DWORD(IMAGE_FORMAT_BMP));
    EXPECT_EQ(imagetest::TopDownPixels(a), imagetest::TopDownPixels(img));
    // A wrong id still loads: the typed attempt fails, detection finds the BMP.
    CRasterImage b;
    ASSERT_TRUE(b.Load(path.c_str(), IMAGE_FORMAT_PCX));
    EXPECT_EQ(b.GetType(), DWORD(IMAGE_FORMAT_BMP));

    // Detection failing after a typed attempt leaves the typed attempt's message.
    const std::string junk = TempPath("junk.bmp");
    WriteFile(junk, std::vector<BYTE>(60, 0x11));
    CRasterImage c;
    EXPECT_FALSE(c.Load(junk.c_str(), IMAGE_FORMAT_BMP));
    EXPECT_STREQ(c.GetLastError(), "Error reading BMP info");
    EXPECT_FALSE(c.Load(junk.c_str(), IMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(c.GetLastError(), "Decode: Unknown or wrong format");

    // A file that cannot be opened: false, and the text is left alone.
    c.SetLastError("before");
    EXPECT_FALSE(c.Load(TempPath("does-not-exist.bmp").c_str(), IMAGE_FORMAT_BMP));
    EXPECT_STREQ(c.GetLastError(), "before");
    EXPECT_FALSE(c.Load(nullptr));

    // Decoding from a caller's handle leaves it open.
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    ASSERT_NE(fp, nullptr);
    CRasterImage d;
    EXPECT_TRUE(d.Decode(fp, IMAGE_FORMAT_BMP));
    EXPECT_EQ(std::fseek(fp, 0, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(fp), 'B');
    std::fclose(fp);
    std::remove(path.c_str());
    std::remove(junk.c_str());
}

TEST(RasterDispatch, MissingResource)
{
    CRasterImage img;
    HRSRC missing = FindResource(nullptr, MAKEINTRESOURCE(31999), "IMG");
    EXPECT_EQ(missing, nullptr);
    EXPECT_FALSE(img.LoadResource(missing, IMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(img.GetLastError(), "Unable to load resource!");
}

// Module resources over the Qt resource system, and images decoded from them.
#include "platform/core/Resource.h"

#include "image/CRasterImage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(ModuleResource, PathsByTypeAndId)
{
    char buf[64];
    EXPECT_STREQ(ResourcePath(MAKEINTRESOURCE(129), "IMG", buf, sizeof buf), ":/res/IMG/129");
    EXPECT_STREQ(ResourcePath(MAKEINTRESOURCE(168), RT_BITMAP, buf, sizeof buf), ":/res/BITMAP/168");
    EXPECT_STREQ(ResourcePath("#130", "TILE", buf, sizeof buf), ":/res/TILE/130");
    EXPECT_STREQ(ResourcePath("BLOB", "TILE", buf, sizeof buf), ":/res/TILE/BLOB");
    EXPECT_STREQ(ResourcePath(MAKEINTRESOURCE(7), RT_RCDATA, buf, sizeof buf), ":/res/RCDATA/7");
    EXPECT_STREQ(ResourcePath(MAKEINTRESOURCE(1), MAKEINTRESOURCE(99), buf, sizeof buf), ":/res/#99/1");
    EXPECT_STREQ(ResourcePath(nullptr, "IMG", buf, sizeof buf), "");
    EXPECT_TRUE(IS_INTRESOURCE(MAKEINTRESOURCE(65535)));
    EXPECT_FALSE(IS_INTRESOURCE("IMG"));
}

TEST(ModuleResource, FindLoadSizeLock)
{
    HRSRC res = FindResource(nullptr, "BLOB", "TILE");
    ASSERT_NE(res, nullptr);
    EXPECT_EQ(FindResource(nullptr, "BLOB", "TILE"), res); // one handle per resource
    EXPECT_EQ(SizeofResource(nullptr, res), 15u);
    HGLOBAL data = LoadResource(nullptr, res);
    ASSERT_NE(data, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(data));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, 15), "resource bytes\n");
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
    EXPECT_FALSE(FreeResource(data));
    HRSRC same = FindResource(nullptr, MAKEINTRESOURCE(7), RT_RCDATA);
    ASSERT_NE(same, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, same), 15u);
    EXPECT_EQ(FindResource(nullptr, MAKEINTRESOURCE(8), RT_RCDATA), nullptr);
    EXPECT_EQ(FindResource(nullptr, "BLOB", "IMG"), nullptr);
}

TEST(ModuleResource, ImagesDecodeFromResources)
{
    for (HRSRC res : {FindResource(nullptr, MAKEINTRESOURCE(129), "IMG"),
                      FindResource(nullptr, MAKEINTRESOURCE(168), RT_BITMAP)}) {
        ASSERT_NE(res, nullptr);
        CRasterImage img;
        ASSERT_TRUE(img.LoadResource(res, IMAGE_FORMAT_UNKNOWN)) << img.GetLastError();
        EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_BMP));
        ASSERT_EQ(img.GetWidth(), 3u);
        ASSERT_EQ(img.GetHeight(), 2u);
        // The values tools/make_image_test_data.py wrote: blue 10x+1, green 20y+2, red 30(x+y)+3.
        for (LONG y = 0; y < 2; ++y)
            for (LONG x = 0; x < 3; ++x) {
                RGBQUAD c = img.GetPixelColor(x, y);
                EXPECT_EQ(c.rgbBlue, 10 * x + 1);
                EXPECT_EQ(c.rgbGreen, 20 * y + 2);
                EXPECT_EQ(c.rgbRed, 30 * (x + y) + 3);
            }
    }
    // Bytes that are no image, typed and detected.
    CRasterImage img;
    HRSRC blob = FindResource(nullptr, "BLOB", "TILE");
    EXPECT_FALSE(img.LoadResource(blob, IMAGE_FORMAT_BMP));
    EXPECT_FALSE(img.LoadResource(blob, IMAGE_FORMAT_UNKNOWN));
    EXPECT_STREQ(img.GetLastError(), "Decode: Unknown or wrong format");
}

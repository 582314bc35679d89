#include "platform/core/WinFont.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(FontRecords, StoredBytesMapToFields)
{
    std::vector<BYTE> bytes(60, 0);
    // lfHeight -167, lfWeight 700, lfItalic 1, lfCharSet 0, lfPitchAndFamily 0x30, face "Courier".
    const BYTE height[] = {0x59, 0xFF, 0xFF, 0xFF};
    std::memcpy(&bytes[0], height, 4);
    bytes[16] = 0xBC;
    bytes[17] = 0x02;
    bytes[20] = 1;
    bytes[27] = 0x30;
    std::memcpy(&bytes[28], "Courier", 7);
    const LOGFONTA lf = LogFontFromBytes(bytes.data(), bytes.size());
    EXPECT_EQ(lf.lfHeight, -167);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfPitchAndFamily, FF_MODERN | DEFAULT_PITCH);
    EXPECT_STREQ(lf.lfFaceName, "Courier");

    std::vector<BYTE> cfBytes(60, 0xEE);
    const BYTE pointSize[] = {120, 0, 0, 0};
    const BYTE colour[] = {0x11, 0x22, 0x33, 0x00};
    std::memcpy(&cfBytes[16], pointSize, 4);
    std::memcpy(&cfBytes[24], colour, 4);
    const CHOOSEFONTA cf = ChooseFontFromBytes(cfBytes.data(), cfBytes.size());
    EXPECT_EQ(cf.iPointSize, 120);
    EXPECT_EQ(cf.rgbColors, RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(cf.lpLogFont, 0xEEEEEEEEu); // a stored slot, kept as bytes and never used as a pointer
}

TEST(FontRecords, ShortLongAndUnterminatedBlocksAreSafe)
{
    std::vector<BYTE> bytes(80, 'x');
    const LOGFONTA full = LogFontFromBytes(bytes.data(), bytes.size());
    EXPECT_EQ(std::strlen(full.lfFaceName), std::size_t(LF_FACESIZE - 1));

    const LOGFONTA part = LogFontFromBytes(bytes.data(), 4);
    EXPECT_EQ(part.lfHeight, 0x78787878);
    EXPECT_EQ(part.lfWidth, 0);
    EXPECT_STREQ(part.lfFaceName, "");

    const CHOOSEFONTA none = ChooseFontFromBytes(bytes.data(), 0);
    EXPECT_EQ(none.lStructSize, 0u);
    EXPECT_EQ(none.iPointSize, 0);
}

TEST(FontRecords, DefaultsAreEmptyRecords)
{
    const LOGFONTA lf;
    const CHOOSEFONTA cf;
    EXPECT_EQ(lf.lfHeight, 0);
    EXPECT_STREQ(lf.lfFaceName, "");
    EXPECT_EQ(cf.lStructSize, 60u);
    EXPECT_EQ(CF_PRINTERFONTS | CF_EFFECTS, 0x102u);
}

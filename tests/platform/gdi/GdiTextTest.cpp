// Fonts and text, tested by extents and bounding boxes rather than glyph pixels: an opaque background
// paints exactly the text's cell, so its box is measurable.
#include "tests/support/GdiTestSupport.h"

#include <cstring>

#include "platform/gdi/CDC.h"

namespace {

HFONT MakeFont(int height, const char* face, BYTE pitchAndFamily = 0)
{
    return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, pitchAndFamily, face);
}

}  // namespace

TEST(GdiText, CourierMapsToAMonospaceFace)
{
    Canvas c(10, 10);
    DeleteObject(SelectObject(c.dc, MakeFont(-20, "Courier")));
    SIZE wide, narrow;
    GetTextExtentPoint32(c.dc, "WWWW", 4, &wide);
    GetTextExtentPoint32(c.dc, "iiii", 4, &narrow);
    EXPECT_EQ(wide.cx, narrow.cx);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(c.dc, &tm));
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);  // the bit marks variable pitch
    DeleteObject(SelectObject(c.dc, MakeFont(-20, "Arial")));
    GetTextExtentPoint32(c.dc, "WWWW", 4, &wide);
    GetTextExtentPoint32(c.dc, "iiii", 4, &narrow);
    EXPECT_GT(wide.cx, narrow.cx);
}

TEST(GdiText, HeightsFollowTheDeviceRules)
{
    // A negative height is the character (em) height, a positive one the cell height, in logical units.
    Canvas c(10, 10);
    SetMapMode(c.dc, MM_HIENGLISH);
    DeleteObject(SelectObject(c.dc, MakeFont(-167, "Times New Roman")));
    TEXTMETRIC tm;
    GetTextMetrics(c.dc, &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, MulDiv(MulDiv(167, 96, 1000), 1000, 96));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    DeleteObject(SelectObject(c.dc, MakeFont(200, "Times New Roman")));
    GetTextMetrics(c.dc, &tm);
    EXPECT_NEAR(tm.tmHeight, 200, 11);  // within a pixel of 19 at 96 dpi
    SIZE s;
    GetTextExtentPoint32(c.dc, "", 0, &s);
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, tm.tmHeight);
}

TEST(GdiText, OpaqueTextOutPaintsItsCell)
{
    Canvas c(200, 60);
    DeleteObject(SelectObject(c.dc, MakeFont(-20, "DejaVu Sans")));
    SetBkColor(c.dc, kRed);
    ASSERT_TRUE(TextOut(c.dc, 10, 15, "Maze", 4));
    SIZE s;
    GetTextExtentPoint32(c.dc, "Maze", 4, &s);
    RECT box = c.bounds(kWhite);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 15);
    EXPECT_EQ(box.right, 10 + s.cx);
    EXPECT_EQ(box.bottom, 15 + s.cy);
    EXPECT_GT(c.count(kBlack), 0);  // the glyphs, in the text colour

    Canvas t(200, 60);
    DeleteObject(SelectObject(t.dc, MakeFont(-20, "DejaVu Sans")));
    SetBkMode(t.dc, TRANSPARENT);
    SetTextColor(t.dc, kBlue);
    TextOut(t.dc, 10, 15, "Maze", 4);
    RECT ink = t.bounds(kWhite);
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 15);
    EXPECT_LE(ink.right, 10 + s.cx + 1);
    EXPECT_LE(ink.bottom, 15 + s.cy);
    EXPECT_EQ(t.count(kRed), 0);
}

TEST(GdiText, DrawTextCentresAndMeasures)
{
    Canvas c(200, 100);
    DeleteObject(SelectObject(c.dc, MakeFont(-16, "DejaVu Sans")));
    SetBkColor(c.dc, kRed);
    SIZE s;
    GetTextExtentPoint32(c.dc, "Footer", 6, &s);
    RECT r{0, 0, 200, 100};
    int height = DrawText(c.dc, "Footer", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT all = c.bounds(kWhite);
    EXPECT_EQ(all.left, (200 - s.cx) / 2);
    EXPECT_EQ(all.right, (200 - s.cx) / 2 + s.cx);
    EXPECT_EQ(all.top, (100 - s.cy) / 2);
    EXPECT_EQ(all.bottom, (100 - s.cy) / 2 + s.cy);
    EXPECT_EQ(height, (100 - s.cy) / 2 + s.cy);

    // Word breaking: three words that fit one per line.
    SIZE word;
    GetTextExtentPoint32(c.dc, "bbbb", 4, &word);
    RECT calc{10, 10, 10 + word.cx + 2, 20};
    int h = DrawText(c.dc, "aaaa bbbb cccc", -1, &calc, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 3 * s.cy);
    EXPECT_EQ(calc.bottom, 10 + 3 * s.cy);
    EXPECT_LE(calc.right, 10 + word.cx + 2);
    EXPECT_GE(calc.right, 10 + word.cx - 2);
    // A word wider than the line stays whole, unless the edit-control style breaks it.
    RECT narrow{0, 0, 5, 100};
    EXPECT_EQ(DrawText(c.dc, "Quillmont", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), s.cy);
    RECT narrow2{0, 0, 5, 100};
    EXPECT_GT(DrawText(c.dc, "Quillmont", -1, &narrow2, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT), s.cy);
}

TEST(GdiText, DrawTextClipsToItsRectangleUnlessToldNot)
{
    Canvas clipped(200, 60), free(200, 60);
    for (Canvas* c : {&clipped, &free}) {
        DeleteObject(SelectObject(c->dc, MakeFont(-20, "DejaVu Sans")));
        SetBkColor(c->dc, kRed);
    }
    RECT r{10, 10, 30, 20};
    DrawText(clipped.dc, "Quillmont", -1, &r, DT_SINGLELINE);
    RECT r2 = r;
    DrawText(free.dc, "Quillmont", -1, &r2, DT_SINGLELINE | DT_NOCLIP);
    RECT a = clipped.bounds(kWhite), b = free.bounds(kWhite);
    EXPECT_GE(a.left, 10);
    EXPECT_LE(a.right, 30);
    EXPECT_LE(a.bottom, 20);
    EXPECT_GT(b.right, 30);
    EXPECT_GT(b.bottom, 20);
}

TEST(GdiText, TextInHighEnglishLandsBelowItsLogicalTop)
{
    // The layer objects' text: a rectangle in thousandths of an inch, y upwards.
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dc, 200, 200);
    dc.SelectObject(&bmp);
    dc.PatBlt(0, 0, 200, 200, WHITENESS);
    dc.SetMapMode(MM_HIENGLISH);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(120, 1000, 720);
    std::strcpy(lf.lfFaceName, "Arial");
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    CFont* old = dc.SelectObject(&font);
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(kRed);
    CRect r(500, -500, 1500, -1500);
    int h = dc.DrawText("Maze", 4, &r, DT_WORDBREAK | DT_EDITCONTROL);
    CSize ext = dc.GetTextExtent("Maze", 4);
    dc.SelectObject(old);
    EXPECT_GT(h, 0);
    dc.SetMapMode(MM_TEXT);
    int top = 200, left = 200;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            if (dc.GetPixel(x, y) != kWhite) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
    EXPECT_EQ(left, 48);
    EXPECT_EQ(top, 48);
    EXPECT_EQ(h, ext.cy);
}

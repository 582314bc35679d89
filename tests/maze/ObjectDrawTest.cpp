// Drawing of tracker frames and layer objects into a memory device context.
#include "maze/CLogicalRectTracker.h"

#include "image/CRasterImage.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstring>

namespace {

// A white 200 x 120 memory bitmap.
class Canvas {
public:
    Canvas()
    {
        // Text needs the font database, which lives with the GUI application object.
        static int argc = 1;
        static char name[] = "doc_draw_test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication* app = QGuiApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
        (void)app;
        m_screen = GetDC(nullptr);
        CDC* ref = CDC::FromHandle(m_screen);
        dc.CreateCompatibleDC(ref);
        bitmap.CreateCompatibleBitmap(ref, 200, 120);
        m_old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, 200, 120, RGB(255, 255, 255));
    }
    ~Canvas()
    {
        dc.SelectObject(m_old);
        ReleaseDC(nullptr, m_screen);
    }
    // Black, or the grey of a smoothed glyph edge.
    bool Dark(int x, int y) const { return dc.GetPixel(x, y) != RGB(255, 255, 255); }
    int DarkIn(const CRect& r) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += Dark(x, y) ? 1 : 0;
        return n;
    }

    CDC dc;
    CBitmap bitmap;

private:
    HDC m_screen;
    CBitmap* m_old;
};

TEST(DocDraw, TrackerFramesAndHandles)
{
    Canvas c;
    CRect r(20, 20, 120, 70);
    CRectTracker solid(&r, CRectTracker::solidLine | CRectTracker::resizeOutside);
    solid.m_nHandleSize = 6;
    solid.Draw(&c.dc);
    EXPECT_TRUE(c.Dark(20, 40));      // left edge of the frame
    EXPECT_TRUE(c.Dark(60, 20));      // top edge
    EXPECT_FALSE(c.Dark(60, 45));     // inside stays clear
    EXPECT_EQ(c.DarkIn(CRect(14, 14, 20, 20)), 36);  // top-left handle, outside the rectangle
    EXPECT_EQ(c.DarkIn(CRect(0, 0, 10, 10)), 0);

    Canvas d;
    CRectTracker dotted(&r, CRectTracker::dottedLine | CRectTracker::resizeInside);
    dotted.m_nHandleSize = 6;
    dotted.Draw(&d.dc);
    int top = d.DarkIn(CRect(30, 20, 60, 21));
    EXPECT_GT(top, 5);
    EXPECT_LT(top, 25);
    EXPECT_EQ(d.DarkIn(CRect(21, 21, 26, 26)), 25);  // inside handle, inverted (frame pixels excluded)

    Canvas h;
    CRectTracker hatched(&r, CRectTracker::resizeInside | CRectTracker::hatchInside);
    hatched.m_nHandleSize = 6;
    hatched.Draw(&h.dc);
    EXPECT_GT(h.DarkIn(CRect(40, 30, 100, 60)), 100);
    EXPECT_EQ(h.DarkIn(CRect(0, 0, 200, 18)), 0);
}

TEST(DocDraw, SelectionStyleChoosesTheFrame)
{
    CLogicalRectTracker t;
    t.m_rect = CRect(20, 20, 120, 70);
    t.m_nHandleSize = 6;
    const struct {
        int select;
        UINT style;
    } cases[] = {{1, 10}, {2, 17}, {3, 40}, {7, 40}};
    for (auto k : cases) {
        Canvas c;
        t.m_nSelectStyle = k.select;
        t.Draw(&c.dc);
        EXPECT_EQ(t.m_nStyle, k.style) << k.select;
        EXPECT_GT(c.DarkIn(CRect(0, 0, 200, 120)), 0);
    }
    // Style 3 hatches the inside.
    Canvas c;
    t.m_nSelectStyle = 3;
    t.Draw(&c.dc);
    EXPECT_GT(c.DarkIn(CRect(40, 30, 100, 60)), 100);
    // Not on the active layer: no frame, the style is left alone.
    Canvas none;
    t.m_nSelectStyle = 0;
    t.m_nStyle = 99;
    t.Draw(&none.dc);
    EXPECT_EQ(t.m_nStyle, 99u);
    EXPECT_EQ(none.DarkIn(CRect(0, 0, 200, 120)), 0);
}

TEST(DocDraw, TextInThousandthsOfAnInch)
{
    Canvas c;
    c.dc.SetMapMode(MM_HIENGLISH);
    CLogicalRectTracker t;
    t.m_nKind = 1;
    t.SetLogicalRect(100, -100, 2000, -1200);
    t.m_strText = "Maze";
    t.m_crText = RGB(0, 0, 0);
    t.NewFontRecord();
    t.m_pChooseFont->iPointSize = 120;
    std::strcpy(t.m_pLogFont->lfFaceName, "Arial");
    t.Draw(&c.dc);
    c.dc.SetMapMode(MM_TEXT);
    // 12 points is 166.67 thousandths of an inch: the stored height becomes -167.
    EXPECT_EQ(t.m_pLogFont->lfHeight, -167);
    // At 96 dots per inch the text starts about 10 pixels in and is about 16 pixels high.
    EXPECT_GT(c.DarkIn(CRect(9, 9, 80, 30)), 20);
    EXPECT_EQ(c.DarkIn(CRect(0, 40, 200, 120)), 0);

    // A text object whose font record is gone draws nothing and does not fail.
    Canvas e;
    CLogicalRectTracker lost;
    lost.m_nKind = 2;
    lost.m_strText = "x";
    lost.SetLogicalRect(0, 0, 1000, -1000);
    lost.Draw(&e.dc);
    EXPECT_EQ(e.DarkIn(CRect(0, 0, 200, 120)), 0);
}

} // namespace

namespace {

TEST(DocDraw, PictureIntoItsRectangle)
{
    Canvas c;
    c.dc.SetMapMode(MM_HIENGLISH);
    CLogicalRectTracker t;
    auto* img = new CRasterImage();
    img->Create(4, 4, 24, IMAGE_FORMAT_BMP);
    img->Clear(0);  // black
    t.SetImage(img, 3);
    // One inch square at (0.5, -0.25) inch: 96 pixels from x 48, y 24.
    t.SetLogicalRect(500, -250, 1500, -1250);
    t.Draw(&c.dc);
    c.dc.SetMapMode(MM_TEXT);
    EXPECT_EQ(c.DarkIn(CRect(50, 26, 140, 118)), 90 * 92);
    EXPECT_EQ(c.DarkIn(CRect(0, 0, 46, 120)), 0);
    EXPECT_EQ(c.DarkIn(CRect(0, 0, 200, 22)), 0);
    // An image object with no picture draws nothing.
    Canvas e;
    CLogicalRectTracker empty;
    empty.m_nKind = 3;
    empty.SetLogicalRect(0, 0, 1000, -1000);
    empty.Draw(&e.dc);
    EXPECT_EQ(e.DarkIn(CRect(0, 0, 200, 120)), 0);
}

} // namespace

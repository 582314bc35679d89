#pragma once
// Shared pieces of the view tests: a view tied to a document without a window, a memory DC in the view's
// mapping mode, and pixel reads in device units.
#include "maze/CVantrelDoc.h"
#include "maze/Object.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "tests/support/TopDownDib.h"
#include "tests/support/UiTestSupport.h"
#include "view/CVantrelView.h"

#include <QImage>

#include <cstdlib>
#include <string>

namespace viewtest {

// A view whose document pointer is set directly: the document does not broadcast to it, so no window is
// needed. The drawing members are reached as the framework reaches them. A full redraw writes the
// footer's text, which needs the application's font database.
class DetachedView : public CVantrelView {
public:
    explicit DetachedView(CVantrelDoc* pDoc)
    {
        EnsureTestApplication();
        m_pDocument = pDoc;
    }
    ~DetachedView() override { m_pDocument = nullptr; }
};

// A memory DC over a white bitmap of w x h pixels, in the view's mapping mode (no scroll origin).
class MemoryPage {
public:
    MemoryPage(int w, int h) : m_w(w), m_h(h)
    {
        m_dc.CreateCompatibleDC(nullptr);
        m_bitmap.CreateCompatibleBitmap(&m_dc, w, h);
        m_pOld = m_dc.SelectObject(&m_bitmap);
        m_dc.PatBlt(0, 0, w, h, WHITENESS);
        m_dc.SetMapMode(MM_HIENGLISH);
    }
    ~MemoryPage() { m_dc.SelectObject(m_pOld); }
    CDC* dc() { return &m_dc; }
    // The colour of device pixel (x, y), whatever the mapping mode.
    COLORREF Pixel(int x, int y) { return PixelOf(m_dc, x, y); }
    static COLORREF PixelOf(CDC& dc, int x, int y)
    {
        POINT p{x, y};
        dc.DPtoLP(&p);
        return dc.GetPixel(p.x, p.y);
    }
    // The whole page, pixel for pixel.
    QImage Picture()
    {
        QImage image(m_w, m_h, QImage::Format_RGB32);
        BITMAPINFO info = TopDown32(m_w, m_h);
        ::GetDIBits(m_dc.GetSafeHdc(), HBITMAP(m_bitmap.GetSafeHandle()), 0, UINT(m_h), image.bits(), &info,
                    DIB_RGB_COLORS);
        return image;
    }
    CPoint ToDevice(int x, int y) const
    {
        POINT p{x, y};
        m_dc.LPtoDP(&p);
        return CPoint(p);
    }
    int width() const { return m_w; }
    int height() const { return m_h; }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_pOld = nullptr;
    int m_w, m_h;
};

// Settings that the tests fix: a grid of nCols x nRows square cells of the given size, not fitted.
inline void MakeGrid(CVantrelDoc& doc, int nCols, int nRows, int nCellSize)
{
    doc.m_bFitToPage = 0;
    doc.m_nScale = nCellSize;
    doc.m_nCellsX = nCols;
    doc.m_nCellsY = nRows;
    doc.CreateGrid();
}

// The fitted default page: 10 x 10 cells of 746 x 920.
inline void MakeDefaultGrid(CVantrelDoc& doc)
{
    doc.m_bFitToPage = 1;
    doc.m_nCellsX = 10;
    doc.m_nCellsY = 10;
    doc.CreateGrid();
}

}  // namespace viewtest

// The view's decorations: the watermark tiled over the page, the footer line at the foot of the page,
// and the backdrop tiled over the window while the document has no grid.
#include "view/CVantrelView.h"

#include "image/CRasterImage.h"
#include "maze/CLogicalRectTracker.h"
#include "maze/CVantrelDoc.h"
#include "platform/core/Resource.h"
#include "platform/core/WinFont.h"
#include "resources/periph/PeriphResources.h"

namespace {
// The line printed in the footer band of every page.
constexpr char kFooterText[] = "Designed with FREE Quillmont";

// A bitmap resource of the program decoded as a BMP; invalid when it is missing or does not decode.
void LoadBitmapResource(UINT nID, CRasterImage& image)
{
    if (HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(nID), RT_BITMAP))
        image.LoadResource(resource, IMAGE_FORMAT_BMP);
}
}  // namespace

int CVantrelView::DrawWatermark(CDC* pDC)
{
    // Decoded afresh for every full redraw; not kept.
    CRasterImage image;
    LoadBitmapResource(IDB_WATERMARK, image);
    if (!image.IsValid())
        return 1;
    const int W = m_extent.cx;
    const int H = m_extent.cy;  // negative: the page runs down from y = 0
    const int tw = W / 5;
    const int th = -H / 5;
    // A page under five units across or down has no tile size; stepping by 0 would never end.
    if (tw <= 0 || th <= 0)
        return 1;
    for (int x = 0; x < tw / 2 + W; x += tw) {
        for (int y = 0; y > H; y -= th) {
            const int r = y / th;  // 0, -1, -2 ... from the top
            const int left = (r % 2 == 0) ? x - tw / 2 : x;  // even rows shift left by half a tile
            image.DrawDeviceUnits(*pDC, CRect(left, y, left + tw, y - th));
        }
    }
    return 1;
}

int CVantrelView::DrawTextLayer(CDC* pDC)
{
    const int nDrawn = DrawLayerObjects(pDC, LAYER_TEXT);
    CVantrelDoc* pDoc = GetDocument();
    CFont font;
    font.CreateFont(m_nFooterHeight / 2, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, "Courier");
    CFont* pOldFont = pDC->SelectObject(&font);
    // The band of the footer height at the foot of the page, as wide as the grid's rightmost corner.
    CRect band(0, m_nFooterHeight - pDoc->m_nPageHeight, m_vertexMax.x, -pDoc->m_nPageHeight);
    pDC->DrawText(kFooterText, -1, &band, DT_CENTER | DT_NOCLIP);
    pDC->SelectObject(pOldFont);
    font.DeleteObject();
    return nDrawn;
}

BOOL CVantrelView::OnEraseBkgnd(CDC* pDC)
{
    CVantrelDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->m_nGrids)
        return CScrollView::OnEraseBkgnd(pDC);
    if (!m_backdropDC.GetSafeHdc()) {
        m_backdropDC.CreateCompatibleDC(pDC);
        CRasterImage image;
        LoadBitmapResource(IDB_BACKDROP, image);
        if (image.IsValid() && m_backdropBitmap.Attach(image.MakeBitmap(*pDC))) {
            BITMAP bm{};
            m_backdropBitmap.GetBitmap(&bm);
            m_backdropSize = CSize(bm.bmWidth, bm.bmHeight);
            m_backdropDC.SelectObject(&m_backdropBitmap);
        }
    }
    const int w = m_backdropSize.cx;
    const int h = m_backdropSize.cy;
    // Without a backdrop picture the tiling has no step; the plain erase stands in.
    if (w <= 0 || h <= 0)
        return CScrollView::OnEraseBkgnd(pDC);
    CRect client;
    GetClientRect(&client);
    for (int x = 0; x < client.right + w; x += w) {
        for (int y = client.top; y < client.bottom; y += h) {
            const int r = y / h;
            pDC->BitBlt((r % 2 == 0) ? x - w / 2 : x, y, w, h, &m_backdropDC, 0, 0, SRCCOPY);
        }
    }
    return 1;
}

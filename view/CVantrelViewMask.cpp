// The bitmap mask: a picture stretched over the template, each cell taking the state that the pixel
// under its centre calls for (dark: blackened, light: erased, between: untouched).
#include "view/CVantrelView.h"

#include "image/CRasterImage.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "platform/core/FileDialog.h"

#include <algorithm>

namespace {
constexpr int kDarkBelow = 70;    // pixel sums 0..69 blacken
constexpr int kLightAbove = 702;  // pixel sums 703..765 erase

// Pixel index for a centre at c of the range [lo, hi] spread over n pixels: the first centre on pixel
// 0, the last on pixel n - 1. A range with no spread (one row or one column) samples the middle pixel.
int MaskPixel(double c, double lo, double hi, int n)
{
    if (!(hi > lo))
        return (n - 1) / 2;
    const int p = int(n * (c - lo) / (hi - lo) - 0.5);
    return std::clamp(p, 0, n - 1);
}
}  // namespace

void CVantrelView::OnApplyBmpMask()
{
    CVantrelDoc* pDoc = GetDocument();
    if (pDoc->m_nType == 40)
        return;
    CFileDialog dlg(TRUE, "BMP", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Bitmap Template file(*.bmp)|*.bmp||");
    if (dlg.DoModal() != IDOK)
        return;
    CRasterImage image;
    image.Load(dlg.GetPathName().GetString(), IMAGE_FORMAT_UNKNOWN);
    ApplyBmpMask(image);
}

int CVantrelView::ApplyBmpMask(CRasterImage& image)
{
    CVantrelDoc* pDoc = GetDocument();
    // A picture that did not decode, or a template without square-cell geometry, keeps the grid as it is.
    if (pDoc->m_nGrids == 0 || pDoc->m_nType == 40 || !image.IsValid() || image.GetWidth() == 0 ||
        image.GetHeight() == 0)
        return 0;
    ComputeExtents(0);
    if (!image.IncreaseBpp(24))
        return 0;

    CDC maskDC;
    maskDC.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.Attach(image.MakeBitmap(maskDC.GetSafeHdc()));
    if (!bitmap.GetSafeHandle())
        return 0;
    CBitmap* pOld = maskDC.SelectObject(&bitmap);
    const int W = int(image.GetWidth()), H = int(image.GetHeight());

    CacheCellSize();
    const CSize step(m_nCachedCellWidth, -m_nCachedCellHeight);
    for (int i = 0; i < pDoc->m_nCellsX; ++i) {
        for (int j = 0; j < pDoc->m_nCellsY; ++j) {
            for (int g = 0; g < pDoc->m_nGrids; ++g) {
                const Object& grid = *pDoc->GetGrid(g);
                const int n = grid.sides;
                if (n <= 0 || !grid.InBounds(i, j))
                    continue;
                const CPoint origin(i * step.cx, j * step.cy);
                double sumX = 0.0, sumY = 0.0;
                for (int k = 0; k < n; ++k) {
                    const CPoint v = grid.GetVertex(k, step, origin);
                    sumX += v.x;
                    sumY += v.y;
                }
                const int px = MaskPixel(sumX / n, m_centroidMinX, m_centroidMaxX, W);
                const int py = MaskPixel(sumY / n, m_centroidMinY, m_centroidMaxY, H);
                const COLORREF c = maskDC.GetPixel(px, py);
                const int s = GetRValue(c) + GetGValue(c) + GetBValue(c);
                if (s < kDarkBelow)
                    pDoc->SetCellState(i, j, g, CELL_BLACKENED);
                else if (s > kLightAbove)
                    pDoc->SetCellState(i, j, g, CELL_ERASED);
            }
        }
    }

    pDoc->UpdateAllViews(nullptr, 0);
    pDoc->SetModifiedFlag(TRUE);
    pDoc->m_bDirty = 1;
    maskDC.SelectObject(pOld);
    return 1;
}

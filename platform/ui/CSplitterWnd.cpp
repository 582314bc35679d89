#include "platform/ui/CSplitterWnd.h"

#include "platform/core/CDocument.h"
#include "platform/ui/CWndView.h"

#include <QImage>
#include <QWidget>

#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CObject)

CSplitterWnd::CSplitterWnd() = default;

CSplitterWnd::~CSplitterWnd()
{
    // Views first: they leave their document and their widgets before the splitter's goes.
    for (CObject* pObject : m_paneObjects)
        delete pObject;
    m_paneObjects.clear();
    m_panes.clear();
}

BOOL CSplitterWnd::CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle, UINT nID)
{
    if (nRows < 1 || nCols < 1 || nCols > 16 || IsWindow())
        return FALSE;
    m_rows.assign(std::size_t(nRows), RowInfo());
    m_cols.assign(std::size_t(nCols), RowInfo());
    m_nCols = nCols;
    m_panes.assign(std::size_t(nRows * nCols), nullptr);
    m_paneObjects.assign(std::size_t(nRows * nCols), nullptr);
    if (!Create(pParentWnd, nID, dwStyle))
        return FALSE;
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(pParentWnd))
        pFrame->SetClientWindow(this);
    return TRUE;
}

BOOL CSplitterWnd::CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext)
{
    if (row < 0 || row >= GetRowCount() || col < 0 || col >= m_nCols || !pViewClass || GetPane(row, col))
        return FALSE;
    CObject* pObject = pViewClass->CreateObject();
    auto* pWnd = dynamic_cast<CWnd*>(pObject);
    if (!pWnd) {
        delete pObject;
        return FALSE;
    }
    if (auto* pView = dynamic_cast<CView*>(pObject); pView && pContext && pContext->m_pCurrentDoc)
        pContext->m_pCurrentDoc->AddView(pView);
    const CRect rc(0, 0, sizeInit.cx, sizeInit.cy);
    if (!pWnd->Create(this, UINT(IdFromRowCol(row, col)), WS_CHILD | WS_VISIBLE, &rc)) {
        delete pObject;
        return FALSE;
    }
    const std::size_t i = std::size_t(row * m_nCols + col);
    m_panes[i] = pWnd;
    m_paneObjects[i] = pObject;
    m_rows[std::size_t(row)].nIdealSize = sizeInit.cy;
    m_cols[std::size_t(col)].nIdealSize = sizeInit.cx;
    return TRUE;
}

CWnd* CSplitterWnd::GetPane(int row, int col) const
{
    if (row < 0 || row >= GetRowCount() || col < 0 || col >= m_nCols)
        return nullptr;
    const UINT nID = UINT(IdFromRowCol(row, col));
    for (CWnd* pPane : m_panes)
        if (pPane && pPane->GetDlgCtrlID() == nID)
            return pPane;
    return nullptr;
}

void CSplitterWnd::GetRowInfo(int row, int& cyCur, int& cyMin) const
{
    cyCur = cyMin = 0;
    if (row < 0 || row >= GetRowCount())
        return;
    cyCur = m_rows[std::size_t(row)].nCurSize;
    cyMin = m_rows[std::size_t(row)].nMinSize;
}

void CSplitterWnd::GetColumnInfo(int col, int& cxCur, int& cxMin) const
{
    cxCur = cxMin = 0;
    if (col < 0 || col >= int(m_cols.size()))
        return;
    cxCur = m_cols[std::size_t(col)].nCurSize;
    cxMin = m_cols[std::size_t(col)].nMinSize;
}

void CSplitterWnd::SetColumnInfo(int col, int cxIdeal, int cxMin)
{
    if (col < 0 || col >= int(m_cols.size()))
        return;
    m_cols[std::size_t(col)].nIdealSize = cxIdeal;
    m_cols[std::size_t(col)].nMinSize = cxMin;
}

void CSplitterWnd::SetRowInfo(int row, int cyIdeal, int cyMin)
{
    if (row < 0 || row >= GetRowCount())
        return;
    m_rows[std::size_t(row)].nIdealSize = cyIdeal;
    m_rows[std::size_t(row)].nMinSize = cyMin;
}

namespace {
// The tracks after the first take their ideal sizes, last first (0 when below their minimum); the
// first track takes the rest.
void LayOutTracks(std::vector<CSplitterWnd::RowInfo>& tracks, int nCount, int total)
{
    int remaining = std::max(0, total - CSplitterWnd::kSplitterBar * (nCount - 1));
    for (int i = nCount - 1; i >= 0; --i) {
        CSplitterWnd::RowInfo& info = tracks[std::size_t(i)];
        int size = remaining;
        if (i > 0) {
            size = std::clamp(info.nIdealSize, 0, remaining);
            if (size < info.nMinSize)
                size = 0;
        }
        info.nCurSize = size;
        remaining -= size;
    }
}
} // namespace

void CSplitterWnd::RecalcLayout()
{
    if (!m_pClient)
        return;
    LayOutTracks(m_rows, GetRowCount(), m_pClient->height());
    LayOutTracks(m_cols, m_nCols, m_pClient->width());
    int y = 0;
    for (int row = 0; row < GetRowCount(); ++row) {
        const int height = m_rows[std::size_t(row)].nCurSize;
        int x = 0;
        for (int col = 0; col < m_nCols; ++col) {
            const int width = m_cols[std::size_t(col)].nCurSize;
            if (CWnd* pPane = GetPane(row, col)) {
                pPane->GetWidget()->setGeometry(x, y, width, height);
                pPane->GetWidget()->setVisible(height > 0 && width > 0);
            }
            x += width + kSplitterBar;
        }
        y += height + kSplitterBar;
    }
    Invalidate(TRUE);
}

void CSplitterWnd::SetActivePane(int row, int col, CWnd* pWnd)
{
    CWnd* pPane = pWnd ? pWnd : GetPane(row, col);
    if (!pPane)
        return;
    for (int r = 0; r < GetRowCount(); ++r)
        for (int c = 0; c < m_nCols; ++c)
            if (GetPane(r, c) == pPane) {
                m_nActiveRow = r;
                m_nActiveCol = c;
            }
    if (auto* pView = dynamic_cast<CWndView*>(pPane)) {
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->SetActiveView(pView);
    }
    // A pane that holds the focus already, in itself or in a child such as an editor open in it,
    // keeps it where it is.
    if (!pPane->HoldsFocus())
        pPane->SetFocus();
}

CWnd* CSplitterWnd::GetActivePane(int* pRow, int* pCol) const
{
    if (pRow)
        *pRow = m_nActiveRow;
    if (pCol)
        *pCol = m_nActiveCol;
    return GetPane(m_nActiveRow, m_nActiveCol);
}

BOOL CSplitterWnd::OnEraseBkgnd(CDC*)
{
    // The background shows only in the bars between the rows.
    if (QImage* pImage = GetBackingImage())
        pImage->fill(QColor(212, 208, 200));
    return TRUE;
}

void CSplitterWnd::OnSize(UINT, int, int) { RecalcLayout(); }

void CSplitterWnd::OnLButtonDown(UINT, CPoint point)
{
    // The bar below row r starts where the rows above it end.
    int y = 0;
    for (int row = 0; row + 1 < GetRowCount(); ++row) {
        y += m_rows[std::size_t(row)].nCurSize;
        if (point.y >= y && point.y < y + kSplitterBar) {
            m_nTrackRow = row;
            SetCapture();
            return;
        }
        y += kSplitterBar;
    }
}

void CSplitterWnd::OnMouseMove(UINT, CPoint point)
{
    if (m_nTrackRow < 0)
        return;
    int top = 0;
    for (int row = 0; row < m_nTrackRow; ++row)
        top += m_rows[std::size_t(row)].nCurSize + kSplitterBar;
    // The bar moves the boundary: the row below it gets what lies under the pointer.
    const int below = m_rows[std::size_t(m_nTrackRow)].nCurSize + kSplitterBar + m_rows[std::size_t(m_nTrackRow + 1)].nCurSize;
    const int newTop = std::clamp(point.y - top, 0, below - kSplitterBar);
    m_rows[std::size_t(m_nTrackRow)].nIdealSize = newTop;
    m_rows[std::size_t(m_nTrackRow + 1)].nIdealSize = below - kSplitterBar - newTop;
    RecalcLayout();
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    if (m_nTrackRow >= 0) {
        m_nTrackRow = -1;
        ReleaseCapture();
    }
}

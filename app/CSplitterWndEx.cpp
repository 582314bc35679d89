#include "app/CSplitterWndEx.h"

#include <vector>

void CSplitterWndEx::HideColumn(int colHide)
{
    const int nCols = GetColumnCount();
    // A second hidden column would lose the first; a splitter keeps at least one column.
    if (hiddenColumn >= 0 || colHide < 0 || colHide >= nCols || nCols < 2)
        return;
    hiddenColumn = colHide;
    int rowActive = 0, colActive = 0;
    if (GetActivePane(&rowActive, &colActive) && colActive == colHide) {
        if (++colActive >= nCols)
            colActive = 0;
        SetActivePane(rowActive, colActive);
    }
    CWnd* pActive = GetActivePane();
    for (int row = 0; row < GetRowCount(); ++row) {
        std::vector<CWnd*> panes;
        for (int col = colHide; col < nCols; ++col)
            panes.push_back(GetPane(row, col));
        for (std::size_t i = 1; i < panes.size(); ++i)
            if (panes[i])
                panes[i]->SetDlgCtrlID(UINT(IdFromRowCol(row, colHide + int(i) - 1)));
        if (panes[0]) {
            panes[0]->ShowWindow(SW_HIDE);
            panes[0]->SetDlgCtrlID(UINT(IdFromRowCol(row, nCols - 1)));
        }
    }
    // The columns to the right keep their widths in their new places.
    int cxCur = 0, cxMin = 0;
    GetColumnInfo(colHide, m_nHiddenWidth, m_nHiddenMin);
    for (int col = colHide; col + 1 < nCols; ++col) {
        GetColumnInfo(col + 1, cxCur, cxMin);
        SetColumnInfo(col, cxCur, cxMin);
    }
    SetColumnCount(nCols - 1);
    RecalcLayout();
    // The active pane may have moved a column to the left.
    if (pActive)
        SetActivePane(0, 0, pActive);
}

void CSplitterWndEx::ShowColumn()
{
    if (hiddenColumn < 0)
        return;
    CWnd* pActive = GetActivePane();
    const int nCols = GetColumnCount() + 1;
    SetColumnCount(nCols);
    for (int row = 0; row < GetRowCount(); ++row) {
        CWnd* pHidden = GetPane(row, nCols - 1);
        std::vector<CWnd*> panes;
        for (int col = hiddenColumn; col < nCols - 1; ++col)
            panes.push_back(GetPane(row, col));
        for (std::size_t i = 0; i < panes.size(); ++i)
            if (panes[i])
                panes[i]->SetDlgCtrlID(UINT(IdFromRowCol(row, hiddenColumn + int(i) + 1)));
        if (pHidden) {
            pHidden->SetDlgCtrlID(UINT(IdFromRowCol(row, hiddenColumn)));
            pHidden->ShowWindow(SW_SHOW);
        }
    }
    int cxCur = 0, cxMin = 0;
    for (int col = nCols - 1; col > hiddenColumn; --col) {
        GetColumnInfo(col - 1, cxCur, cxMin);
        SetColumnInfo(col, cxCur, cxMin);
    }
    SetColumnInfo(hiddenColumn, m_nHiddenWidth, m_nHiddenMin);
    hiddenColumn = -1;
    RecalcLayout();
    if (pActive)
        SetActivePane(0, 0, pActive);
}

void CSplitterWndEx::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

#pragma once
// A static splitter: a fixed grid of panes in rows and columns, with a bar between rows that the user
// can drag. Each row has an ideal and a minimum height; RecalcLayout gives every row below the first
// its ideal height (0 when that is below its minimum), and the first row the rest; columns likewise
// across. Panes are found by their child ids (IdFromRowCol), so a pane given an id past the visible
// columns drops out of the layout.
#include "platform/ui/CFrameWnd.h"

#include <vector>

class CSplitterWnd : public CObject, public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd();
    ~CSplitterWnd() override;

    BOOL CreateStatic(CWnd* pParentWnd, int nRows, int nCols, DWORD dwStyle = WS_CHILD | WS_VISIBLE,
                      UINT nID = AFX_IDW_PANE_FIRST);
    // Creates the pane (row, col) as an object of pViewClass (a window class); a view is attached to the
    // context's document.
    virtual BOOL CreateView(int row, int col, CRuntimeClass* pViewClass, SIZE sizeInit, CCreateContext* pContext);

    int GetRowCount() const { return int(m_rows.size()); }
    int GetColumnCount() const { return m_nCols; }
    CWnd* GetPane(int row, int col) const;
    int IdFromRowCol(int row, int col) const { return int(AFX_IDW_PANE_FIRST) + row * 16 + col; }

    void GetRowInfo(int row, int& cyCur, int& cyMin) const;
    void SetRowInfo(int row, int cyIdeal, int cyMin);
    void GetColumnInfo(int col, int& cxCur, int& cxMin) const;
    void SetColumnInfo(int col, int cxIdeal, int cxMin);
    virtual void RecalcLayout();

    virtual void SetActivePane(int row, int col, CWnd* pWnd = nullptr);
    CWnd* GetActivePane(int* pRow = nullptr, int* pCol = nullptr) const;

    // The size record of one row or column.
    struct RowInfo {
        int nIdealSize = 0;
        int nMinSize = 0;
        int nCurSize = 0;
    };
    // The width of the bar between two rows or columns, in pixels.
    static constexpr int kSplitterBar = 6;

protected:
    // The number of visible columns; column information is kept for every column created.
    void SetColumnCount(int nCols) { m_nCols = nCols; }

    BOOL OnEraseBkgnd(CDC* pDC) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;

private:
    std::vector<RowInfo> m_rows;
    std::vector<RowInfo> m_cols;
    int m_nCols = 0;
    std::vector<CWnd*> m_panes; // row-major
    std::vector<CObject*> m_paneObjects;
    int m_nActiveRow = -1;
    int m_nActiveCol = -1;
    int m_nTrackRow = -1;
};

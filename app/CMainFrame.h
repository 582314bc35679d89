#pragma once
// The main window: main and edit toolbars, status bar, and a two-row splitter with the maze view above
// and the information pane below. SetAdPaneHeight is the one way the rows are sized.
#include "app/CSplitterWndEx.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CStatusBar.h"
#include "platform/ui/CToolBar.h"

class CVantrelDoc;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // Sizes the information pane's row to height (>= 0 replaces the stored height) with minimum
    // minimum (>= 0 replaces the stored minimum); -1 keeps a stored value. Nothing happens before both
    // panes exist.
    void SetAdPaneHeight(int height, int minimum);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    CToolBar& GetMainToolBar() { return m_wndToolBar; }
    CToolBar& GetEditToolBar() { return m_wndEditToolBar; }
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }
    CSplitterWndEx& GetSplitter() { return m_wndSplitter; }
    int GetPaneHeight() const { return paneHeight; }
    int GetPaneMin() const { return paneMin; }

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnSizing(UINT fwSide, LPRECT pRect) override;
    void OnSize(UINT nType, int cx, int cy) override;

    void OnViewEditToolbar();
    void OnUpdateViewEditToolbar(CCmdUI* pCmdUI);
    void OnUpdateSolve(CCmdUI* pCmdUI);
    void OnUpdateClearMaze(CCmdUI* pCmdUI);
    void OnUpdateToolGrowFromHere(CCmdUI* pCmdUI);
    void OnUpdateGenerateMaze(CCmdUI* pCmdUI);
    void OnUpdateApplyBmpMask(CCmdUI* pCmdUI);
    void OnUpdateMaskGallery(CCmdUI* pCmdUI);
    void OnUpdateTemplateGallery(CCmdUI* pCmdUI);
    void OnUpdateCheckForUpdates(CCmdUI* pCmdUI);
    void OnUpdateTilerGallery(CCmdUI* pCmdUI);

    DECLARE_MESSAGE_MAP()

private:
    CVantrelDoc* GetMazeDocument() const;
    int GetGridCount() const;

    // Members are destroyed in reverse order: splitter, edit toolbar, main toolbar, status bar.
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CToolBar m_wndEditToolBar;
    CSplitterWndEx m_wndSplitter;
    int paneHeight = 0;
    int paneMin = 0;
};

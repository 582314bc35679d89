#include "app/CMainFrame.h"

#include "app/CVantrelApp.h"
#include "maze/CVantrelDoc.h"
#include "online/pane/CAdWindow.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_COMMAND(ID_VIEW_EDIT_TOOLBAR, &CMainFrame::OnViewEditToolbar)
    ON_UPDATE_COMMAND_UI(ID_VIEW_EDIT_TOOLBAR, &CMainFrame::OnUpdateViewEditToolbar)
    ON_UPDATE_COMMAND_UI(ID_SOLVE, &CMainFrame::OnUpdateSolve)
    ON_UPDATE_COMMAND_UI(ID_CLEAR_MAZE, &CMainFrame::OnUpdateClearMaze)
    ON_UPDATE_COMMAND_UI(ID_TOOL_GROW_FROM_HERE, &CMainFrame::OnUpdateToolGrowFromHere)
    ON_UPDATE_COMMAND_UI(ID_GENERATE_MAZE, &CMainFrame::OnUpdateGenerateMaze)
    ON_UPDATE_COMMAND_UI(ID_APPLY_BMP_MASK, &CMainFrame::OnUpdateApplyBmpMask)
    ON_UPDATE_COMMAND_UI(ID_MASK_GALLERY, &CMainFrame::OnUpdateMaskGallery)
    ON_UPDATE_COMMAND_UI(ID_TEMPLATE_GALLERY, &CMainFrame::OnUpdateTemplateGallery)
    ON_UPDATE_COMMAND_UI(ID_CHECK_FOR_UPDATES, &CMainFrame::OnUpdateCheckForUpdates)
    ON_UPDATE_COMMAND_UI(ID_TILER_GALLERY, &CMainFrame::OnUpdateTilerGallery)
END_MESSAGE_MAP()

namespace {
const UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
constexpr int kCircularType = 40;
} // namespace

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszName = "FREE Quillmont";
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    if (!m_wndEditToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) ||
        !m_wndEditToolBar.LoadToolBar(IDR_EDIT_TOOLBAR))
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, int(std::size(kIndicators))))
        return -1;
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS);
    m_wndEditToolBar.SetBarStyle(m_wndEditToolBar.GetBarStyle() | CBRS_TOOLTIPS);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    m_wndEditToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    DockControlBar(&m_wndEditToolBar, AFX_IDW_DOCKBAR_LEFT);
    return 0;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (!pContext || !m_wndSplitter.CreateStatic(this, 2, 1, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST))
        return FALSE;
    CCreateContext paneContext = *pContext;
    paneContext.m_pNewViewClass = RUNTIME_CLASS(CAdWindow);
    if (!m_wndSplitter.CreateView(0, 0, pContext->m_pNewViewClass, CSize(0, 0), pContext) ||
        !m_wndSplitter.CreateView(1, 0, paneContext.m_pNewViewClass, CSize(0, 0), &paneContext))
        return FALSE;
    m_wndSplitter.SetActivePane(0, 0);
    m_wndSplitter.splitterReady = TRUE;
    SetAdPaneHeight(0, 0);
    return TRUE;
}

void CMainFrame::SetAdPaneHeight(int height, int minimum)
{
    if (!m_wndSplitter.splitterReady)
        return;
    if (height >= 0)
        paneHeight = height;
    if (minimum >= 0)
        paneMin = minimum;
    if (paneHeight < paneMin)
        paneHeight = paneMin;
    int c0 = 0, c1 = 0, cyMin = 0;
    m_wndSplitter.GetRowInfo(0, c0, cyMin);
    m_wndSplitter.GetRowInfo(1, c1, cyMin);
    if (c0 == 0)
        c0 = -2;
    if (c1 == 0)
        c1 = -2;
    const int total = c0 + c1;
    // A height from a page title can be as large as an int: the rest is taken in 64 bits.
    const long long rest = static_cast<long long>(total) - paneHeight;
    int top = 0;
    if (rest >= 0) {
        top = int(rest);
    } else {
        paneHeight = total;
        if (paneHeight < 0)
            paneHeight = 1;
    }
    m_wndSplitter.SetRowInfo(0, top, 0);
    if (paneMin > paneHeight)
        paneMin = paneHeight;
    m_wndSplitter.SetRowInfo(1, paneHeight, paneMin);
    m_wndSplitter.RecalcLayout();
    m_wndSplitter.SetActivePane(top == 0 ? 1 : 0, 0);
}

void CMainFrame::OnSizing(UINT fwSide, LPRECT pRect)
{
    auto* pApp = dynamic_cast<CVantrelApp*>(AfxGetApp());
    if (pApp && pApp->infoPaneVisible) {
        if (pRect->right - pRect->left < 600)
            pRect->right = pRect->left + 600;
        if (pRect->bottom - pRect->top < 190)
            pRect->bottom = pRect->top + 190;
    }
    CFrameWnd::OnSizing(fwSide, pRect);
}

void CMainFrame::OnSize(UINT nType, int cx, int cy)
{
    CFrameWnd::OnSize(nType, cx, cy);
    SetAdPaneHeight(-1, -1);
}

void CMainFrame::OnViewEditToolbar()
{
    ShowControlBar(&m_wndEditToolBar, !m_wndEditToolBar.IsVisible(), FALSE);
}

void CMainFrame::OnUpdateViewEditToolbar(CCmdUI* pCmdUI) { pCmdUI->SetCheck(m_wndEditToolBar.IsVisible() ? 1 : 0); }

CVantrelDoc* CMainFrame::GetMazeDocument() const { return dynamic_cast<CVantrelDoc*>(GetActiveDocument()); }

int CMainFrame::GetGridCount() const
{
    const CVantrelDoc* pDoc = GetMazeDocument();
    return pDoc ? pDoc->m_nGrids : 0;
}

void CMainFrame::OnUpdateSolve(CCmdUI* pCmdUI)
{
    const CVantrelDoc* pDoc = GetMazeDocument();
    pCmdUI->Enable(pDoc && pDoc->m_nGrids >= 1 && !pDoc->m_bTemplateOnly);
}

void CMainFrame::OnUpdateClearMaze(CCmdUI* pCmdUI) { OnUpdateSolve(pCmdUI); }

void CMainFrame::OnUpdateToolGrowFromHere(CCmdUI* pCmdUI) { pCmdUI->Enable(GetGridCount() > 0); }

void CMainFrame::OnUpdateGenerateMaze(CCmdUI* pCmdUI) { pCmdUI->Enable(GetGridCount() > 0); }

void CMainFrame::OnUpdateApplyBmpMask(CCmdUI* pCmdUI)
{
    const CVantrelDoc* pDoc = GetMazeDocument();
    pCmdUI->Enable(pDoc && pDoc->m_nGrids > 0 && pDoc->m_bTemplateOnly && pDoc->m_nType != kCircularType);
}

void CMainFrame::OnUpdateMaskGallery(CCmdUI* pCmdUI)
{
    const CVantrelDoc* pDoc = GetMazeDocument();
    pCmdUI->Enable(pDoc && pDoc->m_nGrids >= 1 && !pDoc->m_bGenerated && pDoc->m_nType != kCircularType);
}

void CMainFrame::OnUpdateTemplateGallery(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
void CMainFrame::OnUpdateCheckForUpdates(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
void CMainFrame::OnUpdateTilerGallery(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }

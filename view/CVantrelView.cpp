// The view's painting: the back buffer, the fixed order of layers, the scroll and buffer set-up, the
// mapping mode, and the View menu's switches.
#include "view/CVantrelView.h"

#include "maze/CLogicalRectTracker.h"
#include "maze/CVantrelDoc.h"
#include "maze/Object.h"
#include "platform/core/MessageBox.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CVantrelView, CScrollView)

BEGIN_MESSAGE_MAP(CVantrelView, CScrollView)
    ON_COMMAND(ID_VIEW_SOLUTION, &CVantrelView::OnViewSolution)
    ON_UPDATE_COMMAND_UI(ID_VIEW_SOLUTION, &CVantrelView::OnUpdateViewSolution)
    ON_COMMAND(ID_SHOW_ERASED_CELLS, &CVantrelView::OnShowErasedCells)
    ON_UPDATE_COMMAND_UI(ID_SHOW_ERASED_CELLS, &CVantrelView::OnUpdateShowErasedCells)
    ON_COMMAND(ID_ANIMATED_CREATION, &CVantrelView::OnAnimatedCreation)
    ON_UPDATE_COMMAND_UI(ID_ANIMATED_CREATION, &CVantrelView::OnUpdateAnimatedCreation)
    ON_COMMAND(ID_INFO_BOX, &CVantrelView::OnInfoBox)
    ON_UPDATE_COMMAND_UI(ID_INFO_BOX, &CVantrelView::OnUpdateInfoBox)
    ON_COMMAND(ID_VIEW_BACKGROUND_IMGS, &CVantrelView::OnViewBackgroundImgs)
    ON_UPDATE_COMMAND_UI(ID_VIEW_BACKGROUND_IMGS, &CVantrelView::OnUpdateViewBackgroundImgs)
    ON_COMMAND(ID_VIEW_MAZE_TEMPLATE, &CVantrelView::OnViewMazeTemplate)
    ON_UPDATE_COMMAND_UI(ID_VIEW_MAZE_TEMPLATE, &CVantrelView::OnUpdateViewMazeTemplate)
    ON_COMMAND(ID_VIEW_FOREGROUND_IMGS, &CVantrelView::OnViewForegroundImgs)
    ON_UPDATE_COMMAND_UI(ID_VIEW_FOREGROUND_IMGS, &CVantrelView::OnUpdateViewForegroundImgs)
    ON_COMMAND(ID_VIEW_TEXT_LAYER, &CVantrelView::OnViewTextLayer)
    ON_UPDATE_COMMAND_UI(ID_VIEW_TEXT_LAYER, &CVantrelView::OnUpdateViewTextLayer)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE, &CVantrelView::OnUpdateFileSave)
    ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, &CVantrelView::OnUpdateFileSaveAs)
    ON_COMMAND(ID_TOOL_RESET, &CVantrelView::OnToolReset)
    ON_UPDATE_COMMAND_UI(ID_TOOL_RESET, &CVantrelView::OnUpdateToolReset)
    ON_COMMAND(ID_TOOL_BLACKEN, &CVantrelView::OnToolBlacken)
    ON_UPDATE_COMMAND_UI(ID_TOOL_BLACKEN, &CVantrelView::OnUpdateToolBlacken)
    ON_COMMAND(ID_TOOL_STOP, &CVantrelView::OnToolStop)
    ON_UPDATE_COMMAND_UI(ID_TOOL_STOP, &CVantrelView::OnUpdateToolStop)
    ON_COMMAND(ID_TOOL_START, &CVantrelView::OnToolStart)
    ON_UPDATE_COMMAND_UI(ID_TOOL_START, &CVantrelView::OnUpdateToolStart)
    ON_COMMAND(ID_TOOL_WHITEN, &CVantrelView::OnToolWhiten)
    ON_UPDATE_COMMAND_UI(ID_TOOL_WHITEN, &CVantrelView::OnUpdateToolWhiten)
    ON_COMMAND(ID_TOOL_GROW_FROM_HERE, &CVantrelView::OnToolGrowFromHere)
    ON_COMMAND(ID_TOOL_DRAW_SOLUTION, &CVantrelView::OnToolDrawSolution)
    ON_UPDATE_COMMAND_UI(ID_TOOL_DRAW_SOLUTION, &CVantrelView::OnUpdateToolDrawSolution)
    ON_COMMAND(ID_ACTIVE_LAYER_BACKGROUND, &CVantrelView::OnActiveLayerBackground)
    ON_UPDATE_COMMAND_UI(ID_ACTIVE_LAYER_BACKGROUND, &CVantrelView::OnUpdateActiveLayerBackground)
    ON_COMMAND(ID_ACTIVE_LAYER_MAZE_TEMPLATE, &CVantrelView::OnActiveLayerMazeTemplate)
    ON_UPDATE_COMMAND_UI(ID_ACTIVE_LAYER_MAZE_TEMPLATE, &CVantrelView::OnUpdateActiveLayerMazeTemplate)
    ON_COMMAND(ID_ACTIVE_LAYER_FOREGROUND, &CVantrelView::OnActiveLayerForeground)
    ON_UPDATE_COMMAND_UI(ID_ACTIVE_LAYER_FOREGROUND, &CVantrelView::OnUpdateActiveLayerForeground)
    ON_COMMAND(ID_ACTIVE_LAYER_TEXT, &CVantrelView::OnActiveLayerText)
    ON_UPDATE_COMMAND_UI(ID_ACTIVE_LAYER_TEXT, &CVantrelView::OnUpdateActiveLayerText)
    ON_COMMAND(ID_FILE_PRINT, &CVantrelView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, &CVantrelView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CVantrelView::OnFilePrintPreview)
    ON_COMMAND(ID_APPLY_BMP_MASK, &CVantrelView::OnApplyBmpMask)
    ON_COMMAND(ID_DELETE_OBJECT, &CVantrelView::OnDeleteObject)
    ON_UPDATE_COMMAND_UI(ID_DELETE_OBJECT, &CVantrelView::OnUpdateDeleteObject)
    ON_COMMAND(ID_BRING_TO_TOP, &CVantrelView::OnBringToTop)
    ON_UPDATE_COMMAND_UI(ID_BRING_TO_TOP, &CVantrelView::OnUpdateBringToTop)
    ON_COMMAND(ID_MOVE_TO_BOTTOM, &CVantrelView::OnMoveToBottom)
    ON_UPDATE_COMMAND_UI(ID_MOVE_TO_BOTTOM, &CVantrelView::OnUpdateMoveToBottom)
    ON_EN_KILLFOCUS(IDC_TEXT_EDITOR, &CVantrelView::OnTextEditKillFocus)
    ON_EN_CHANGE(IDC_TEXT_EDITOR, &CVantrelView::OnTextEditChange)
END_MESSAGE_MAP()

namespace {
// The first size set-up of the process starts from empty scroll sizes.
bool g_bFirstSize = true;
// The in-place text editor is made once per process.
bool g_bEditorPending = true;
constexpr DWORD kTextEditorStyle = 0x40810004;  // child, border, tab stop, multi-line; hidden
// The two bits every editor gets, and its changes: the edited object follows what is typed.
constexpr DWORD kTextEditorEvents = 0x300 | ENM_CHANGE;
}  // namespace

CVantrelView::CVantrelView()
{
    m_polygon.SetSize(16, 2);
    LoadPrintSettings();
}

CVantrelView::~CVantrelView()
{
    if (m_pOldBufferBitmap)
        m_backBufferDC.SelectObject(m_pOldBufferBitmap);
    m_wallPen.DeleteObject();
}

CVantrelDoc* CVantrelView::GetDocument() const { return static_cast<CVantrelDoc*>(m_pDocument); }

// ---- Painting ------------------------------------------------------------------------------------------

void CVantrelView::OnDraw(CDC* pDC)
{
    CVantrelDoc* pDoc = GetDocument();
    if (!pDoc)
        return;  // a paint before the framework attached the document
    if (!pDoc->m_strError.IsEmpty()) {
        // Emptied before the box shows, so a paint while it is up does not show it again.
        CString strError = pDoc->m_strError;
        pDoc->m_strError.Empty();
        AfxMessageBox(strError, MB_OKCANCEL);
    }
    BeginWaitCursor();
    if (pDC->IsPrinting())
        m_bScreen = 0;

    if (pDoc->m_nGrids && (pDoc->m_bDirty || !m_bScreen)) {
        if (pDoc->m_bLoadTiler > 0) {
            pDoc->m_bLoadTiler = 0;  // cleared whether or not the set loads
            LoadDocumentTiler();
        }
        if (pDoc->GetGrid(0)->kind == 2)
            ComputeCircularGeometry();
        m_polygon.SetSize(16, 2);
        CacheCellSize();
        m_nCachedType = pDoc->m_nType;
        m_wallPen.DeleteObject();
        m_wallPen.CreatePen(PS_SOLID, pDoc->m_nPenWidth, 0x000000);

        CDC* pTarget = pDC;
        if (m_bScreen) {
            ComputeExtents();
            OnPrepareDC(&m_backBufferDC);
            m_backBufferDC.BitBlt(0, 0, m_extent.cx, m_extent.cy, nullptr, 0, 0, WHITENESS);
            pTarget = &m_backBufferDC;
        }
        CSize ext = pTarget->GetWindowExt();
        pTarget->BitBlt(0, 0, ext.cx, -ext.cy, nullptr, 0, 0, WHITENESS);

        DrawWatermark(pTarget);
        if (m_bShowBackground)
            DrawLayerObjects(pTarget, LAYER_BACKGROUND);
        if (m_bShowMaze || m_bShowSolution) {
            if (pDoc->m_bTiled && pDoc->m_nType == 0) {
                DrawTiledMaze(pTarget);
            } else {
                DrawMazeFills(pTarget);
                DrawMazeWalls(pTarget);
            }
        }
        if (m_bShowForeground)
            DrawLayerObjects(pTarget, LAYER_FOREGROUND);
        if (m_bShowText)
            DrawTextLayer(pTarget);
        pDoc->m_bDirty = 0;
    }

    if (pDoc->m_nGrids && m_bScreen) {
        OnPrepareDC(pDC);
        OnPrepareDC(&m_backBufferDC);
        pDC->BitBlt(0, 0, m_extent.cx, m_extent.cy, &m_backBufferDC, 0, 0, SRCCOPY);
        // Collapsing the pane can resize this window, which replaces the image pDC draws into: so
        // it comes after the copy, and a resize repaints the window anyway.
        CollapseInfoPane();
    }
    EndWaitCursor();
    m_bScreen = 1;
}

int CVantrelView::DrawLayerObjects(CDC* pDC, int nLayer)
{
    CVantrelDoc* pDoc = GetDocument();
    int nDrawn = 0;
    for (int i = 0; i < pDoc->m_objects.GetSize(); ++i) {
        CLogicalRectTracker& object = pDoc->m_objects[i];
        if (object.m_nLayer == nLayer) {
            object.Draw(pDC);
            ++nDrawn;
        }
    }
    return nDrawn;
}

// ---- Scroll and buffer set-up -------------------------------------------------------------------------

void CVantrelView::ComputePageBuffer(CDC* pDC, int nPageWidth, int nPageHeight, CSize& extent, CSize& bufferSize)
{
    CSize page(nPageWidth, -nPageHeight);
    pDC->LPtoDP(&page);
    extent = CSize(page.cx + 1, page.cy);
    pDC->DPtoLP(&extent);
    bufferSize = CSize(page.cx + 1, -page.cy + 1);
}

void CVantrelView::RebuildBackBuffer(CDC* pDC)
{
    CVantrelDoc* pDoc = GetDocument();
    ComputePageBuffer(pDC, pDoc->m_nPageWidth, pDoc->m_nPageHeight, m_extent, m_bufferSize);
    if (m_pOldBufferBitmap)
        m_backBufferDC.SelectObject(m_pOldBufferBitmap);
    m_pOldBufferBitmap = nullptr;
    if (m_backBufferDC.GetSafeHdc())
        m_backBufferDC.DeleteDC();
    m_backBufferDC.CreateCompatibleDC(pDC);
    m_backBufferBitmap.DeleteObject();
    m_backBufferBitmap.CreateCompatibleBitmap(pDC, m_bufferSize.cx, m_bufferSize.cy);
    m_pOldBufferBitmap = m_backBufferDC.SelectObject(&m_backBufferBitmap);
}

void CVantrelView::OnUpdate(CView*, LPARAM, CObject*)
{
    CVantrelDoc* pDoc = GetDocument();
    CDC* pDC = GetDC();
    if (pDoc->m_nGrids == 0) {
        SetScrollSizes(MM_HIENGLISH, CSize(0, 0), CSize(0, 0), CSize(0, 0));
        ReleaseDC(pDC);
        // The paint shows a message the document queued (a refused open or save).
        Invalidate(TRUE);
        return;
    }
    if (g_bEditorPending) {
        g_bEditorPending = false;
        m_textEditor.Create(kTextEditorStyle, CRect(0, 0, 0, 0), this, IDC_TEXT_EDITOR);
        m_textEditor.SetEventMask(m_textEditor.GetEventMask() + kTextEditorEvents);
    }
    m_bScreen = 1;
    CacheCellSize();
    ComputeExtents();
    SetPageScrollSizes(pDC);
    RebuildBackBuffer(pDC);
    ReleaseDC(pDC);
    Invalidate(TRUE);
}

CSize CVantrelView::ClientLogicalSize(CDC* pDC) const
{
    CRect client;
    GetClientRect(&client);
    pDC->DPtoLP(&client);
    return client.Size();
}

void CVantrelView::SetPageScrollSizes(CDC* pDC)
{
    OnPrepareDC(pDC);
    CVantrelDoc* pDoc = GetDocument();
    SetScrollSizes(MM_HIENGLISH, CSize(pDoc->m_nPageWidth, pDoc->m_nPageHeight), ClientLogicalSize(pDC),
                   CSize(m_nCachedCellWidth, m_nCachedCellHeight));
}

void CVantrelView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    CVantrelDoc* pDoc = GetDocument();
    m_nFooterHeight = pDoc->m_nTopReserve;
    AnnounceToApplication();
    SetActiveLayer(m_nActiveLayer);

    CDC* pDC = GetDC();
    CacheCellSize();
    ComputeExtents();
    pDC->SetMapMode(MM_HIENGLISH);
    ComputeCellPixels(pDC);
    SetScrollSizes(MM_HIENGLISH, CSize(0, 0), ClientLogicalSize(pDC), CSize(m_snappedCell.cx, -m_snappedCell.cy));
    ReleaseDC(pDC);
}

void CVantrelView::OnSize(UINT nType, int cx, int cy)
{
    CDC* pDC = GetDC();
    CScrollView::OnSize(nType, cx, cy);
    if (g_bFirstSize) {
        SetScrollSizes(MM_HIENGLISH, CSize(0, 0), CSize(0, 0), CSize(0, 0));
        g_bFirstSize = false;
    }
    CVantrelDoc* pDoc = GetDocument();
    if (!pDoc || pDoc->m_nGrids == 0) {
        ReleaseDC(pDC);
        return;
    }
    ComputeExtents();
    SetPageScrollSizes(pDC);
    ReleaseDC(pDC);
}

void CVantrelView::ComputeCellPixels(CDC* pDC)
{
    CacheCellSize();
    m_cellPixels = CSize(m_nCachedCellWidth, -m_nCachedCellHeight);
    pDC->LPtoDP(&m_cellPixels);
    m_pixelLogical = CSize(1, 1);
    pDC->DPtoLP(&m_pixelLogical);
    m_snappedCell = CSize(m_pixelLogical.cx * m_cellPixels.cx, m_pixelLogical.cy * m_cellPixels.cy);
}

void CVantrelView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    if (!pDC->IsPrinting() && pDC != &m_backBufferDC && m_bScreen)
        CScrollView::OnPrepareDC(pDC, pInfo);
    pDC->SetMapMode(MM_HIENGLISH);
    ComputeCellPixels(pDC);
}

// ---- Layers --------------------------------------------------------------------------------------------

int CVantrelView::SetActiveLayer(int nLayer)
{
    CVantrelDoc* pDoc = GetDocument();
    if (nLayer < 0) {
        nLayer = m_nActiveLayer;
    } else if (nLayer > 0) {
        SetFocus();
        m_nActiveLayer = nLayer;
    }
    for (int i = 0; i < pDoc->m_objects.GetSize(); ++i) {
        CLogicalRectTracker& object = pDoc->m_objects[i];
        object.m_nSelectStyle = object.m_nLayer == nLayer ? 1 : 0;
    }
    if (nLayer > 0) {
        UpdateEditToolbar(nLayer);
        pDoc->m_bDirty = 1;
        pDoc->UpdateAllViews(nullptr, 0);
    }
    return nLayer;
}


BOOL CVantrelView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The gallery and update commands belong to the information pane, which is offered them first.
    // Only running the command gives the pane the keyboard focus: the update requests that menus and
    // toolbars make all the time must not pull the focus (and with it the active view) away from the
    // maze. The pane's answer counts, so these commands stay enabled.
    BOOL bPane = FALSE;
    if (nID == ID_MASK_GALLERY || nID == ID_TEMPLATE_GALLERY || nID == ID_CHECK_FOR_UPDATES ||
        nID == ID_TILER_GALLERY) {
        if (CWnd* pPane = GetInfoPane()) {
            if (nCode == CN_COMMAND && !pHandlerInfo)
                pPane->SetFocus();
            bPane = pPane->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
        }
    }
    return CScrollView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) || bPane;
}

// ---- View option commands ------------------------------------------------------------------------------

void CVantrelView::ToggleViewFlag(int& flag)
{
    flag = flag == 0 ? 1 : 0;
    CVantrelDoc* pDoc = GetDocument();
    pDoc->m_bDirty = 1;
    pDoc->UpdateAllViews(nullptr, 0);
}

void CVantrelView::UpdateDrawingToggle(CCmdUI* pCmdUI, int flag)
{
    if (GetDocument()->m_nGrids < 1) {
        pCmdUI->SetCheck(0);
        pCmdUI->Enable(FALSE);
    } else {
        pCmdUI->Enable(TRUE);
        pCmdUI->SetCheck(flag != 0);
    }
}

void CVantrelView::OnViewSolution() { ToggleViewFlag(m_bShowSolution); }
void CVantrelView::OnUpdateViewSolution(CCmdUI* pCmdUI) { UpdateDrawingToggle(pCmdUI, m_bShowSolution); }
void CVantrelView::OnViewBackgroundImgs() { ToggleViewFlag(m_bShowBackground); }
void CVantrelView::OnUpdateViewBackgroundImgs(CCmdUI* pCmdUI) { UpdateDrawingToggle(pCmdUI, m_bShowBackground); }
void CVantrelView::OnViewMazeTemplate() { ToggleViewFlag(m_bShowMaze); }
void CVantrelView::OnUpdateViewMazeTemplate(CCmdUI* pCmdUI) { UpdateDrawingToggle(pCmdUI, m_bShowMaze); }
void CVantrelView::OnViewForegroundImgs() { ToggleViewFlag(m_bShowForeground); }
void CVantrelView::OnUpdateViewForegroundImgs(CCmdUI* pCmdUI) { UpdateDrawingToggle(pCmdUI, m_bShowForeground); }
void CVantrelView::OnViewTextLayer() { ToggleViewFlag(m_bShowText); }
void CVantrelView::OnUpdateViewTextLayer(CCmdUI* pCmdUI) { UpdateDrawingToggle(pCmdUI, m_bShowText); }

void CVantrelView::OnShowErasedCells() { ToggleViewFlag(GetDocument()->m_bErasedVisible); }

void CVantrelView::OnUpdateShowErasedCells(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(GetDocument()->m_bErasedVisible != 0);
}

void CVantrelView::OnAnimatedCreation()
{
    int& animate = GetDocument()->m_bAnimate;
    animate = animate == 0 ? 1 : 0;
}

void CVantrelView::OnUpdateAnimatedCreation(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(GetDocument()->m_bAnimate != 0);
}

void CVantrelView::OnInfoBox()
{
    // The switch belongs to the application; the information pane acts on it.
    SetInfoPaneVisible(!IsInfoPaneVisible());
    CVantrelDoc* pDoc = GetDocument();
    pDoc->m_bDirty = 1;
    pDoc->UpdateAllViews(nullptr, 0);
}

void CVantrelView::OnUpdateInfoBox(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(IsInfoPaneVisible());
}

// Save and Save As stay as the framework and the document leave them.
void CVantrelView::OnUpdateFileSave(CCmdUI*) {}
void CVantrelView::OnUpdateFileSaveAs(CCmdUI*) {}

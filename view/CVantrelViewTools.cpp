// The edit tools of the maze layer, the mouse dispatch by active layer, the Active Layer commands and
// the edit toolbar's buttons per layer.
#include "view/CVantrelView.h"

#include <QToolBar>
#include <QWidget>

#include "maze/CLogicalRectTracker.h"
#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CToolBar.h"
#include "resources/resource.h"

namespace {
// The last cell a left drag of Draw Solution hit; shared by every view for the life of the process.
struct DrawSolutionMemory {
    int x = 0, y = 0, g = 0;
} g_drawSolutionMemory;

// The tool buttons released before the chosen one is pressed, in this order.
constexpr UINT kToolButtons[] = {ID_TOOL_BLACKEN, ID_TOOL_WHITEN, ID_TOOL_RESET, ID_TOOL_GROW_FROM_HERE,
                                 ID_TOOL_START, ID_TOOL_STOP, ID_TOOL_DRAW_SOLUTION};
// The cell tools shown on the maze layer, and the object tools shown on the others.
constexpr UINT kCellToolButtons[] = {ID_TOOL_BLACKEN, ID_TOOL_WHITEN, ID_TOOL_RESET,
                                     ID_TOOL_GROW_FROM_HERE, ID_TOOL_START, ID_TOOL_STOP};
constexpr UINT kObjectToolButtons[] = {ID_DELETE_OBJECT, ID_BRING_TO_TOP, ID_MOVE_TO_BOTTOM};

// The window message of a pointer move, as the cursor request names it.
constexpr UINT kMouseMoveMessage = 0x0200;

// The document's marks of a START or STOP the user placed.
constexpr int kPlacedStart = 0x10;
constexpr int kPlacedStop = 0x20;

// Cell flag values of the tools that set one; -1 for tools that set none.
int LeftDragValue(int nTool)
{
    switch (nTool) {
    case ID_TOOL_RESET: return 0;
    case ID_TOOL_BLACKEN: return CELL_BLACKENED;
    case ID_TOOL_WHITEN: return CELL_ERASED;
    default: return -1;
    }
}
} // namespace

CToolBar* CVantrelView::GetEditToolBar() const
{
    CFrameWnd* pFrame = GetParentFrame();
    if (!pFrame || !pFrame->GetWidget())
        return nullptr;
    for (QToolBar* pBar : pFrame->GetWidget()->findChildren<QToolBar*>()) {
        auto* pToolBar = dynamic_cast<CToolBar*>(CWnd::FromWidget(pBar));
        if (pToolBar && pToolBar->CommandToIndex(ID_TOOL_BLACKEN) >= 0)
            return pToolBar;
    }
    return nullptr;
}

// ---- Mouse dispatch by active layer ------------------------------------------------------------------

void CVantrelView::OnLButtonDown(UINT nFlags, CPoint point)
{
    switch (m_nActiveLayer) {
    case LAYER_BACKGROUND:
    case LAYER_FOREGROUND: OnImageLButtonDown(nFlags, point); break;
    case LAYER_MAZE: OnMazeLButtonDown(nFlags, point); break;
    case LAYER_TEXT: OnTextLButtonDown(nFlags, point); break;
    default: break;
    }
}

void CVantrelView::OnRButtonDown(UINT nFlags, CPoint point)
{
    switch (m_nActiveLayer) {
    case LAYER_BACKGROUND:
    case LAYER_FOREGROUND: OnImageRButtonDown(nFlags, point); break;
    case LAYER_MAZE: OnMazeRButtonDown(nFlags, point); break;
    case LAYER_TEXT: OnTextRButtonDown(nFlags, point); break;
    default: break;
    }
}

void CVantrelView::OnMouseMove(UINT nFlags, CPoint point)
{
    // The window system asks for the cursor before it reports the move.
    OnSetCursor(this, HTCLIENT, kMouseMoveMessage);
    switch (m_nActiveLayer) {
    case LAYER_BACKGROUND:
    case LAYER_FOREGROUND: OnImageMouseMove(nFlags, point); break;
    case LAYER_MAZE: OnMazeMouseMove(nFlags, point); break;
    case LAYER_TEXT: OnTextMouseMove(nFlags, point); break;
    default: break;
    }
}

void CVantrelView::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_nDragState = 0;
    CVantrelDoc* pDoc = GetDocument();
    if (pDoc->m_bDirty) {
        // The full repaint shows every change of the drag in its final form.
        pDoc->SetModifiedFlag(TRUE);
        Invalidate(TRUE);
    }
    CScrollView::OnLButtonUp(nFlags, point);
}

void CVantrelView::OnRButtonUp(UINT nFlags, CPoint point)
{
    m_nDragState = 0;
    CScrollView::OnRButtonUp(nFlags, point);
}

// ---- Maze-layer handlers -----------------------------------------------------------------------------

BOOL CVantrelView::HitTestPoint(CDC* pDC, CPoint point, int& x, int& y, int& g)
{
    const CPoint scroll = GetDeviceScrollPosition();
    CRgn region;
    return HitTestCell(pDC, point.x + scroll.x, point.y + scroll.y, &region, x, y, g);
}

void CVantrelView::ApplyCellValue(CDC* pDC, int x, int y, int g, int value)
{
    CVantrelDoc* pDoc = GetDocument();
    pDoc->SetCellState(x, y, g, value);
    RedrawCell(pDC, x, y, g, DRAW_PASS_CELL);
    if (value == CELL_ERASED)
        RedrawCellAndNeighbours(pDC, x, y, g, 2);
}

void CVantrelView::OnMazeLButtonDown(UINT nFlags, CPoint point)
{
    CVantrelDoc* pDoc = GetDocument();
    CClientDC dc(this);
    OnPrepareDC(dc);
    int x = 0, y = 0, g = 0;
    if (HitTestPoint(dc, point, x, y, g)) {
        m_nDragState = 1;
        int value = LeftDragValue(m_nEditTool);
        switch (m_nEditTool) {
        case ID_TOOL_START:
            value = CELL_START | CELL_HIDDEN;
            pDoc->m_nPlacedMarks |= kPlacedStart;
            break;
        case ID_TOOL_STOP:
            value = CELL_STOP | CELL_HIDDEN;
            pDoc->m_nPlacedMarks |= kPlacedStop;
            break;
        case ID_TOOL_GROW_FROM_HERE:
            pDoc->m_nStartX = x;
            pDoc->m_nStartY = y;
            pDoc->m_startPoints.Add(CPoint(x, y));
            pDoc->OnGenerateMaze();
            break;
        case ID_TOOL_DRAW_SOLUTION:
            pDoc->CarveCell(x, y, g);
            RedrawCell(dc, x, y, g, DRAW_PASS_CELL);
            RedrawCellAndNeighbours(dc, x, y, g, DRAW_PASS_CELL);
            break;
        default: break;
        }
        if (value >= 0) {
            ApplyCellValue(dc, x, y, g, value);
            pDoc->SetModifiedFlag(TRUE);
        }
    }
    CScrollView::OnLButtonDown(nFlags, point);
}

void CVantrelView::OnMazeRButtonDown(UINT nFlags, CPoint point)
{
    CVantrelDoc* pDoc = GetDocument();
    int value = 0;
    if (m_nEditTool == int(ID_TOOL_START)) {
        value = CELL_START;
        pDoc->m_nPlacedMarks |= kPlacedStart;
    } else if (m_nEditTool == int(ID_TOOL_STOP)) {
        value = CELL_STOP;
        pDoc->m_nPlacedMarks |= kPlacedStop;
    }
    CClientDC dc(this);
    OnPrepareDC(dc);
    m_nDragState = 2;
    int x = 0, y = 0, g = 0;
    if (HitTestPoint(dc, point, x, y, g)) {
        pDoc->SetCellState(x, y, g, value);
        RedrawCell(dc, x, y, g, DRAW_PASS_CELL);
        pDoc->SetModifiedFlag(TRUE);
    }
    CScrollView::OnRButtonDown(nFlags, point);
}

void CVantrelView::OnMazeMouseMove(UINT nFlags, CPoint point)
{
    if (m_nDragState > 0) {
        CVantrelDoc* pDoc = GetDocument();
        int value = -1;
        if (m_nDragState == 1) {
            value = LeftDragValue(m_nEditTool);
            if (m_nEditTool == int(ID_TOOL_DRAW_SOLUTION)) {
                CClientDC dc(this);
                OnPrepareDC(dc);
                int x = 0, y = 0, g = 0;
                if (HitTestPoint(dc, point, x, y, g)) {
                    DrawSolutionMemory& last = g_drawSolutionMemory;
                    if (x != last.x || y != last.y || g != last.g) {
                        pDoc->CarveCell(x, y, g);
                        RedrawCell(dc, x, y, g, 2);
                        RedrawCellAndNeighbours(dc, x, y, g, 2);
                    }
                    last = {x, y, g};
                }
            }
        } else if (m_nDragState == 2) {
            value = 0;
        }
        CClientDC dc(this);
        OnPrepareDC(dc);
        if (value >= 0) {
            int x = 0, y = 0, g = 0;
            if (HitTestPoint(dc, point, x, y, g))
                ApplyCellValue(dc, x, y, g, value);
            pDoc->SetModifiedFlag(TRUE);
        }
    }
    CScrollView::OnMouseMove(nFlags, point);
}

// ---- Tool commands -----------------------------------------------------------------------------------

void CVantrelView::OnToolReset() { SetEditTool(ID_TOOL_RESET); }
void CVantrelView::OnToolBlacken() { SetEditTool(ID_TOOL_BLACKEN); }
void CVantrelView::OnToolStop() { SetEditTool(ID_TOOL_STOP); }
void CVantrelView::OnToolStart() { SetEditTool(ID_TOOL_START); }
void CVantrelView::OnToolWhiten() { SetEditTool(ID_TOOL_WHITEN); }
void CVantrelView::OnToolGrowFromHere() { SetEditTool(ID_TOOL_GROW_FROM_HERE); }
void CVantrelView::OnToolDrawSolution() { SetEditTool(ID_TOOL_DRAW_SOLUTION); }

void CVantrelView::SetEditTool(int nTool)
{
    m_nEditTool = nTool;
    CToolBar* pBar = GetEditToolBar();
    if (!pBar)
        return;
    CToolBarCtrl& bar = pBar->GetToolBarCtrl();
    for (UINT nID : kToolButtons)
        bar.PressButton(int(nID), FALSE);
    bar.PressButton(nTool, TRUE);
}

void CVantrelView::UpdateToolCommand(CCmdUI* pCmdUI)
{
    const CVantrelDoc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc->m_nGrids >= 1 && !pDoc->m_bGenerated);
}

void CVantrelView::OnUpdateToolReset(CCmdUI* pCmdUI) { UpdateToolCommand(pCmdUI); }
void CVantrelView::OnUpdateToolBlacken(CCmdUI* pCmdUI) { UpdateToolCommand(pCmdUI); }
void CVantrelView::OnUpdateToolStop(CCmdUI* pCmdUI) { UpdateToolCommand(pCmdUI); }
void CVantrelView::OnUpdateToolStart(CCmdUI* pCmdUI) { UpdateToolCommand(pCmdUI); }
void CVantrelView::OnUpdateToolWhiten(CCmdUI* pCmdUI) { UpdateToolCommand(pCmdUI); }
void CVantrelView::OnUpdateToolDrawSolution(CCmdUI* pCmdUI) { UpdateToolCommand(pCmdUI); }

// ---- Active layer ------------------------------------------------------------------------------------

void CVantrelView::OnActiveLayerBackground() { SetActiveLayer(LAYER_BACKGROUND); }
void CVantrelView::OnActiveLayerMazeTemplate() { SetActiveLayer(LAYER_MAZE); }
void CVantrelView::OnActiveLayerForeground() { SetActiveLayer(LAYER_FOREGROUND); }
void CVantrelView::OnActiveLayerText() { SetActiveLayer(LAYER_TEXT); }

void CVantrelView::UpdateActiveLayerCommand(CCmdUI* pCmdUI, int nLayer)
{
    if (GetDocument()->m_nGrids < 1) {
        pCmdUI->SetCheck(0);
        pCmdUI->Enable(FALSE);
        return;
    }
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_nActiveLayer == nLayer ? 1 : 0);
}

void CVantrelView::OnUpdateActiveLayerBackground(CCmdUI* pCmdUI) { UpdateActiveLayerCommand(pCmdUI, LAYER_BACKGROUND); }
void CVantrelView::OnUpdateActiveLayerMazeTemplate(CCmdUI* pCmdUI) { UpdateActiveLayerCommand(pCmdUI, LAYER_MAZE); }
void CVantrelView::OnUpdateActiveLayerForeground(CCmdUI* pCmdUI) { UpdateActiveLayerCommand(pCmdUI, LAYER_FOREGROUND); }
void CVantrelView::OnUpdateActiveLayerText(CCmdUI* pCmdUI) { UpdateActiveLayerCommand(pCmdUI, LAYER_TEXT); }

void CVantrelView::UpdateEditToolbar(int nLayer)
{
    CFrameWnd* pFrame = GetParentFrame();
    CToolBar* pBar = GetEditToolBar();
    if (!pFrame || !pBar)
        return;
    CToolBar& bar = *pBar;
    CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
    const bool bCellTools = nLayer == LAYER_MAZE;
    if (bCellTools) {
        for (UINT nID : kCellToolButtons)
            ctrl.HideButton(int(nID), FALSE);
        ctrl.HideButton(ID_TOOL_DRAW_SOLUTION, TRUE);
        for (UINT nID : kObjectToolButtons)
            ctrl.HideButton(int(nID), TRUE);
    } else {
        for (UINT nID : kObjectToolButtons)
            ctrl.HideButton(int(nID), FALSE);
        for (UINT nID : kCellToolButtons)
            ctrl.HideButton(int(nID), TRUE);
        ctrl.HideButton(ID_TOOL_DRAW_SOLUTION, TRUE);
    }
    ctrl.AutoSize();
    pFrame->RecalcLayout(TRUE);
    // Re-docking gives the bar its new length.
    if (bar.IsVisible()) {
        pFrame->ShowControlBar(&bar, FALSE, TRUE);
        pFrame->FloatControlBar(&bar, CPoint(0, 0), CBRS_ALIGN_TOP);
        pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
        pFrame->ShowControlBar(&bar, TRUE, FALSE);
    } else {
        pFrame->FloatControlBar(&bar, CPoint(0, 0), CBRS_ALIGN_TOP);
        pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    }
    GetDocument()->UpdateAllViews(nullptr);
}

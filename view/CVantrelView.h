#pragma once
// The maze view: draws the document's layers through a back buffer the size of the page, draws single
// cells straight onto the window (animated growth and solving, the edit tools), maps window points to
// cells, and carries the View menu's switches. Lengths are thousandths of an inch with y upwards.
#include "maze/IMazeCellDrawer.h"
#include "platform/core/CArray.h"
#include "platform/core/CCmdTarget.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/core/CRect.h"
#include "platform/ui/CRichEditCtrl.h"
#include "platform/ui/CScrollView.h"
#include "tiles/CBMPTiler.h"
#include "platform/print/CPrintingView.h"
#include "view/CMazePrintDialog.h"

#include <functional>
#include <utility>
#include <vector>

class CVantrelDoc;
struct MazeCell;
class Object;
class CToolBar;
class CLogicalRectTracker;

// Passes of the cell drawers.
constexpr int DRAW_PASS_CELL = 1;   // one cell by itself: fill and walls (2 means the same)
constexpr int DRAW_PASS_FILL = 3;   // fill only
constexpr int DRAW_PASS_WALLS = 4;  // walls only (and the tiled pass)

class CVantrelView : public CScrollView, public IMazeCellDrawer, public CPrintingView {
    DECLARE_DYNCREATE(CVantrelView)
public:
    CVantrelView();
    ~CVantrelView() override;

    CVantrelDoc* GetDocument() const;

    // ---- Framework overrides ----------------------------------------------------------------------
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnInitialUpdate() override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnSize(UINT nType, int cx, int cy) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    // Without grids the window shows the backdrop tiled in staggered rows.
    BOOL OnEraseBkgnd(CDC* pDC) override;

    // ---- Layers of a full redraw (later layers draw nothing until they are built) -----------------
    int DrawWatermark(CDC* pDC);
    int DrawLayerObjects(CDC* pDC, int nLayer);
    int DrawTextLayer(CDC* pDC);
    int DrawMazeFills(CDC* pDC);
    int DrawMazeWalls(CDC* pDC);
    int DrawTiledMaze(CDC* pDC);

    // ---- Cell drawers ----------------------------------------------------------------------------
    // pDC null: the window's own DC, prepared with the scroll origin, drawn at once.
    void DrawCell(CDC* pDC, int x, int y, int g, int pass) override;
    void DrawCircularCell(CDC* pDC, int x, int y, int g, int pass) override;
    void DrawTilerCell(CDC* pDC, int x, int y, int g, int pass);
    // The tile code a cell shows (BLACKEN, STOP, START, else its passage pattern); -1 for none.
    static int TileCodeOf(const MazeCell& cell);
    // Loads the tile set that the document's m_strTilerID names into m_tiler.
    void LoadDocumentTiler();

    // ---- Ring grids: the page's disc and the drawing primitives -----------------------------------
    // Centre, radii and ring width from the page and the first grid; the first time, also the document's
    // cells-per-ring table and the grid's cell array.
    int ComputeCircularGeometry();
    // The point at angle t (degrees, 0 up, clockwise) and radius r around (cx, cy).
    static CPoint RingPoint(int cx, int cy, double t, double r);
    // mode 0 draws; 1 appends the two ends outwards to m_polygon, -1 inwards.
    int DrawRadialLine(CDC* pDC, int cx, int cy, double t, double r1, double r2, int mode);
    // mode 0 draws 10 segments; 1/-1 append start, middle and end (or reversed); 2/-2 the 11 fine points.
    int DrawArc(CDC* pDC, int cx, int cy, double r, double s, double e, int mode);

    // ---- Bitmap mask ------------------------------------------------------------------------------
    void OnApplyBmpMask();
    // Dark pixels blacken the cells under them, light ones erase them; converts image to 24 bits. A
    // picture that did not decode (or a ring template) changes nothing and returns 0.
    int ApplyBmpMask(CRasterImage& image);

    // The fill colour of a cell by its state (first matching rule).
    static COLORREF CellFillColour(const MazeCell& cell, BOOL bErasedVisible, BOOL bTemplateOnly, bool bRing);

    // ---- Extents, hit testing, single-cell redraw -------------------------------------------------
    // Bounding boxes of all cell corners and of all cell centres, y growing downwards.
    int ComputeExtents(int nFlag = 0);
    // (x, y): a client point plus the scroll position in device units. A hit leaves the cell's outline in
    // device units in pRgn; a miss leaves pRgn empty.
    int HitTestCell(CDC* pDC, int x, int y, CRgn* pRgn, int& nColumn, int& nRow, int& nGrid);
    // The cell's outline in m_polygon, in device units of pDC. Returns the grid's kind.
    int BuildCellPolygon(int nColumn, int nRow, int nGrid, CDC* pDC);
    int RedrawCell(CDC* pDC, int nColumn, int nRow, int nGrid, int pass);
    int RedrawCellAndNeighbours(CDC* pDC, int nColumn, int nRow, int nGrid, int pass);

    // Sets the working layer and the selection state of the layer objects; returns the layer applied.
    int SetActiveLayer(int nLayer);
    void UpdateEditToolbar(int nLayer);

    // ---- View option commands -------------------------------------------------------------------
    void OnViewSolution();
    void OnUpdateViewSolution(CCmdUI* pCmdUI);
    void OnShowErasedCells();
    void OnUpdateShowErasedCells(CCmdUI* pCmdUI);
    void OnAnimatedCreation();
    void OnUpdateAnimatedCreation(CCmdUI* pCmdUI);
    void OnInfoBox();
    void OnUpdateInfoBox(CCmdUI* pCmdUI);
    void OnViewBackgroundImgs();
    void OnUpdateViewBackgroundImgs(CCmdUI* pCmdUI);
    void OnViewMazeTemplate();
    void OnUpdateViewMazeTemplate(CCmdUI* pCmdUI);
    void OnViewForegroundImgs();
    void OnUpdateViewForegroundImgs(CCmdUI* pCmdUI);
    void OnViewTextLayer();
    void OnUpdateViewTextLayer(CCmdUI* pCmdUI);
    void OnUpdateFileSave(CCmdUI* pCmdUI);
    void OnUpdateFileSaveAs(CCmdUI* pCmdUI);

    // ---- Edit tools and active layer ------------------------------------------------------------------
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnMazeLButtonDown(UINT nFlags, CPoint point);
    void OnMazeRButtonDown(UINT nFlags, CPoint point);
    void OnMazeMouseMove(UINT nFlags, CPoint point);
    void OnImageLButtonDown(UINT nFlags, CPoint point);
    void OnImageRButtonDown(UINT nFlags, CPoint point);
    void OnImageMouseMove(UINT nFlags, CPoint point);
    void OnTextLButtonDown(UINT nFlags, CPoint point);
    void OnTextRButtonDown(UINT nFlags, CPoint point);
    void OnTextMouseMove(UINT nFlags, CPoint point);
    // ---- Layer objects (image and text layers) ----------------------------------------------------
    // Commits the in-place editor's text to the selected text object (EN_KILLFOCUS of the editor).
    void OnTextEditKillFocus();
    // While the editor is open the selected text object holds what it shows (EN_CHANGE of the editor):
    // a save or a print from a toolbar button or a menu opened with the mouse, which leave the focus
    // in the editor, take the text as it is typed.
    void OnTextEditChange();
    // Sizing and moving cursors over the active layer's objects; TRUE when one was set.
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDeleteObject();
    void OnBringToTop();
    void OnMoveToBottom();
    void OnUpdateDeleteObject(CCmdUI* pCmdUI);
    void OnUpdateBringToTop(CCmdUI* pCmdUI);
    void OnUpdateMoveToBottom(CCmdUI* pCmdUI);
    // The topmost object of the active layer under a client point, or -1.
    int FindObjectAt(CPoint point, CPoint scroll);
    // The first object with selection state 2, or -1.
    int FindSelectedObject();
    void OnToolReset();
    void OnToolBlacken();
    void OnToolStop();
    void OnToolStart();
    void OnToolWhiten();
    void OnToolGrowFromHere();
    void OnToolDrawSolution();
    void OnUpdateToolReset(CCmdUI* pCmdUI);
    void OnUpdateToolBlacken(CCmdUI* pCmdUI);
    void OnUpdateToolStop(CCmdUI* pCmdUI);
    void OnUpdateToolStart(CCmdUI* pCmdUI);
    void OnUpdateToolWhiten(CCmdUI* pCmdUI);
    void OnUpdateToolDrawSolution(CCmdUI* pCmdUI);
    // Makes nTool the current tool and shows it pressed on the edit toolbar.
    void SetEditTool(int nTool);
    void OnActiveLayerBackground();
    void OnActiveLayerMazeTemplate();
    void OnActiveLayerForeground();
    void OnActiveLayerText();
    void OnUpdateActiveLayerBackground(CCmdUI* pCmdUI);
    void OnUpdateActiveLayerMazeTemplate(CCmdUI* pCmdUI);
    void OnUpdateActiveLayerForeground(CCmdUI* pCmdUI);
    void OnUpdateActiveLayerText(CCmdUI* pCmdUI);
    // The main frame's edit toolbar (the bar holding the cell tools), or null.
    CToolBar* GetEditToolBar() const;

    int m_nEditTool = 0;   // command id of the current tool; 0 = none chosen
    int m_nDragState = 0;  // 0 none; 1 left button down on a cell of the maze layer; 2 right button down

    // ---- Printing ----------------------------------------------------------------------------------
    void OnFilePrint();
    void OnFilePrintPreview();
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    // Draws the page (W x -minusH thousandths) into a new bitmap of pw x ph pixels, halving the size
    // while the bitmap cannot be had; FALSE when not even one pixel can be had.
    BOOL RenderToImage(CBitmap& image, int W, int minusH, int pw, int ph);
    // Puts the printer capability report of hDC on the clipboard as text.
    void ReportPrinterCaps(HDC hDC);
    // The report's text from a GetDeviceCaps function.
    static CString FormatPrinterCaps(const std::function<int(int)>& caps);

    // Fills the print options from the profile.
    void LoadPrintSettings();

    CMazePrintDialog m_printDialog;
    CPoint m_printMargin;  // left and top page margins (thousandths) inside OnPrint, else 0

    // ---- Drawing state ----------------------------------------------------------------------------
    CRichEditCtrl m_textEditor;  // the in-place text editor, made by the first update with a grid
    int m_bShowBackground = 1;
    int m_bShowMaze = 1;
    int m_bShowForeground = 1;
    int m_bShowText = 1;
    int m_nActiveLayer = 2;
    int m_bShowSolution = 0;

    // Ring geometry, set by ComputeCircularGeometry.
    int m_nInnerCells = 15;
    double m_dRingWidth = 0.0;
    double m_dInnerStep = 0.0;
    double m_dInnerRadius = 0.0;
    int m_nOuterRadius = 0;
    CPoint m_ringCentre;

    CArray<CPoint, CPoint> m_polygon;
    int m_nFooterHeight = 100;
    CSize m_snappedCell;    // whole device pixels of a cell times the logical size of one pixel
    CSize m_cellPixels;     // cell size in device pixels
    CSize m_pixelLogical;   // logical size of one device pixel
    CPoint m_vertexMax, m_vertexMin;
    double m_centroidMaxX = 0.0, m_centroidMaxY = 0.0;
    double m_centroidMinX = 0.0, m_centroidMinY = 0.0;
    int m_nCachedType = 0;
    int m_nCachedCellHeight = 0;
    int m_nCachedCellWidth = 0;
    CPen m_wallPen;
    // Set during a pass of walls over polygon grids on a bitmap, which draws walls and nothing else:
    // a wall two cells share is then drawn once where no dotted wall can come in between.
    bool m_bWallsOnce = false;
    // For that pass, each grid's sides that are also a side of the cell before: of the cell to the
    // left (before 0) or above (before 1), or of neither (-1). The same for every cell of a grid, as
    // cell outlines are one shape moved by whole cells.
    struct SharedSide {
        int before = -1;
        int side = 0;
    };
    std::vector<std::pair<const Object*, std::vector<SharedSide>>> m_sharedSides;
    // On screen, the rows that hold a cell drawn with a dotted pen, in any grid.
    std::vector<bool> m_dottedRows;
    CBMPTiler m_tiler;  // the tile set that draws tiled cells
    int m_bScreen = 1;
    CDC* m_windowDC = nullptr;
    CDC m_backBufferDC;
    CBitmap m_backBufferBitmap;
    CSize m_bufferSize;
    CSize m_extent;
    // The backdrop of a window without grids: loaded on first use, kept for the view's lifetime.
    CSize m_backdropSize;
    CBitmap m_backdropBitmap;
    CDC m_backdropDC;

    // The drawing extent and back-buffer size of a page through a DC in the view's mapping mode: the
    // page widened by one device pixel, and the page in pixels plus one each way.
    static void ComputePageBuffer(CDC* pDC, int nPageWidth, int nPageHeight, CSize& extent, CSize& bufferSize);
    // A new, undrawn back buffer for the document's page, compatible with pDC (in the view's mapping).
    void RebuildBackBuffer(CDC* pDC);

protected:
    DECLARE_MESSAGE_MAP()

private:
    // Tracks object nIndex from point, selects it and takes its new logical rectangle.
    void TrackObject(CDC* pDC, int nIndex, CPoint point, CPoint scroll);
    // A rubber band from point for a new object on the active layer; returns it in window coordinates.
    CRect TrackNewObject(CDC* pDC, CLogicalRectTracker& tracker, CPoint point, CPoint scroll);
    void OpenTextEditor(CDC* pDC, CLogicalRectTracker& object, COLORREF colour, const CString& text, bool bExisting);
    void HideTextEditor();
    void MoveSelectedObject(bool bToTop);
    void ApplyCellValue(CDC* pDC, int x, int y, int g, int value);
    BOOL HitTestPoint(CDC* pDC, CPoint point, int& x, int& y, int& g);
    void UpdateToolCommand(CCmdUI* pCmdUI);
    void UpdateActiveLayerCommand(CCmdUI* pCmdUI, int nLayer);
    // What the view asks of the application and its main frame.
    void CollapseInfoPane();
    void AnnounceToApplication();
    bool IsInfoPaneVisible() const;
    void SetInfoPaneVisible(bool bVisible);
    // The information pane, or null when there is none.
    CWnd* GetInfoPane() const;

    // The client rectangle in logical units of pDC: the width and the (negative) height.
    CSize ClientLogicalSize(CDC* pDC) const;
    // Prepares pDC and sets the scroll sizes of the document's page: page = client area, line = cell.
    void SetPageScrollSizes(CDC* pDC);

    void ToggleViewFlag(int& flag);
    void UpdateDrawingToggle(CCmdUI* pCmdUI, int flag);
    void CacheCellSize();
    // Cell size in device pixels, one pixel in logical units and the pixel-snapped cell size of pDC.
    void ComputeCellPixels(CDC* pDC);
    // Logical corners 0..n of a polygon cell (the last repeats the first) into m_polygon; returns n.
    int BuildCellOutline(const Object& grid, int nColumn, int nRow);
    // Draws one polygon cell with the pass rules; pDC is never null here.
    void PaintPolygonCell(CDC* pDC, const Object& grid, int x, int y, int pass);
    // Whether the cell left of or above (x, y), drawn before it in a pass of walls, drew the wall of
    // side k of (x, y) already, with nothing but the wall pen drawn since.
    bool WallDrawnBefore(const Object& grid, int x, int y, int k) const;
    // The fill step of a cell drawer: nFill points filled, or an outline through nOutline points.
    void PaintCellFill(CDC* pDC, const MazeCell& cell, const POINT* pts, int nFill, int nOutline, int pass, bool bRing);
    // Selects the dotted grey pen for a hidden START/STOP mark on screen; returns whether it did.
    static bool SelectHiddenMarkPen(CDC* pDC, const MazeCell& cell, CPen& dottedPen);
    // Angle, angular step and inner and outer radius of ring cell (x, y); false when it is no cell.
    bool RingCellBounds(int x, int y, double& a, double& step, double& r, double& R) const;
    // The coarse 10-point outline of a ring cell in m_polygon, in device units of pDC when given.
    void BuildRingPolygon(int x, int y, CDC* pDC);
    // The ring grid's hit test: p the client point, L the same point in logical units.
    int HitTestRingCell(CDC* pDC, CPoint p, CPoint L, CRgn* pRgn, int& nColumn, int& nRow, int& nGrid);
    // Runs fn for every cell a full redraw visits, in its order (rows outer, grids inner).
    template <class Fn> void ForEachCell(Fn fn);

    CBitmap* m_pOldBufferBitmap = nullptr;
};

#pragma once
// The maze document: owns the grids, the growth frontier and the start points, and runs the maze
// commands (Make Maze, Solve, Clear, ReRender) and the cell operations the view's tools use.
#include "maze/CLogicalRectTracker.h"
#include "maze/FrontierArray.h"
#include "maze/MazeSetupValues.h"
#include "maze/MoveRecord.h"
#include "maze/Object.h"
#include "maze/StoredPicture.h"
#include "platform/core/CArray.h"
#include "platform/core/CCmdTarget.h"
#include "platform/core/CDocument.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"

#include <functional>
#include <memory>
#include <vector>

class CArchive;
class IMazeCellDrawer;

// The document is also a command target, so that the view routes the document's commands to it.
class CVantrelDoc : public CDocument, public CCmdTarget {
    DECLARE_DYNCREATE(CVantrelDoc)
    DECLARE_MESSAGE_MAP()
public:
    static constexpr int kMaxGrids = 8;

    CVantrelDoc();
    ~CVantrelDoc() override;

    // ---- Grid geometry -------------------------------------------------------------------------
    int GetCellWidth();
    int GetCellHeight();
    // Rebuilds the grid from the settings. A grid with no cells, a cell size of 0 or cells that cannot
    // be had are refused: no grid is left and m_strError says why. Returns whether a grid was built.
    BOOL CreateGrid();
    // The grid g, or null when there is none.
    Object* GetGrid(int g) const { return g >= 0 && g < m_nGrids ? m_pGrids[g] : nullptr; }

    // ---- Cells and neighbours ------------------------------------------------------------------
    // values[]: direction flags, MAX_CELL_SIDES + 1 ints: [d] = 1 when side d qualifies, [0] = how many.
    MoveRecord LookupMove(int x, int y, int g, int d) const;
    int GetNeighbour(int d, int x, int y, int g, int dx, int dy, int toGrid, int& nx, int& ny) const;
    BOOL IsCellFree(int x, int y, int g) const;
    BOOL SetCellState(int x, int y, int g, int flags);
    int CountCarvedNeighbours(int x, int y, int g, int values[]) const;

    // ---- Frontier and growth -------------------------------------------------------------------
    int AddFrontier(int x, int y, int g);
    int RemoveFrontier(int x, int y, int g);
    int AddFreeNeighbours(int x, int y, int g, int values[]);
    int CountFrontierNeighbours(int x, int y, int g, int values[]) const;
    int PickDirection(const int values[], const MoveRecord& move, const int* pWeights);
    void OnGenerateMaze();
    void GrowMaze();
    // The Draw Solution tool: joins cell (x, y) of grid g to the maze. FALSE when the cell is outside.
    BOOL CarveCell(int x, int y, int g);

    // ---- Solving, clearing, re-rendering -------------------------------------------------------
    void OnSolve();
    // OnSolve with mark(grid 0) in place of the dead-end filling, for a caller that knows which cells
    // filling would keep: mark gives them CELL_SOLUTION and takes the backup, as filling does.
    void SolveWith(const std::function<void(Object&)>& mark);
    void OnClearMaze();
    // Clears and grows again from every start point without reseeding; 1 when there was a start point.
    int ReRender();

    // ---- Settings ------------------------------------------------------------------------------
    // Reads every setting the document keeps in the profile (the constructor does).
    void LoadSettings();
    // Writes the "size" settings, in their fixed order.
    void WriteSizeSettings();
    // Shows the Maze Setup sheet on page nPage (0 Style .. 4 GROWTH) and applies it on OK; page -1
    // applies the current values without showing it. Returns IDOK or IDCANCEL.
    int ShowSettings(int nPage);
    void OnMazeSetup();
    void OnPageSetup();
    void OnPrintingPenWidth();
    void OnReRender();

    // ---- Files -------------------------------------------------------------------------------
    // File New also leaves the document untitled and unmodified; a successful Open or Save gives it
    // the file's path and title, lists the file with the recent files and clears the modified flag.
    void OnFileNew();
    // The document no longer stands for a file (a downloaded template): untitled, and Save asks.
    void DetachFromFile();
    void OnFileOpen();
    // Saves to the document's file in the format it was opened or last saved in; asks like Save As
    // when there is no file yet.
    void OnFileSave();
    void OnFileSaveAs();
    // Storing writes m_dVersion's format; loading reads into a fresh document and takes its state only
    // when the whole file was read, so a refused or broken file leaves this document as it was.
    void Serialize(CArchive& ar) override;
    BOOL SerializeV1(CArchive& ar);
    BOOL SerializeV2(CArchive& ar);
    // The framework's save, which refuses a version it cannot write before anything is written.
    BOOL OnSaveDocument(const char* lpszPathName) override;
    // Whether the writer can write format dVersion (below 3).
    static BOOL CanStoreVersion(double dVersion);
    // The last Serialize refused its file (a message is queued or was shown) or its version.
    BOOL GetFileFailed() const { return m_bFileFailed; }
    BOOL IsSerializeRefused() const override { return m_bFileFailed; }

    // ---- Fields --------------------------------------------------------------------------------
    FrontierArray m_frontier;
    CString m_strStyle;
    CString m_strTilerID;
    CString m_strError;
    // The format of the last load or save; a new document saves in the current format.
    double m_dVersion = 2.0;
    int m_nType = 0;
    int m_nPlacedMarks = 0;
    int m_nCurGrid = 0;
    int m_nLastDir = -1;
    int m_nStartY = -1;
    int m_nStartX = -1;
    Object* m_pGrids[kMaxGrids] = {};
    int m_nGrids = 0;
    int m_nCellsY = 10;
    int m_nCellsX = 10;
    int m_nPageHeight = 9499;
    int m_nPageWidth = 7499;
    int m_nScale = 400;
    int m_nYSign = 1;
    int m_nXSign = 1;
    int m_nSeed = 0;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    int m_bGenerated = 0;
    int m_bTemplateOnly = 1;
    int m_bLoadTiler = 0;
    int m_nProb[10] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 0};
    int m_bErasedVisible = 0;
    int m_nExtraRowsPct = 0;
    int m_nExtraColsPct = 0;
    int m_nTopReserve = 250;
    int m_nCellWidth = 400;
    int m_nCellHeight = 400;
    int m_bFitToPage = 1;
    int* m_pRingCells = nullptr;  // owned: cells per ring of a ring grid, filled by the view
    int m_bAnimate = 0;
    CString m_strInstallPath;
    int m_bDirty = 0;
    int m_nPenWidth = 10;
    int m_bTiled = 0;
    int m_bPrinterDebug = 0;
    int m_bAutoCenter = 1;
    CArray<CPoint, CPoint> m_startPoints;
    CArray<CLogicalRectTracker, CLogicalRectTracker&> m_objects;
    // "DeleteEnds" of the profile: read and written back, used by nothing else.
    int m_nDeleteEnds = 0;
    // The values of the Maze Setup sheet's pages.
    CMazeSetupValues m_setup;
    // The sheet's page objects (null until the window layer first needs them).
    std::unique_ptr<CMazeSetupPageSet> m_pSetupPages;

    // ---- Used by the growth and solving runs ---------------------------------------------------
    // Sides of grid g's cells, 0 when there is no such grid.
    int SidesOf(int g) const;
    // The first view's cell drawer, when animation is on and the first view is one; else null.
    IMazeCellDrawer* AnimationDrawer() const;
    // Draws a cell through the drawer (ring drawer when the current grid has ring cells), pass 1.
    void AnimateCell(IMazeCellDrawer* pDrawer, int x, int y, int g, bool bDelay) const;
    void MarkChanged() { m_bDirty = 1; }
    // Gives the frontier's position index the grids' current sizes.
    void SyncFrontierIndex();

private:
    void DeleteGrids();
    // Writes m_dVersion's format to path, replacing the file only once the new one is whole.
    BOOL SaveToFile(const CString& path);
    void FillSetupValues();
    // The layer objects the rebuild's question is about: this document's, and while a file is read
    // into a fresh document, those of the document it is read for.
    int CountObjectsToAskAbout() const;
    BOOL LoadDocument(CArchive& ar);
    void StoreHeader(CArchive& ar);
    void StoreGrids(CArchive& ar);
    void LoadHeader(CArchive& ar);
    void StoreRingCells(CArchive& ar);
    void SkipRingCells(CArchive& ar);
    BOOL LoadGrids(CArchive& ar);
    // The layer objects of a file: their records are read first, with the pictures left as stored, and
    // the file is refused when the pictures' headers show that they would pass the document's budget
    // for pictures (mze::kPictureBudgetBytes, counting the pictures of objects the document keeps);
    // the pictures are then decoded, each counted as it comes. A picture that does not decode is left
    // out with a message; one that fails for want of memory refuses the file ("Out of memory.").
    BOOL LoadObjectRecords(CArchive& ar, std::vector<CLogicalRectTracker>& objects,
                           std::vector<StoredPicture>& pictures);
    BOOL TakeObjects(CArchive& ar, std::vector<CLogicalRectTracker>& objects, std::vector<StoredPicture>& pictures);
    std::uint64_t PicturesKept() const;
    BOOL RefusePictures(CArchive& ar, std::uint64_t bytes);
    void SetStoreVersionError();
    // Checks the document against every limit the reader enforces and encodes its layer pictures for
    // a save to path, before the file is opened; when it cannot be written, queues the message and
    // returns FALSE.
    BOOL PrepareStore(const CString& path, std::vector<StoredPicture>& pictures);
    // A version 1.0 file holds no layer objects: before one is written over a document that has some,
    // the user confirms that they are left out (FALSE: the save stops, nothing is written).
    BOOL ConfirmLayersDropped(const CString& path);
    CString FindUnstorable() const;
    void CopySettingsFrom(const CVantrelDoc& src);
    void AdoptLoaded(CVantrelDoc& loaded);

    // A document made to read a file into: it takes its settings from the document the file is read
    // for, so it neither reads the profile nor seeds the generator (the reset that follows does).
    struct ForLoading {};
    explicit CVantrelDoc(ForLoading);

    CVantrelDoc* m_pLoadTarget = nullptr;  // the document a file is being read for
    BOOL m_bDropTargetObjects = FALSE;     // its user chose to delete its layer objects
    BOOL m_bFileFailed = FALSE;            // the last open or save was refused
    // The layer pictures of the save under way, one per object, encoded before its file was opened.
    const std::vector<StoredPicture>* m_pStoredPictures = nullptr;
    bool FindRandomStart();

    // First row for (grid, side, parity) of the move table last looked up in; rebuilt when the
    // current grid's table changes.
    mutable const MoveRecord* m_pMoveCacheTable = nullptr;
    mutable const MoveRecord* m_moveCache[kMaxGrids][MAX_CELL_SIDES + 1][2] = {};
};

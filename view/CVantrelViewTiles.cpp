// Tiled cell drawing: every cell of a square template shows one tile of the view's tile set, chosen by
// the cell's state and passages; and the loading of that tile set when the document asks for it.
#include "view/CVantrelView.h"

#include "maze/CVantrelDoc.h"
#include "maze/MazeCell.h"
#include "maze/Object.h"
#include "maze/setup/MazeSetupSheet.h"
#include "platform/core/MessageBox.h"
#include "view/TilerLoader.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace {
constexpr const char* kBuiltinPrefix = ":ID:#";

bool IsFile(const CString& path)
{
    struct stat st {};
    return !path.IsEmpty() && ::stat(path.GetString(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder part of path, with its trailing separator; empty when path has none.
CString FolderOf(const CString& path)
{
    int slash = path.ReverseFind('/');
    int backslash = path.ReverseFind('\\');
    int last = slash > backslash ? slash : backslash;
    return last < 0 ? CString() : path.Left(last + 1);
}

void LoadBuiltinTiler(CBMPTiler& tiler) { tiler.ParseDefinition("", BUILTIN_TILE_DEFINITION, BUILTIN_TILE_SHEET); }
}  // namespace

bool LoadTilerReference(CBMPTiler& tiler, const CString& reference, const CString& installPath)
{
    if (reference.IsEmpty()) {
        LoadBuiltinTiler(tiler);
        return true;
    }
    const int prefixLength = int(std::char_traits<char>::length(kBuiltinPrefix));
    if (reference.Left(prefixLength) == kBuiltinPrefix) {
        const int id = std::atoi(reference.Mid(prefixLength).GetString());
        if (id != int(BUILTIN_TILE_SHEET)) {
            CString message;
            message.Format("ERROR, Quillmont Internal Maze Tiler with ID=%d could not be located in this version "
                           "of the program.  The default Tiler is being loaded.  You may need to upgrade to a "
                           "newer/different version of Quillmont.",
                           id);
            AfxMessageBox(message, MB_OKCANCEL);
        }
        LoadBuiltinTiler(tiler);
        return true;
    }
    CString path = reference;
    if (!IsFile(path))
        path = installPath + "Tiler/" + reference;
    if (!IsFile(path))
        return false;
    tiler.LoadFromFile(path.GetString(), FolderOf(path).GetString());
    return true;
}

void CVantrelView::LoadDocumentTiler()
{
    // The document's Style page resolves tile-set references, so the view and the settings sheet agree.
    CVantrelDoc* pDoc = GetDocument();
    MazeStylePageOf(*pDoc).LoadTiler(m_tiler, pDoc->m_strTilerID);
}

int CVantrelView::DrawTiledMaze(CDC* pDC)
{
    // The same seed before every full redraw makes every repaint choose the same tiles.
    m_tiler.Reseed();
    // Rows outer, grids inner, as the other full-redraw passes visit the cells.
    CVantrelDoc* pDoc = GetDocument();
    for (int y = 0; y < pDoc->m_nCellsY; ++y)
        for (int x = 0; x < pDoc->m_nCellsX; ++x)
            for (int g = 0; g < pDoc->m_nGrids; ++g)
                DrawTilerCell(pDC, x, y, g, DRAW_PASS_WALLS);
    return 1;
}

int CVantrelView::TileCodeOf(const MazeCell& cell)
{
    const WORD f = cell.flags;
    if (f & CELL_BLACKENED)
        return CBMPTiler::TILE_BLACKEN;
    if (f & CELL_STOP)
        return CBMPTiler::TILE_STOP;
    if (f & CELL_START)
        return CBMPTiler::TILE_START;
    if (f & CELL_ERASED)
        return -1;
    return cell.passages & 0xF;
}

void CVantrelView::DrawTilerCell(CDC* pDC, int x, int y, int g, int pass)
{
    const Object* pGrid = GetDocument()->GetGrid(g);
    if (!pDC || !pGrid || !pGrid->InBounds(x, y))
        return;
    if (pass == 2)
        pass = DRAW_PASS_CELL;
    const MazeCell cell = pGrid->GetCell(x, y);
    if (pass != DRAW_PASS_CELL && (cell.flags & CELL_ERASED))
        return;
    // A hidden START or STOP shows its tile on screen and leaves an opening on paper. Its tiles are
    // chosen either way, so the paper shows every other cell with the tile the screen shows.
    const bool bDraw = pass == DRAW_PASS_CELL || m_bScreen || !(cell.flags & CELL_HIDDEN);

    CacheCellSize();
    const int w = m_nCachedCellWidth, h = m_nCachedCellHeight;
    RECT rect{x * w, y * h, (x + 1) * w, (y + 1) * h};
    if (pass == DRAW_PASS_CELL) {
        pDC->BitBlt(rect.left, rect.top, w + 1, h - 1, nullptr, 0, 0, WHITENESS);
        // The tile drawing applies the window DC's scroll origin once more; half the scroll position,
        // taken to logical units through that DC, is exactly that offset.
        CPoint scroll = GetDeviceScrollPosition();
        pDC->DPtoLP(&scroll);
        rect.left += scroll.x / 2;
        rect.right += scroll.x / 2;
        rect.top += scroll.y / 2;
        rect.bottom += scroll.y / 2;
    }
    const int code = TileCodeOf(cell);
    if (code >= 0)
        m_tiler.DrawTile(pDC, code, rect, bDraw && m_bShowMaze);
    if (cell.flags & CELL_SOLUTION)
        m_tiler.DrawTile(pDC, CBMPTiler::TILE_SOLUTION, rect, bDraw && m_bShowSolution);
}

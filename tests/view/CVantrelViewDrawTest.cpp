// Cell drawing into memory DCs: walls against the grid's passages, fills by state, hidden START/STOP
// marks on screen and on paper, single-cell redraws, and the back buffer's redraw rule.
#include "ViewTestSupport.h"
#include "tests/support/UiTestSupport.h"

#include "maze/CLogicalRectTracker.h"
#include "maze/MazeCell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using viewtest::DetachedView;
using viewtest::MemoryPage;

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kGrey = 0xC0C0C0;

// A grown default maze (10 x 10 cells of 746 x 920) drawn by a full screen redraw through the back
// buffer and copied onto a page-sized memory DC.
struct GrownMaze : ::testing::Test {
    CVantrelDoc doc;
    DetachedView view{&doc};
    MemoryPage page{721, 913};
    int w = 0, h = 0;

    void SetUp() override
    {
        doc.m_nSeed = 4242;
        viewtest::MakeDefaultGrid(doc);
        doc.OnGenerateMaze();
        w = doc.GetCellWidth();
        h = doc.GetCellHeight();
        view.RebuildBackBuffer(page.dc());
    }

    void Paint()
    {
        doc.m_bDirty = 1;
        view.OnDraw(page.dc());
    }

    const MazeCell& Cell(int x, int y) { return doc.GetGrid(0)->GetCell(x, y); }

    // Device end points of side k (1 north, 2 east, 3 south, 4 west) of cell (x, y).
    void Side(int x, int y, int k, CPoint& a, CPoint& b)
    {
        static const int corner[5][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
        a = page.ToDevice((x + corner[k - 1][0]) * w, (y + corner[k - 1][1]) * h);
        b = page.ToDevice((x + corner[k][0]) * w, (y + corner[k][1]) * h);
    }
    COLORREF SideMiddle(int x, int y, int k)
    {
        CPoint a, b;
        Side(x, y, k, a, b);
        return page.Pixel((a.x + b.x) / 2, (a.y + b.y) / 2);
    }
    COLORREF Centre(int x, int y)
    {
        CPoint p = page.ToDevice(x * w + w / 2, y * h + h / 2);
        return page.Pixel(p.x, p.y);
    }
    // Counts the pixels of a side's line, its corners left out, by colour class.
    void ScanSide(int x, int y, int k, int& black, int& grey, int& other)
    {
        CPoint a, b;
        Side(x, y, k, a, b);
        black = grey = other = 0;
        int n = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
        for (int i = 2; i < n - 1; ++i) {
            COLORREF c = page.Pixel(a.x + (b.x - a.x) * i / n, a.y + (b.y - a.y) * i / n);
            (c == kBlack ? black : c == kGrey ? grey : other)++;
        }
    }
    bool IsHiddenMark(int x, int y)
    {
        WORD f = Cell(x, y).flags;
        return (f & CELL_HIDDEN) && (f & (CELL_START | CELL_STOP));
    }
};
}  // namespace

// Every side of every cell is a black wall exactly when the grid has no passage through it. The hidden
// START and STOP cells draw their own walls dotted grey: START (drawn first) only on the border, where no
// neighbour draws over it; STOP (drawn last) on all its closed sides.
TEST_F(GrownMaze, WallsFollowThePassagesCellByCell)
{
    Paint();
    ASSERT_EQ(Cell(0, 0).flags & 0x70, 0x50);
    ASSERT_EQ(Cell(9, 9).flags & 0x70, 0x60);
    int checked = 0;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_NE(Cell(x, y).passages, 0) << "every cell of an open template is carved";
            for (int k = 1; k <= 4; ++k) {
                static const int dx[5] = {0, 0, 1, 0, -1}, dy[5] = {0, -1, 0, 1, 0};
                int nx = x + dx[k], ny = y + dy[k];
                bool inside = nx >= 0 && nx < 10 && ny >= 0 && ny < 10;
                bool open = Cell(x, y).HasPassage(k);
                if (inside) {
                    ASSERT_EQ(open, Cell(nx, ny).HasPassage(((k + 1) % 4) + 1)) << "passages are two-way";
                }
                bool dotted = (IsHiddenMark(x, y) && (!inside || (x == 9 && y == 9))) ||
                              (inside && nx == 9 && ny == 9);
                if (dotted) {
                    int black, grey, other;
                    ScanSide(x, y, k, black, grey, other);
                    EXPECT_EQ(black, 0) << x << "," << y << " side " << k;
                    EXPECT_EQ(grey > 0, !open) << x << "," << y << " side " << k;
                } else {
                    EXPECT_EQ(SideMiddle(x, y, k) == kBlack, !open) << x << "," << y << " side " << k;
                }
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 400);
}

// View Solution fills exactly the solution cells with the solution colour; without it they stay white.
// START and STOP keep their pale colours in both.
TEST_F(GrownMaze, SolutionCellsAreFilledOnlyWhileShown)
{
    int solution = 0;
    for (int pass = 0; pass < 2; ++pass) {
        view.m_bShowSolution = pass;
        Paint();
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                WORD f = Cell(x, y).flags;
                COLORREF expected = kWhite;
                if (f & CELL_START)
                    expected = 0xC0FFC0;
                else if (f & CELL_STOP)
                    expected = 0xC0C0FF;
                else if ((f & CELL_SOLUTION) && pass == 1)
                    expected = 0xF08080;
                solution += pass == 1 && (f & CELL_SOLUTION);
                EXPECT_EQ(Centre(x, y), expected) << x << "," << y << " solution shown " << pass;
            }
        }
    }
    EXPECT_GE(solution, 19) << "a path from corner to corner crosses at least 19 cells";
    EXPECT_TRUE(Cell(0, 0).flags & CELL_SOLUTION);
    EXPECT_TRUE(Cell(9, 9).flags & CELL_SOLUTION);
}

// On paper a hidden START or STOP cell is left out entirely: no fill and no walls of its own, so the
// border opens there; a visible START keeps its colour and solid walls.
TEST_F(GrownMaze, HiddenMarksVanishOnPaper)
{
    doc.GetGrid(0)->GetCell(5, 0).flags |= CELL_START;  // a visible START on the top border
    view.m_bScreen = 0;
    view.OnDraw(page.dc());
    EXPECT_EQ(view.m_bScreen, 1);
    EXPECT_EQ(Centre(0, 0), kWhite);
    EXPECT_EQ(Centre(9, 9), kWhite);
    int black, grey, other;
    ScanSide(0, 0, 1, black, grey, other);
    EXPECT_EQ(black + grey, 0) << "the top border opens at the hidden START";
    ScanSide(0, 0, 4, black, grey, other);
    EXPECT_EQ(black + grey, 0);
    ScanSide(9, 9, 3, black, grey, other);
    EXPECT_EQ(black + grey, 0) << "the bottom border opens at the hidden STOP";
    EXPECT_EQ(Centre(5, 0), 0x00FF00u);
    EXPECT_EQ(SideMiddle(5, 0, 1), kBlack);
    // Paper pages never touch the back buffer's drawing rule: the dirty flag is cleared all the same.
    EXPECT_EQ(doc.m_bDirty, 0);
}

// A paint without a document change only copies the buffer: a cell changed behind the view's back
// shows only after the document is marked dirty.
TEST_F(GrownMaze, CleanPaintOnlyCopiesTheBuffer)
{
    Paint();
    doc.GetGrid(0)->GetCell(4, 4).flags = CELL_BLACKENED;
    view.OnDraw(page.dc());
    EXPECT_NE(Centre(4, 4), kBlack);
    Paint();
    EXPECT_EQ(Centre(4, 4), kBlack);
}

// Drawn by itself (pass 1) a solution cell is filled whatever View Solution says, a frontier cell is
// dark blue, and a cell left without passages after a maze was made is grey.
TEST_F(GrownMaze, SingleCellDrawsItsOwnState)
{
    Paint();
    Object& grid = *doc.GetGrid(0);
    int sx = -1, sy = -1;
    for (int y = 0; y < 10 && sx < 0; ++y)
        for (int x = 0; x < 10 && sx < 0; ++x)
            if (grid.GetCell(x, y).flags == CELL_SOLUTION)
                sx = x, sy = y;
    ASSERT_GE(sx, 0);
    view.DrawCell(page.dc(), sx, sy, 0, DRAW_PASS_CELL);
    EXPECT_EQ(Centre(sx, sy), 0xF08080u);

    grid.GetCell(3, 3).flags = CELL_FRONTIER;
    view.DrawCell(page.dc(), 3, 3, 0, 2);  // pass 2 draws as pass 1
    EXPECT_EQ(Centre(3, 3), 0x300000u);

    grid.GetCell(6, 6).flags = 0;
    grid.GetCell(6, 6).passages = 0;
    view.DrawCell(page.dc(), 6, 6, 0, DRAW_PASS_CELL);
    EXPECT_EQ(Centre(6, 6), 0xA0A0A0u);
    EXPECT_EQ(SideMiddle(6, 6, 1), kBlack) << "a closed cell drawn by itself has its outline";
}

TEST_F(GrownMaze, RedrawNeighboursOfACornerDrawsOnlyTheTwoInside)
{
    Paint();
    Object& grid = *doc.GetGrid(0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            grid.GetCell(x, y).flags = CELL_BLACKENED;
    EXPECT_EQ(view.RedrawCellAndNeighbours(page.dc(), 0, 0, 0, DRAW_PASS_CELL), 1);
    EXPECT_EQ(Centre(1, 0), kBlack);
    EXPECT_EQ(Centre(0, 1), kBlack);
    EXPECT_NE(Centre(0, 0), kBlack);
    EXPECT_NE(Centre(1, 1), kBlack);
    EXPECT_EQ(view.RedrawCell(page.dc(), 0, 0, 0, DRAW_PASS_CELL), 1);
    EXPECT_EQ(Centre(0, 0), kBlack);
    EXPECT_EQ(view.RedrawCell(page.dc(), 10, 0, 0, DRAW_PASS_CELL), 0);
    EXPECT_EQ(view.RedrawCell(page.dc(), 0, -1, 0, DRAW_PASS_CELL), 0);
}

// Templates before a maze: plain cells show only their outlines, erased cells stay white with no walls
// of their own unless erased cells are shown, and then they are filled without an outline.
TEST(ViewTemplateDrawing, PlainAndErasedCells)
{
    CVantrelDoc doc;
    viewtest::MakeGrid(doc, 3, 1, 1000);  // 96-pixel cells
    DetachedView view(&doc);
    MemoryPage page(300, 100);
    view.RebuildBackBuffer(page.dc());
    doc.GetGrid(0)->GetCell(1, 0).flags = CELL_ERASED;
    doc.GetGrid(0)->GetCell(2, 0).flags = CELL_BLACKENED;

    doc.m_bDirty = 1;
    view.OnDraw(page.dc());
    EXPECT_EQ(page.Pixel(48, 48), kWhite);
    EXPECT_EQ(page.Pixel(48, 0), kBlack);    // outline of the plain cell
    EXPECT_EQ(page.Pixel(144, 48), kWhite);  // erased: white
    EXPECT_EQ(page.Pixel(144, 0), kWhite);   // and no top wall of its own
    EXPECT_EQ(page.Pixel(240, 48), kBlack);

    doc.m_bErasedVisible = 1;
    doc.m_bDirty = 1;
    view.OnDraw(page.dc());
    EXPECT_EQ(page.Pixel(144, 48), 0x40D0D0u);
    EXPECT_EQ(page.Pixel(144, 0), 0x40D0D0u) << "filled without an outline";
}

// Layer objects draw on their own layer's pass, and the active layer gives its objects their frames.
TEST(ViewLayers, ObjectsDrawByLayerAndTakeTheActiveLayersFrames)
{
    EnsureTestApplication();  // text needs the font database
    CVantrelDoc doc;
    viewtest::MakeGrid(doc, 3, 1, 1000);
    for (int layer : {LAYER_BACKGROUND, LAYER_FOREGROUND, LAYER_TEXT, LAYER_TEXT}) {
        CLogicalRectTracker object;
        object.m_nKind = CLogicalRectTracker::kindTextTransparent;
        object.NewFontRecord();
        object.m_strText = "A";
        object.SetLogicalRect(100, -100, 600, -400);
        object.m_nLayer = layer;
        doc.m_objects.Add(object);
        object.ReleaseOwnership();
    }
    DetachedView view(&doc);
    MemoryPage page(300, 100);
    EXPECT_EQ(view.DrawLayerObjects(page.dc(), LAYER_TEXT), 2);
    EXPECT_EQ(view.DrawLayerObjects(page.dc(), LAYER_BACKGROUND), 1);
    EXPECT_EQ(view.DrawLayerObjects(page.dc(), LAYER_MAZE), 0);
    EXPECT_EQ(view.DrawTextLayer(page.dc()), 2);

    auto styles = [&] {
        std::vector<int> s;
        for (int i = 0; i < doc.m_objects.GetSize(); ++i)
            s.push_back(doc.m_objects[i].m_nSelectStyle);
        return s;
    };
    EXPECT_EQ(view.SetActiveLayer(LAYER_FOREGROUND), LAYER_FOREGROUND);
    EXPECT_EQ(view.m_nActiveLayer, LAYER_FOREGROUND);
    EXPECT_EQ(styles(), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(doc.m_bDirty, 1);
    // 0 takes every frame away and keeps the layer; -1 gives the current layer's frames back.
    EXPECT_EQ(view.SetActiveLayer(0), 0);
    EXPECT_EQ(styles(), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(view.m_nActiveLayer, LAYER_FOREGROUND);
    EXPECT_EQ(view.SetActiveLayer(-1), LAYER_FOREGROUND);
    EXPECT_EQ(styles(), (std::vector<int>{0, 1, 0, 0}));
}

// A printing DC takes the paper path: every layer straight onto it, hidden marks left out, the back
// buffer untouched, and the view back on screen duty afterwards.
TEST_F(GrownMaze, PrintingDrawsOnThePrinterDCOnly)
{
    Paint();
    const CPoint c = page.ToDevice(4 * w + w / 2, 4 * h + h / 2);
    const COLORREF bufferBefore = MemoryPage::PixelOf(view.m_backBufferDC, c.x, c.y);
    ASSERT_NE(bufferBefore, kBlack);
    doc.GetGrid(0)->GetCell(4, 4).flags = CELL_BLACKENED;
    MemoryPage printer(721, 913);
    printer.dc()->m_bPrinting = TRUE;
    view.OnDraw(printer.dc());
    EXPECT_EQ(view.m_bScreen, 1);
    EXPECT_EQ(printer.Pixel(c.x, c.y), kBlack);
    const CPoint start = page.ToDevice(w / 2, h / 2);
    EXPECT_EQ(printer.Pixel(start.x, start.y), kWhite) << "the hidden START is left out on paper";
    EXPECT_EQ(MemoryPage::PixelOf(view.m_backBufferDC, c.x, c.y), bufferBefore) << "the buffer is not touched";
}

// Only square templates use the tile set; a tile set request is dropped at the next full redraw.
TEST_F(GrownMaze, TiledFlagOtherTypesDrawPolygonCellsAndTheLoadRequestClears)
{
    doc.m_bTiled = 1;
    doc.m_nType = 3;
    doc.m_bLoadTiler = 1;
    Paint();
    EXPECT_EQ(doc.m_bLoadTiler, 0);
    int walls = 0;
    for (int x = 0; x < 10; ++x)
        walls += SideMiddle(x, 0, 1) == kBlack;
    EXPECT_EQ(walls, 9) << "the top border, but for the hidden START";
}

// A wall that two cells share is drawn by one of them; the page is the same as when every cell
// strokes all its closed sides. On paper and on screen (where hidden marks draw dotted walls, which
// must keep their place in the order), for grown mazes and arbitrary passages (open on one side only
// too), thin and wide pens, blackened, erased and hidden cells, visible and hidden marks.
TEST(ViewWallPass, SharedWallsDrawnOnceGiveTheSamePage)
{
    constexpr int kW = 700, kH = 620;
    for (int variant = 0; variant < 12; ++variant) {
        SCOPED_TRACE(variant);
        const int screen = variant >= 6;
        CVantrelDoc doc;
        viewtest::MakeGrid(doc, 13, 11, 500);  // 48-pixel cells
        DetachedView view(&doc);
        doc.m_nPenWidth = variant % 2 ? 1 : 70;
        Object& grid = *doc.GetGrid(0);
        if (variant % 6 < 2) {
            for (int y = 0; y < grid.height; ++y)
                for (int x = 0; x < grid.width; ++x)
                    grid.GetCell(x, y).passages = WORD((x * 7 + y * 5 + x * y) % 16);
        } else {
            doc.m_nSeed = 4242 + variant;
            doc.OnGenerateMaze();
        }
        if (variant % 6 >= 4) {
            grid.GetCell(4, 0).flags |= CELL_START;
            grid.GetCell(6, 6).flags = CELL_ERASED;
            grid.GetCell(7, 6).flags |= CELL_HIDDEN | CELL_STOP;
            grid.GetCell(8, 3).passages = 0;
            grid.GetCell(8, 3).flags = CELL_BLACKENED;
            grid.GetCell(2, 9).passages ^= 0x2;  // the east side now differs from its neighbour's west side
        }
        if (screen) {
            // Hidden marks in the middle of the grid, beside and above walls they share, one row apart.
            grid.GetCell(5, 4).flags |= CELL_START | CELL_HIDDEN;
            grid.GetCell(9, 6).flags |= CELL_STOP | CELL_HIDDEN;
            grid.GetCell(10, 6).flags |= CELL_ERASED;
        }
        MemoryPage scratch(kW, kH), once(kW, kH), every(kW, kH);
        view.m_bScreen = 0;
        view.OnDraw(scratch.dc());  // takes the cell size and the wall pen of a paper page
        view.m_bScreen = screen;
        for (MemoryPage* page : {&once, &every})
            page->dc()->SetBkMode(variant % 3 ? TRANSPARENT : OPAQUE);
        view.DrawMazeWalls(once.dc());
        for (int y = 0; y < grid.height; ++y)
            for (int x = 0; x < grid.width; ++x)
                view.DrawCell(every.dc(), x, y, 0, DRAW_PASS_WALLS);
        view.m_bScreen = 1;
        const QImage drawn = once.Picture();
        ASSERT_EQ(drawn, every.Picture());
        int black = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                black += drawn.pixel(x, y) == 0xFF000000u;
        EXPECT_GT(black, 2000);
    }
}

#include "MazeTestSupport.h"

#include <gtest/gtest.h>

using namespace maze_test;

TEST(ObjectTest, ShapeTablesAndConstruction)
{
    Object square;
    EXPECT_EQ(square.sides, 4);
    EXPECT_EQ(square.shape, SQUARE_SHAPE);
    EXPECT_EQ(square.innerRingCells, 15);
    EXPECT_DOUBLE_EQ(square.innerRadius, 0.05);
    EXPECT_EQ(square.kind, 0);
    const ShapeVertex degenerate[3] = {{0.5, 0.5, 0, 0, 0, 1}, {0.5, 0.5, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(Object(degenerate).sides, 1);

    // Serial registration under the name and schema files use.
    CRuntimeClass* rc = CRuntimeClass::FromName("Object");
    ASSERT_EQ(rc, RUNTIME_CLASS(Object));
    EXPECT_EQ(rc->m_wSchema, 11u);
    std::unique_ptr<CObject> made(rc->CreateObject());
    ASSERT_TRUE(made && made->IsKindOf(RUNTIME_CLASS(Object)));
    EXPECT_EQ(static_cast<Object*>(made.get())->sides, 4);
}

TEST(ObjectTest, AllocCellsKeepsOrResets)
{
    Object g;
    g.baseFlags = CELL_ERASED;
    ASSERT_TRUE(g.AllocCells(3, 2));
    EXPECT_EQ(g.GetCell(2, 1).flags, CELL_ERASED);
    EXPECT_EQ(g.backup[5].flags, 0);
    g.GetCell(1, 1).passages = 5;
    ASSERT_TRUE(g.AllocCells(3, 2));
    EXPECT_EQ(g.GetCell(1, 1).passages, 5);
    ASSERT_TRUE(g.AllocCells(2, 3));
    EXPECT_EQ(g.GetCell(1, 1).passages, 0);
    EXPECT_EQ(g.GetCell(1, 2).flags, CELL_ERASED);
    // Refused sizes leave the grid as it was.
    EXPECT_FALSE(g.AllocCells(0, 5));
    EXPECT_FALSE(g.AllocCells(-3, -3));
    EXPECT_FALSE(g.AllocCells(70000, 70000));
    EXPECT_EQ(g.width, 2);
    EXPECT_EQ(g.height, 3);
    EXPECT_TRUE(g.InBounds(1, 2));
    EXPECT_FALSE(g.InBounds(2, 0));
    EXPECT_FALSE(g.InBounds(-1, 0));
}

TEST(ObjectTest, ExitsPassagesAndFreeCells)
{
    auto doc = MakeDoc(3, 3);
    Object& g = Grid(*doc);
    int side = -1;
    Cell(*doc, 0, 0).flags = CELL_START;
    EXPECT_EQ(g.CountExits(0, 0, side), 0);
    g.OpenPassage(2, 0, 0, 0, doc.get());
    EXPECT_EQ(g.CountExits(0, 0, side), 2);
    EXPECT_EQ(side, 2);
    Cell(*doc, 1, 1).passages = 0x5;
    EXPECT_EQ(g.CountExits(1, 1, side), 2);
    Cell(*doc, 2, 2).passages = 0x8;
    EXPECT_EQ(g.CountExits(2, 2, side), 1);
    EXPECT_EQ(side, 4);
    EXPECT_EQ(g.ClosePassage(4, 2, 2, 0, doc.get()), 0);
    EXPECT_EQ(Cell(*doc, 2, 2).passages, 0);

    Cell(*doc, 2, 0).flags = CELL_HIDDEN | CELL_START;
    EXPECT_TRUE(doc->IsCellFree(2, 0, 0));
    Cell(*doc, 2, 1).flags = CELL_BLACKENED;
    EXPECT_FALSE(doc->IsCellFree(2, 1, 0));
    EXPECT_FALSE(doc->IsCellFree(1, 1, 0));
    EXPECT_FALSE(doc->IsCellFree(3, 0, 0));
    EXPECT_FALSE(doc->IsCellFree(0, 0, 1));

    // A frontier cell leaves the frontier, exactly one entry of it, when a side opens.
    EXPECT_EQ(g.TryAddFrontier(0, 2, 0, doc.get()), 1);
    EXPECT_EQ(g.TryAddFrontier(0, 2, 0, doc.get()), 0);
    EXPECT_EQ(g.TryAddFrontier(2, 1, 0, doc.get()), 0);
    doc->AddFrontier(1, 2, 0);
    EXPECT_EQ(doc->m_frontier.GetSize(), 2);
    EXPECT_EQ(g.OpenPassage(1, 1, 2, 0, doc.get()), 0);
    EXPECT_EQ(doc->m_frontier.GetSize(), 2);
    EXPECT_EQ(g.OpenPassage(2, 0, 2, 0, doc.get()), 1);
    EXPECT_EQ(doc->m_frontier.GetSize(), 1);
    EXPECT_EQ(doc->m_frontier[0], (frontier_location{1, 2, 0}));
    EXPECT_FALSE(Cell(*doc, 0, 2).flags & CELL_FRONTIER);

    EXPECT_TRUE(doc->SetCellState(1, 0, 0, 0x22));
    EXPECT_EQ(Cell(*doc, 1, 0).flags, 0x22);
    EXPECT_FALSE(doc->SetCellState(5, 0, 0, 1));
    EXPECT_EQ(doc->m_bDirty, 1);
}

TEST(ObjectTest, BackupRestoreMarksSurvivingCells)
{
    Object g;
    ASSERT_TRUE(g.AllocCells(2, 2));
    g.cells[0] = {CELL_START, 2};
    g.cells[1] = {0, 8};
    g.cells[2] = {0, 1};
    g.BackupCells();
    g.cells[2].passages = 0;
    g.cells[1].flags = 0x7;
    EXPECT_EQ(g.RestoreCells(), 2);
    EXPECT_EQ(g.cells[0].flags, CELL_START | CELL_SOLUTION);
    EXPECT_EQ(g.cells[1].flags, CELL_SOLUTION);
    EXPECT_EQ(g.cells[1].passages, 8);
    EXPECT_EQ(g.cells[2].flags, 0);
    EXPECT_EQ(g.cells[2].passages, 1);
}

TEST(ObjectTest, CompassWeightsAndVertices)
{
    int values[10] = {0, 1, 3, 5, 7, 9, 11, 13, 15, 0};
    EXPECT_EQ(Object::InterpolateCompass(values, 22.5), 2);
    EXPECT_EQ(Object::InterpolateCompass(values, -90), 13);
    EXPECT_EQ(Object::InterpolateCompass(values, 360), 1);
    EXPECT_EQ(Object::InterpolateCompass(values, 337.5), 8);
    EXPECT_EQ(Object::InterpolateCompass(values, 90), 5);
    Object g;
    g.relative = 1;
    g.BuildGrowthWeights(values);
    EXPECT_EQ(g.relative, 0);
    ASSERT_TRUE(g.weights);
    EXPECT_EQ(g.weights[0], 1);
    EXPECT_EQ(g.weights[1], 5);
    EXPECT_EQ(g.weights[2], 9);
    EXPECT_EQ(g.weights[3], 13);
    EXPECT_EQ(g.GetWeightsRow(0), nullptr);
    EXPECT_EQ(g.GetWeightsRow(3), nullptr);

    double angle = 0, fx = 0, fy = 0;
    CPoint p = g.GetVertex(2, CSize(746, -920), CPoint(746, -920), &angle, &fx, &fy);
    EXPECT_EQ(p, CPoint(1492, -1840));
    EXPECT_EQ(angle, 180);
    EXPECT_EQ(fx, -1);
    EXPECT_EQ(fy, -1);
    EXPECT_EQ(g.GetVertex(4, CSize(10, 10), CPoint(0, 0)), CPoint(0, 0));
}

TEST(CVantrelDocTest, MovesAndNeighbours)
{
    auto doc = MakeDoc(4, 3);
    MoveRecord up = doc->LookupMove(1, 1, 0, 1);
    EXPECT_EQ(up.toGrid, 0);
    EXPECT_EQ(up.reverseDir, 3);
    EXPECT_EQ(up.dy, -1);
    EXPECT_EQ(doc->LookupMove(1, 1, 0, 4).dx, -1);
    EXPECT_EQ(doc->LookupMove(0, 0, 0, 5).fromGrid, -1);
    EXPECT_EQ(doc->LookupMove(0, 0, 3, 1).fromGrid, -1);
    int nx = 0, ny = 0;
    EXPECT_EQ(doc->GetNeighbour(4, 0, 0, 0, -1, 0, 0, nx, ny), 1);
    EXPECT_EQ(nx, -1);
    EXPECT_EQ(ny, 0);
    Grid(*doc).kind = 3;
    EXPECT_EQ(doc->GetNeighbour(4, 0, 0, 0, -1, 0, 0, nx, ny), 0);
    Grid(*doc).kind = 1;

    int v[17] = {};
    Cell(*doc, 1, 0).passages = 4;
    Cell(*doc, 0, 1).passages = 2;
    Cell(*doc, 2, 1).flags = CELL_FRONTIER;
    EXPECT_EQ(doc->CountCarvedNeighbours(1, 1, 0, v), 2);
    EXPECT_EQ(v[1] + v[4] * 2 + v[2] * 4 + v[3] * 8, 3);
    EXPECT_EQ(doc->CountFrontierNeighbours(1, 1, 0, v), 1);
    EXPECT_EQ(v[2], 1);
    EXPECT_EQ(doc->CountCarvedNeighbours(0, 0, 0, v), 2);
    EXPECT_EQ(v[2] + v[3], 2);
    // Free neighbours join the frontier once, in side order; the carved and marked ones do not.
    Cell(*doc, 2, 1).flags = 0;
    EXPECT_EQ(doc->AddFreeNeighbours(1, 1, 0, v), 2);
    EXPECT_EQ(doc->m_frontier[0], (frontier_location{2, 1, 0}));
    EXPECT_EQ(doc->m_frontier[1], (frontier_location{1, 2, 0}));
    EXPECT_EQ(doc->AddFreeNeighbours(1, 1, 0, v), 0);
}

TEST(CVantrelDocTest, RingNeighbours)
{
    auto doc = MakeDoc(8, 3);
    Grid(*doc).kind = 2;
    doc->m_pRingCells = new int[3]{4, 8, 8};
    int nx = 0, ny = 0;
    // Ring 0 doubles outwards: side 5 reaches 2x, side 4 reaches 2x + 1 of the next ring.
    EXPECT_EQ(doc->GetNeighbour(5, 1, 0, 0, 0, 1, 0, nx, ny), 1);
    EXPECT_EQ(nx, 2);
    EXPECT_EQ(ny, 1);
    EXPECT_EQ(doc->GetNeighbour(4, 1, 0, 0, 0, 1, 0, nx, ny), 1);
    EXPECT_EQ(nx, 3);
    // Inwards the position halves; around the ring it wraps.
    EXPECT_EQ(doc->GetNeighbour(2, 5, 1, 0, 0, -1, 0, nx, ny), 1);
    EXPECT_EQ(nx, 2);
    EXPECT_EQ(ny, 0);
    EXPECT_EQ(doc->GetNeighbour(3, 7, 2, 0, 1, 0, 0, nx, ny), 1);
    EXPECT_EQ(nx, 0);
    EXPECT_EQ(doc->GetNeighbour(1, 0, 2, 0, -1, 0, 0, nx, ny), 1);
    EXPECT_EQ(nx, 7);
    // No fifth side where the next ring does not double; nothing beyond the last ring.
    EXPECT_EQ(doc->GetNeighbour(5, 0, 1, 0, 0, 1, 0, nx, ny), 0);
    EXPECT_EQ(doc->GetNeighbour(1, 0, 2, 0, 0, 1, 0, nx, ny), 0);
    // Parity: side 2 of a cell in a doubled ring looks up parity 1 - (x mod 2).
    doc->m_nType = 40;
    static const MoveRecord moves[] = {{0, 2, 0, 0, 4, 0, -1}, {0, 2, 1, 0, 5, 0, -1}, {-1, 0, 0, 0, 0, 0, 0}};
    Grid(*doc).moves = moves;
    EXPECT_EQ(doc->LookupMove(2, 1, 0, 2).reverseDir, 5);
    EXPECT_EQ(doc->LookupMove(3, 1, 0, 2).reverseDir, 4);
    EXPECT_EQ(doc->LookupMove(2, 2, 0, 2).reverseDir, 4);
}

TEST(CVantrelDocTest, CreateGridSizesAndRefusals)
{
    CVantrelDoc doc;
    ASSERT_TRUE(doc.CreateGrid());
    EXPECT_EQ(doc.m_nGrids, 1);
    EXPECT_EQ(Grid(doc).kind, 1);
    EXPECT_EQ(Grid(doc).moves, SQUARE_MOVES);
    EXPECT_EQ(Grid(doc).width, 10);
    EXPECT_EQ(doc.m_nExtraColsPct, 5);
    EXPECT_EQ(doc.GetCellWidth(), 746);
    EXPECT_EQ(doc.GetCellHeight(), -920);
    EXPECT_EQ(Grid(doc).weights[2], 1);

    // Not fitting, scale 400: at most 18 x 23; 0 x 0 asks for as many as fit.
    doc.m_bFitToPage = 0;
    doc.m_nCellsX = doc.m_nCellsY = 30;
    ASSERT_TRUE(doc.CreateGrid());
    EXPECT_EQ(doc.m_nCellsX, 18);
    EXPECT_EQ(doc.m_nCellsY, 23);
    doc.m_nCellsX = doc.m_nCellsY = 0;
    ASSERT_TRUE(doc.CreateGrid());
    EXPECT_EQ(Grid(doc).width * Grid(doc).height, 18 * 23);

    doc.m_nScale = 0;
    EXPECT_FALSE(doc.CreateGrid());
    EXPECT_EQ(doc.m_nGrids, 0);
    EXPECT_EQ(doc.m_pGrids[0], nullptr);
    EXPECT_FALSE(doc.m_strError.IsEmpty());
    doc.m_bFitToPage = 1;
    doc.m_nCellsX = 0;
    doc.m_nCellsY = 5;
    EXPECT_FALSE(doc.CreateGrid());
    doc.m_nCellsX = 100000;
    doc.m_nCellsY = 100000;
    EXPECT_FALSE(doc.CreateGrid());
    EXPECT_EQ(doc.m_nGrids, 0);
    doc.m_nType = 3;
    doc.m_nCellsX = doc.m_nCellsY = 5;
    EXPECT_FALSE(doc.CreateGrid());
    EXPECT_EQ(doc.m_pGrids[0], nullptr);
    // Every command is harmless without a grid.
    doc.OnGenerateMaze();
    doc.OnSolve();
    doc.OnClearMaze();
    EXPECT_EQ(doc.ReRender(), 0);
    EXPECT_FALSE(doc.CarveCell(0, 0, 0));
}

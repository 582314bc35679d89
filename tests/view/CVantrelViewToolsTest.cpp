// The edit tools on the maze layer: cell flags by tool and button, drags, Grow From Selector, Draw
// Solution strokes, the tools' enabled state, the Active Layer commands and the edit toolbar per layer.
#include <gtest/gtest.h>

#include "maze/MazeCell.h"
#include "platform/core/CCmdTarget.h"
#include "tests/support/ToolsTestSupport.h"

using tooltest::MazeWindow;

namespace {
constexpr int kCols = 6, kRows = 5, kCell = 400;

struct TestCmdUI : CCmdUI {};

TestCmdUI Update(CCmdTarget* pTarget, UINT nID)
{
    TestCmdUI ui;
    ui.m_nID = nID;
    ui.DoUpdate(pTarget, TRUE);
    return ui;
}

class ToolsTest : public ::testing::Test {
protected:
    MazeWindow w{RUNTIME_CLASS(CVantrelView), kCols, kRows, kCell};
    CVantrelView& view = *w.view;
    CVantrelDoc& doc = w.doc;
};
} // namespace

TEST_F(ToolsTest, NoToolChosenStartsADragAndChangesNothing)
{
    ASSERT_NE(w.view, nullptr);
    EXPECT_EQ(view.m_nEditTool, 0);
    const CPoint p = w.CellPoint(2, 2);
    view.OnLButtonDown(MK_LBUTTON, p);
    EXPECT_EQ(view.m_nDragState, 1);
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(3, 2));
    view.OnLButtonUp(0, p);
    EXPECT_EQ(view.m_nDragState, 0);
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kCols; ++x)
            EXPECT_EQ(w.flags(x, y), 0);
    // A click outside every cell starts no drag.
    view.OnLButtonDown(MK_LBUTTON, w.CellPoint(kCols + 2, 1));
    EXPECT_EQ(view.m_nDragState, 0);
}

TEST_F(ToolsTest, EachToolSetsItsFlagsWithEitherButton)
{
    struct Case {
        UINT tool;
        int left, right, marks;
    };
    const Case cases[] = {
        {ID_TOOL_RESET, 0x00, 0x00, 0x00},         {ID_TOOL_BLACKEN, 0x02, 0x00, 0x00},
        {ID_TOOL_WHITEN, 0x04, 0x00, 0x00},        {ID_TOOL_START, 0x50, 0x10, 0x10},
        {ID_TOOL_STOP, 0x60, 0x20, 0x20},          {ID_TOOL_DRAW_SOLUTION, 0x01, 0x00, 0x00},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tool);
        doc.m_nPlacedMarks = 0;
        ASSERT_TRUE(view.OnCmdMsg(c.tool, CN_COMMAND, nullptr, nullptr));
        EXPECT_EQ(view.m_nEditTool, int(c.tool));
        doc.SetCellState(1, 1, 0, 0x02);  // a blackened cell, so that Reset has something to undo
        doc.SetCellState(3, 3, 0, 0x02);
        if (c.tool == ID_TOOL_DRAW_SOLUTION)
            doc.SetCellState(1, 1, 0, 0);  // Draw Solution makes a free cell a frontier cell
        w.LeftClick(1, 1);
        EXPECT_EQ(w.flags(1, 1), c.left);
        w.RightClick(3, 3);
        EXPECT_EQ(w.flags(3, 3), c.right);
        EXPECT_EQ(doc.m_nPlacedMarks, c.marks);
        EXPECT_TRUE(doc.IsModified());
        doc.SetModifiedFlag(FALSE);
        doc.m_frontier.RemoveAll();
        doc.SetCellState(1, 1, 0, 0);
    }
}

TEST_F(ToolsTest, WhitenKeepsPassagesAndStartThenBlackenLosesTheMarkButNotTheBit)
{
    view.SetEditTool(ID_TOOL_START);
    w.LeftClick(2, 1);
    EXPECT_EQ(w.flags(2, 1), CELL_START | CELL_HIDDEN);
    view.SetEditTool(ID_TOOL_BLACKEN);
    w.LeftClick(2, 1);
    EXPECT_EQ(w.flags(2, 1), CELL_BLACKENED);
    EXPECT_EQ(doc.m_nPlacedMarks, 0x10);
    // No cell carries a START now, so Make Maze places the default one at (0, 0); the bit stays.
    doc.OnGenerateMaze();
    EXPECT_EQ(w.flags(0, 0) & (CELL_START | CELL_HIDDEN), CELL_START | CELL_HIDDEN);
    EXPECT_EQ(doc.m_nPlacedMarks, 0x10);

    // The tools keep acting on the grown maze; passages stay.
    const int passages = w.passages(4, 3);
    ASSERT_NE(passages, 0);
    view.SetEditTool(ID_TOOL_WHITEN);
    w.LeftClick(4, 3);
    EXPECT_EQ(w.flags(4, 3), CELL_ERASED);
    EXPECT_EQ(w.passages(4, 3), passages);
}

TEST_F(ToolsTest, DragsSetEveryCellPassedAndRightDragsClear)
{
    view.SetEditTool(ID_TOOL_BLACKEN);
    view.OnLButtonDown(MK_LBUTTON, w.CellPoint(0, 2));
    for (int x = 1; x < kCols; ++x)
        view.OnMouseMove(MK_LBUTTON, w.CellPoint(x, 2));
    view.OnLButtonUp(0, w.CellPoint(kCols - 1, 2));
    for (int x = 0; x < kCols; ++x)
        EXPECT_EQ(w.flags(x, 2), CELL_BLACKENED) << x;
    // Moving without a button held changes nothing.
    view.OnMouseMove(0, w.CellPoint(0, 3));
    EXPECT_EQ(w.flags(0, 3), 0);

    // A right click with START leaves a visible START; the right drag clears every cell it passes,
    // the clicked one included, whatever the tool.
    view.SetEditTool(ID_TOOL_START);
    view.OnRButtonDown(MK_RBUTTON, w.CellPoint(1, 2));
    EXPECT_EQ(w.flags(1, 2), CELL_START);
    EXPECT_EQ(view.m_nDragState, 2);
    view.OnMouseMove(MK_RBUTTON, w.CellPoint(1, 2));
    view.OnMouseMove(MK_RBUTTON, w.CellPoint(2, 2));
    view.OnRButtonUp(0, w.CellPoint(2, 2));
    EXPECT_EQ(w.flags(1, 2), 0);
    EXPECT_EQ(w.flags(2, 2), 0);
    EXPECT_EQ(w.flags(3, 2), CELL_BLACKENED);
    EXPECT_EQ(view.m_nDragState, 0);
    // START and STOP left drags set nothing.
    view.OnLButtonDown(MK_LBUTTON, w.CellPoint(0, 0));
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(0, 1));
    view.OnLButtonUp(0, w.CellPoint(0, 1));
    EXPECT_EQ(w.flags(0, 1), 0);
}

TEST_F(ToolsTest, RightClickOutsideTheGridStillSetsTheMarkBit)
{
    view.SetEditTool(ID_TOOL_STOP);
    view.OnRButtonDown(MK_RBUTTON, w.CellPoint(kCols + 3, kRows + 3));
    EXPECT_EQ(doc.m_nPlacedMarks, 0x20);
    EXPECT_EQ(view.m_nDragState, 2);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ToolsTest, GrowFromSelectorGrowsFromAFreeCellOnly)
{
    view.SetEditTool(ID_TOOL_GROW_FROM_HERE);
    doc.SetCellState(4, 4, 0, CELL_BLACKENED);
    w.LeftClick(4, 4);
    ASSERT_EQ(doc.m_startPoints.GetSize(), 1);
    EXPECT_EQ(doc.m_startPoints[0], CPoint(4, 4));
    int carved = 0;
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kCols; ++x)
            carved += w.passages(x, y) != 0;
    EXPECT_EQ(carved, 0);

    w.LeftClick(2, 3);
    ASSERT_EQ(doc.m_startPoints.GetSize(), 2);
    EXPECT_EQ(doc.m_startPoints[1], CPoint(2, 3));
    EXPECT_EQ(doc.m_bGenerated, 1);
    // Every free cell joined the maze, and the maze was solved from START to STOP.
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kCols; ++x)
            EXPECT_EQ(w.passages(x, y) != 0, !(x == 4 && y == 4)) << x << "," << y;
    EXPECT_TRUE(w.flags(0, 0) & CELL_SOLUTION);
    EXPECT_TRUE(w.flags(kCols - 1, kRows - 1) & CELL_SOLUTION);
}

TEST_F(ToolsTest, DrawSolutionStrokesJoinTheCellsTheyCross)
{
    view.SetEditTool(ID_TOOL_DRAW_SOLUTION);
    // The click makes (1, 0) a frontier cell; the drag memory starts at (0, 0) of grid 0, so the first
    // movement over (0, 0) carves nothing.
    view.OnLButtonDown(MK_LBUTTON, w.CellPoint(1, 0));
    EXPECT_EQ(w.flags(1, 0), CELL_FRONTIER);
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(0, 0));
    EXPECT_EQ(w.flags(0, 0), 0);
    // Back over (1, 0) and then (0, 0): now (0, 0) is carved and joined to its frontier neighbour.
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(1, 0));
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(0, 0));
    EXPECT_TRUE(w.passages(0, 0) & 0x2);  // east
    EXPECT_TRUE(w.passages(1, 0) & 0x8);  // west
    // On down the column: each new cell joins the carved one before it.
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(0, 1));
    view.OnMouseMove(MK_LBUTTON, w.CellPoint(0, 2));
    view.OnLButtonUp(0, w.CellPoint(0, 2));
    EXPECT_TRUE(w.passages(0, 0) & 0x4);  // south
    EXPECT_TRUE(w.passages(0, 1) & 0x1);
    EXPECT_TRUE(w.passages(0, 1) & 0x4);
    EXPECT_TRUE(w.passages(0, 2) & 0x1);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ToolsTest, ToolsAreEnabledOnlyOnATemplateWithAGrid)
{
    const UINT tools[] = {ID_TOOL_RESET, ID_TOOL_BLACKEN, ID_TOOL_STOP, ID_TOOL_START, ID_TOOL_WHITEN,
                          ID_TOOL_DRAW_SOLUTION};
    for (UINT id : tools) {
        const TestCmdUI ui = Update(&view, id);
        EXPECT_TRUE(ui.IsEnabled()) << id;
        EXPECT_EQ(ui.GetCheck(), 0) << id;
    }
    doc.OnGenerateMaze();
    for (UINT id : tools)
        EXPECT_FALSE(Update(&view, id).IsEnabled()) << id;
    doc.OnClearMaze();
    EXPECT_TRUE(Update(&view, ID_TOOL_BLACKEN).IsEnabled());
}

TEST_F(ToolsTest, ActiveLayerCommandsCheckTheirLayerAndSetTheToolbar)
{
    CToolBarCtrl& bar = w.edit.GetToolBarCtrl();
    const UINT cellTools[] = {ID_TOOL_BLACKEN, ID_TOOL_WHITEN, ID_TOOL_RESET, ID_TOOL_GROW_FROM_HERE, ID_TOOL_START,
                              ID_TOOL_STOP};
    const UINT objectTools[] = {ID_DELETE_OBJECT, ID_BRING_TO_TOP, ID_MOVE_TO_BOTTOM};
    const UINT layers[] = {ID_ACTIVE_LAYER_BACKGROUND, ID_ACTIVE_LAYER_MAZE_TEMPLATE, ID_ACTIVE_LAYER_FOREGROUND,
                           ID_ACTIVE_LAYER_TEXT};
    for (int layer = 1; layer <= 4; ++layer) {
        SCOPED_TRACE(layer);
        ASSERT_TRUE(view.OnCmdMsg(layers[layer - 1], CN_COMMAND, nullptr, nullptr));
        EXPECT_EQ(view.m_nActiveLayer, layer);
        EXPECT_EQ(doc.m_bDirty, 1);
        for (int other = 1; other <= 4; ++other) {
            const TestCmdUI ui = Update(&view, layers[other - 1]);
            EXPECT_TRUE(ui.IsEnabled());
            EXPECT_EQ(ui.GetCheck(), other == layer ? 1 : 0);
        }
        for (UINT id : cellTools)
            EXPECT_EQ(bar.IsButtonHidden(int(id)), layer != 2) << id;
        for (UINT id : objectTools)
            EXPECT_EQ(bar.IsButtonHidden(int(id)), layer == 2) << id;
        EXPECT_TRUE(bar.IsButtonHidden(ID_TOOL_DRAW_SOLUTION));
        EXPECT_FALSE(bar.IsButtonHidden(ID_MAZE_SETUP));
    }
    // The tool survives layer changes and shows pressed alone.
    view.SetEditTool(ID_TOOL_WHITEN);
    view.SetActiveLayer(2);
    EXPECT_EQ(view.m_nEditTool, int(ID_TOOL_WHITEN));
    for (UINT id : cellTools)
        EXPECT_EQ(bar.IsButtonPressed(int(id)), id == ID_TOOL_WHITEN) << id;
    view.SetEditTool(ID_TOOL_START);
    EXPECT_FALSE(bar.IsButtonPressed(ID_TOOL_WHITEN));
    EXPECT_TRUE(bar.IsButtonPressed(ID_TOOL_START));
    // Mouse messages on an object layer leave the cells alone.
    view.SetActiveLayer(3);
    view.SetEditTool(ID_TOOL_BLACKEN);
    w.LeftClick(2, 2);
    EXPECT_EQ(w.flags(2, 2), 0);
}

TEST(ToolsWithoutGridTest, EverythingIsDisabled)
{
    MazeWindow w{RUNTIME_CLASS(CVantrelView), 0, 0, 400};
    ASSERT_EQ(w.doc.m_nGrids, 0);
    const UINT ids[] = {ID_TOOL_BLACKEN, ID_TOOL_START, ID_ACTIVE_LAYER_MAZE_TEMPLATE, ID_ACTIVE_LAYER_TEXT};
    for (UINT id : ids) {
        const TestCmdUI ui = Update(w.view, id);
        EXPECT_FALSE(ui.IsEnabled()) << id;
        EXPECT_EQ(ui.GetCheck(), 0) << id;
    }
}

TEST_F(ToolsTest, CommandsReachTheViewThroughTheFrameWhileEnabled)
{
    // As the accelerator Ctrl+3 and the menu run them.
    EXPECT_TRUE(w.frame.ExecuteCommand(ID_ACTIVE_LAYER_FOREGROUND));
    EXPECT_EQ(view.m_nActiveLayer, 3);
    EXPECT_TRUE(w.frame.ExecuteCommand(ID_ACTIVE_LAYER_MAZE_TEMPLATE));
    EXPECT_TRUE(w.frame.ExecuteCommand(ID_TOOL_BLACKEN));
    EXPECT_EQ(view.m_nEditTool, int(ID_TOOL_BLACKEN));
    doc.OnGenerateMaze();
    EXPECT_FALSE(w.frame.ExecuteCommand(ID_TOOL_WHITEN));  // disabled on a made maze
    EXPECT_EQ(view.m_nEditTool, int(ID_TOOL_BLACKEN));
}

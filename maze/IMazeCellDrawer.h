#pragma once
// What the document needs of its first view while it animates growth and solving: draw one cell at once
// on the window. The view implements this alongside its own drawing; the document finds it with
// dynamic_cast on its first view and draws nothing when the first view is not a drawer.
class CDC;

class IMazeCellDrawer {
public:
    virtual ~IMazeCellDrawer() = default;
    // pDC null: the drawer takes the window's own DC. pass 1: the cell by itself, fill and walls.
    virtual void DrawCell(CDC* pDC, int x, int y, int g, int pass) = 0;
    // The same for a cell of a ring grid (grid kind 2).
    virtual void DrawCircularCell(CDC* pDC, int x, int y, int g, int pass) = 0;
};

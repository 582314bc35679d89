// The ring grid's tables and builder.
#include "maze/RingGrid.h"

#include "maze/Object.h"

const ShapeVertex RING_SHAPE[6] = {
    {0.0, 0.0, 180.0, 0.0, 0.0, 1},
    {0.0, 1.0, 90.0, 0.0, -1.0, 2},
    {1.0, 1.0, 0.0, -1.0, -1.0, 3},
    {1.0, 0.0, 270.0, -1.0, 0.0, 4},
    {0.5, 0.0, 270.0, -0.5, 0.0, 5},
    {0.0, 0.0, 0.0, 0.0, 0.0, 0},
};

const MoveRecord RING_MOVES[7] = {
    {0, 1, 0, 0, 3, -1, 0},
    {0, 2, 0, 0, 4, 0, -1},
    {0, 2, 1, 0, 5, 0, -1},
    {0, 3, 0, 0, 1, 1, 0},
    {0, 4, 0, 0, 2, 0, 1},
    {0, 5, 0, 0, 2, 0, 1},
    {-1, 0, 0, 0, 0, 0, 0},
};

Object* CreateRingGrid()
{
    auto* grid = new Object(RING_SHAPE);
    grid->moves = RING_MOVES;
    grid->SetCellShape(2);
    return grid;
}

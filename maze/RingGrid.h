#pragma once
// The ring grid (template type 40): cells in concentric rings, row y = ring y counted outwards, column x
// = position clockwise around the ring. A ring may hold twice the cells of the ring inside it; a cell
// whose next ring doubles has five sides, the others four:
//   1 the radial wall at the cell's start angle (towards column x - 1),
//   2 the inner arc (towards the ring inside),
//   3 the radial wall at its end angle (towards column x + 1),
//   4 the outer arc, or its second half when the next ring doubles (towards ring y + 1),
//   5 the first half of the outer arc when the next ring doubles.
// The cells per ring and the size of the cell array come from the view's first layout of the page.
#include "maze/MoveRecord.h"
#include "maze/ShapeVertex.h"

class Object;

// The template type of ring grids.
constexpr int RING_TEMPLATE_TYPE = 40;

// A ring cell unrolled (x along the ring, y from the outer arc inwards), its walls in side order.
extern const ShapeVertex RING_SHAPE[6];
// Moves of a ring grid; side 2 has a row per parity: an even cell of a doubled ring enters the inner
// cell through its side 5, an odd one (or any cell of a ring that does not double) through side 4.
extern const MoveRecord RING_MOVES[7];

// A new ring grid of kind 2 with the ring tables and no cells yet.
Object* CreateRingGrid();

#pragma once
// One row of a grid's move table: leaving a cell of grid fromGrid through side dir (for a cell of the
// given parity) leads to grid toGrid, cell (x + dx, y + dy), entered through its side reverseDir.
// A table ends at the first row whose fromGrid is -1; a lookup that finds no row yields such a row.
struct MoveRecord {
    int fromGrid;
    int dir;
    int parity;
    int toGrid;
    int reverseDir;
    int dx;
    int dy;
};

constexpr MoveRecord NO_MOVE = {-1, 0, 0, 0, 0, 0, 0};

// The square grid's moves, sides 1 up, 2 right, 3 down, 4 left, ended by the -1 row.
extern const MoveRecord SQUARE_MOVES[5];

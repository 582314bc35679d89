#pragma once
// A corner of a cell shape. A shape table lists its corners in order and ends with a row repeating the
// first corner's x and y; the number of rows before that repeat is the number of sides.
struct ShapeVertex {
    double x;      // across, in cell widths
    double y;      // down, in cell heights
    double angle;  // direction of the wall from this corner to the next: degrees, 0 = north, clockwise
    double fx;
    double fy;
    int side;      // the side this wall closes, 1..n
};

// The square cell: side 1 north, 2 east, 3 south, 4 west.
extern const ShapeVertex SQUARE_SHAPE[5];

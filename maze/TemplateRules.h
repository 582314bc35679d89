#pragma once
// What the settings must hold for a rebuild to make a grid. The Style page offers seven template
// types, but the grid builder knows two: Box (0, also drawn with a tile set) and CIRCULAR (40); Hex (1),
// Octagon-Box (2), Triangular (3), Trapezoid-Box (4) and Quad-Triangle (5) have none. A square
// template fitted to the page needs at least one row and one column.
#include "platform/core/CString.h"

constexpr int BOX_TEMPLATE_TYPE = 0;

bool HasGridBuilder(int nType);
// "the Hex template type", or "template type 7" for a type the Style page does not offer.
CString DescribeTemplateType(int nType);

// The Maze Setup sheet's refusals, each empty when the values are fine.
CString RefuseTemplateType(int nType);
CString RefuseCellCounts(int nType, BOOL bFitToPage, int nCellsWide, int nCellsLong);

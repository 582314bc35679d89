#pragma once
// Control ids of the Maze Setup sheet's pages and the example bitmaps of the Style page. The page
// templates themselves are IDD_PAGE_STYLE .. IDD_PAGE_GROWTH (resources/resource.h).
#include "platform/core/WinTypes.h"

// Style page.
constexpr UINT IDC_STYLE_BOX = 1032;
constexpr UINT IDC_STYLE_TRIANGULAR = 1033;
constexpr UINT IDC_STYLE_OCTAGON_BOX = 1034;
constexpr UINT IDC_STYLE_HEX = 1035;
constexpr UINT IDC_STYLE_PICTURE = 1036;
constexpr UINT IDC_STYLE_TRAPEZOID_BOX = 1037;
constexpr UINT IDC_STYLE_QUAD_TRIANGLE = 1038;
constexpr UINT IDC_STYLE_CIRCULAR = 1039;
constexpr UINT IDC_STYLE_SQUARE_TILED = 1040;
constexpr UINT IDC_STYLE_TILER_LIST = 1075;

// Example bitmaps of the template types.
constexpr UINT IDB_EXAMPLE_BOX = 154;
constexpr UINT IDB_EXAMPLE_TRIANGULAR = 155;
constexpr UINT IDB_EXAMPLE_OCTAGON_BOX = 156;
constexpr UINT IDB_EXAMPLE_HEX = 157;
constexpr UINT IDB_EXAMPLE_QUAD_TRIANGLE = 161;
constexpr UINT IDB_EXAMPLE_TRAPEZOID_BOX = 162;
constexpr UINT IDB_EXAMPLE_CIRCULAR = 165;

// Dimensions page.
constexpr UINT IDC_DIM_CELLS_WIDE = 1006;
constexpr UINT IDC_DIM_CELLS_LONG = 1007;
constexpr UINT IDC_DIM_SCALE = 1008;
constexpr UINT IDC_DIM_INNER_CELLS = 1009;
constexpr UINT IDC_DIM_INNER_PCT = 1010;
constexpr UINT IDC_DIM_GROUP = 1041;
constexpr UINT IDC_DIM_CIRCULAR_GROUP = 1042;
constexpr UINT IDC_DIM_INNER_CELLS_LABEL = 1043;
constexpr UINT IDC_DIM_INNER_PCT_LABEL = 1044;
constexpr UINT IDC_DIM_CELLS_WIDE_LABEL = 1045;
constexpr UINT IDC_DIM_CELLS_LONG_LABEL = 1046;
constexpr UINT IDC_DIM_SCALE_LABEL = 1047;
constexpr UINT IDC_DIM_FIT_TO_PAGE = 1048;

// Page page.
constexpr UINT IDC_PAGE_WIDTH = 1004;
constexpr UINT IDC_PAGE_HEIGHT = 1005;
constexpr UINT IDC_PAGE_LEFT = 1006;
constexpr UINT IDC_PAGE_TOP = 1007;
constexpr UINT IDC_PAGE_AUTO_CENTER = 1079;
constexpr UINT IDC_PAGE_PRINTER_DEBUG = 1080;

// Advanced page.
constexpr UINT IDC_ADV_SEED = 1003;
constexpr UINT IDC_ADV_PEN_THINNEST = 1024;
constexpr UINT IDC_ADV_PEN_HUNDREDTH = 1025;
constexpr UINT IDC_ADV_PEN_OTHER = 1026;
constexpr UINT IDC_ADV_PEN_WIDTH = 1027;
constexpr UINT IDC_ADV_ERASED_VISIBLE = 1050;
constexpr UINT IDC_ADV_INFO_WINDOW = 1051;
constexpr UINT IDC_ADV_ANIMATE = 1052;

// GROWTH page.
constexpr UINT IDC_GROW_N = 1051;
constexpr UINT IDC_GROW_NW = 1052;
constexpr UINT IDC_GROW_NE = 1053;
constexpr UINT IDC_GROW_W = 1054;
constexpr UINT IDC_GROW_E = 1055;
constexpr UINT IDC_GROW_SW = 1056;
constexpr UINT IDC_GROW_SE = 1057;
constexpr UINT IDC_GROW_S = 1058;
constexpr UINT IDC_GROW_CENTER = 1059;
constexpr UINT IDC_GROW_RELATIVE = 1060;

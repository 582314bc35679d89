#pragma once
// Resource and command ids of the program. The framework's standard ids (ID_FILE_NEW, ID_APP_ABOUT,
// the indicators ...) come from platform/core/AfxRes.h.
#include "platform/core/AfxRes.h"

// Resources.
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDR_MAINFRAME = 128;   // menu, accelerators, icon, main toolbar, title string
constexpr UINT IDR_EDIT_TOOLBAR = 159;

// Dialogs.
constexpr UINT IDD_BITMAP_SETUP = 161;
constexpr UINT IDD_PAGE_STYLE = 164;
constexpr UINT IDD_PAGE_DIMENSIONS = 165;
constexpr UINT IDD_PAGE_PAGE = 166;
constexpr UINT IDD_PAGE_ADVANCED = 167;
constexpr UINT IDD_PAGE_GROWTH = 168;
constexpr UINT IDD_IMAGE_SETTINGS = 184;

// Bitmaps and the built-in tile set.
constexpr UINT IDB_STYLE_EXAMPLE = 154;
constexpr UINT IDB_STYLE_CIRCULAR = 165;
constexpr UINT IDB_SPLASH = 168;      // splash and About bitmap
constexpr UINT IDB_START_TILE = 176;
constexpr UINT IDR_BUILTIN_TILE_SHEET = 180; // type "IMG"
constexpr UINT IDR_BUILTIN_TILES = 192;      // type "TILE"

// Controls of the About box.
constexpr UINT IDC_ABOUT_PICTURE = 1028;
constexpr UINT IDC_ABOUT_VERSION = 1029;
constexpr UINT IDC_ABOUT_HOMEPAGE = 1031;

// View switches.
constexpr UINT ID_SHOW_ERASED_CELLS = 1050;
constexpr UINT ID_INFO_BOX = 1051;
constexpr UINT ID_ANIMATED_CREATION = 1052;

// Maze commands and edit tools.
constexpr UINT ID_GENERATE_MAZE = 32771;
constexpr UINT ID_MAZE_SETUP = 32772;
constexpr UINT ID_TOOL_RESET = 32773;
constexpr UINT ID_TOOL_BLACKEN = 32774;
constexpr UINT ID_TOOL_STOP = 32778;
constexpr UINT ID_TOOL_START = 32779;
constexpr UINT ID_TOOL_WHITEN = 32780;
constexpr UINT ID_TOOL_GROW_FROM_HERE = 32782;
constexpr UINT ID_VIEW_EDIT_TOOLBAR = 32783;
constexpr UINT ID_SOLVE = 32784;
constexpr UINT ID_CLEAR_MAZE = 32787;
constexpr UINT ID_HOME_PAGE = 32789;
constexpr UINT ID_PRINTING_PEN_WIDTH = 32790;
constexpr UINT ID_APPLY_BMP_MASK = 32792;
constexpr UINT ID_HEAR_ABOUT = 32795;
constexpr UINT ID_MASK_GALLERY = 32796;
constexpr UINT ID_TEMPLATE_GALLERY = 32798;
constexpr UINT ID_PAGE_SETUP = 32801;
constexpr UINT ID_CHECK_FOR_UPDATES = 32802;
constexpr UINT ID_USER_MANUAL = 32803;
constexpr UINT ID_VIEW_SOLUTION = 32805;
constexpr UINT ID_ACTIVE_LAYER_BACKGROUND = 32806;
constexpr UINT ID_ACTIVE_LAYER_MAZE_TEMPLATE = 32807;
constexpr UINT ID_ACTIVE_LAYER_FOREGROUND = 32808;
constexpr UINT ID_ACTIVE_LAYER_TEXT = 32809;
constexpr UINT ID_VIEW_BACKGROUND_IMGS = 32810;
constexpr UINT ID_VIEW_MAZE_TEMPLATE = 32811;
constexpr UINT ID_VIEW_FOREGROUND_IMGS = 32812;
constexpr UINT ID_VIEW_TEXT_LAYER = 32813;
constexpr UINT ID_DELETE_OBJECT = 32818;
constexpr UINT ID_TOOL_DRAW_SOLUTION = 32819;
constexpr UINT ID_BRING_TO_TOP = 32820;
constexpr UINT ID_MOVE_TO_BOTTOM = 32821;
constexpr UINT ID_FORUM = 32822;
constexpr UINT ID_MAILING_LIST = 32823;
constexpr UINT ID_RERENDER_MAZE = 32824;
constexpr UINT ID_TILER_GALLERY = 32828;

// The in-place text editor of the view.
constexpr UINT IDC_TEXT_EDITOR = 2000;

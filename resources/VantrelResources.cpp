#include "resources/VantrelResources.h"

#include "resources/resource.h"

#include <iterator>

namespace {

// Menu 128, the frame's menu bar.
const MenuEntry kMainMenu[] = {
    {MENU_POPUP, "&File", 0},
    {MENU_ITEM, "&New\tCtrl+N", ID_FILE_NEW},
    {MENU_ITEM, "&Open...\tCtrl+O", ID_FILE_OPEN},
    {MENU_ITEM, "&Save\tCtrl+S", ID_FILE_SAVE},
    {MENU_ITEM, "Save &As...", ID_FILE_SAVE_AS},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Show Template Gallery", ID_TEMPLATE_GALLERY},
    {MENU_ITEM, "Show Tiler Gallery", ID_TILER_GALLERY},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Page Setup", ID_PAGE_SETUP},
    {MENU_ITEM, "&Print...\tCtrl+P", ID_FILE_PRINT},
    {MENU_ITEM, "Print Pre&view", ID_FILE_PRINT_PREVIEW},
    {MENU_ITEM, "P&rint Setup...", ID_FILE_PRINT_SETUP},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Recent File", ID_FILE_MRU_FILE1},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "E&xit", ID_APP_EXIT},
    {MENU_END, nullptr, 0},

    {MENU_POPUP, "&Edit", 0},
    {MENU_ITEM, "&Undo\tCtrl+Z", ID_EDIT_UNDO},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Cu&t\tCtrl+X", ID_EDIT_CUT},
    {MENU_ITEM, "&Copy\tCtrl+C", ID_EDIT_COPY},
    {MENU_ITEM, "&Paste\tCtrl+V", ID_EDIT_PASTE},
    {MENU_END, nullptr, 0},

    {MENU_POPUP, "Maze Options", 0},
    {MENU_ITEM, "Maze Setup", ID_MAZE_SETUP},
    {MENU_ITEM, "Set &Printing Pen Width", ID_PRINTING_PEN_WIDTH},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Apply BMP Mask", ID_APPLY_BMP_MASK},
    {MENU_ITEM, "Show Mask Gallery", ID_MASK_GALLERY},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Make Maze", ID_GENERATE_MAZE},
    {MENU_ITEM, "ReRender Maze", ID_RERENDER_MAZE},
    {MENU_ITEM, "Clear Maze", ID_CLEAR_MAZE},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_POPUP, "Active Layer", 0},
    {MENU_ITEM, "BackGround Imgs", ID_ACTIVE_LAYER_BACKGROUND},
    {MENU_ITEM, "Maze Template", ID_ACTIVE_LAYER_MAZE_TEMPLATE},
    {MENU_ITEM, "ForeGround Imgs", ID_ACTIVE_LAYER_FOREGROUND},
    {MENU_ITEM, "Text Layer", ID_ACTIVE_LAYER_TEXT},
    {MENU_END, nullptr, 0},
    {MENU_END, nullptr, 0},

    {MENU_POPUP, "&View", 0},
    {MENU_ITEM, "System &Toolbar", ID_VIEW_TOOLBAR},
    {MENU_ITEM, "Edit Toolbar", ID_VIEW_EDIT_TOOLBAR},
    {MENU_ITEM, "&Status Bar", ID_VIEW_STATUS_BAR},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "BackGround Imgs", ID_VIEW_BACKGROUND_IMGS},
    {MENU_ITEM, "Maze Template", ID_VIEW_MAZE_TEMPLATE},
    {MENU_ITEM, "ForeGround Imgs", ID_VIEW_FOREGROUND_IMGS},
    {MENU_ITEM, "Text Layer", ID_VIEW_TEXT_LAYER},
    {MENU_ITEM, "View Solution", ID_VIEW_SOLUTION},
    {MENU_SEPARATOR, nullptr, 0},
    {MENU_ITEM, "Show Erased Cells", ID_SHOW_ERASED_CELLS},
    {MENU_ITEM, "Animated Creation", ID_ANIMATED_CREATION},
    {MENU_ITEM, "Info Box", ID_INFO_BOX},
    {MENU_END, nullptr, 0},

    {MENU_POPUP, "&Help", 0},
    {MENU_ITEM, "&About Quillmont...", ID_APP_ABOUT},
    {MENU_ITEM, "Goto Online Quillmont User Manual", ID_USER_MANUAL},
    {MENU_ITEM, "Goto Online Quillmont Forum/Support", ID_FORUM},
    {MENU_ITEM, "Goto QUILLMONT &HOME PAGE", ID_HOME_PAGE},
    {MENU_ITEM, "Goto Quillmont Mailing List", ID_MAILING_LIST},
    {MENU_ITEM, "Check For Program Updates", ID_CHECK_FOR_UPDATES},
    {MENU_ITEM, "Hear About Quillmont", ID_HEAR_ABOUT},
    {MENU_END, nullptr, 0},

    {MENU_END, nullptr, 0},
};

const MenuResource kMenus[] = {{IDR_MAINFRAME, kMainMenu}};

// Accelerators 128.
const AccelEntry kMainAccel[] = {
    {FCONTROL, 'N', ID_FILE_NEW},
    {FCONTROL, 'O', ID_FILE_OPEN},
    {FCONTROL, 'S', ID_FILE_SAVE},
    {FCONTROL, 'P', ID_FILE_PRINT},
    {FCONTROL, 'Z', ID_EDIT_UNDO},
    {FCONTROL, 'X', ID_EDIT_CUT},
    {FCONTROL, 'C', ID_EDIT_COPY},
    {FCONTROL, 'V', ID_EDIT_PASTE},
    {FALT, 'R', ID_TOOL_RESET},
    {FALT, 'B', ID_TOOL_BLACKEN},
    {FALT, 'E', ID_TOOL_WHITEN},
    {FALT, 'S', ID_TOOL_GROW_FROM_HERE},
    {FALT, 'A', ID_APPLY_BMP_MASK},
    {FCONTROL, '1', ID_ACTIVE_LAYER_BACKGROUND},
    {FCONTROL, '2', ID_ACTIVE_LAYER_MAZE_TEMPLATE},
    {FCONTROL, '3', ID_ACTIVE_LAYER_FOREGROUND},
    {FCONTROL, '4', ID_ACTIVE_LAYER_TEXT},
    {FCONTROL | FSHIFT, '1', ID_VIEW_BACKGROUND_IMGS},
    {FCONTROL | FSHIFT, '2', ID_VIEW_MAZE_TEMPLATE},
    {FCONTROL | FSHIFT, '3', ID_VIEW_FOREGROUND_IMGS},
    {FCONTROL | FSHIFT, '4', ID_VIEW_TEXT_LAYER},
    {FCONTROL | FSHIFT, '5', ID_VIEW_SOLUTION},
    {FCONTROL, 'A', ID_ANIMATED_CREATION},
};

const AccelResource kAccels[] = {{IDR_MAINFRAME, kMainAccel, int(std::size(kMainAccel))}};

// Toolbar 128: 16 x 15 buttons; toolbar 159: 40 x 40 buttons. Separators are ID_SEPARATOR.
const UINT kMainToolBar[] = {
    ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SEPARATOR,
    ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_SEPARATOR,
    ID_FILE_PRINT, ID_APP_ABOUT, ID_SEPARATOR,
    ID_ACTIVE_LAYER_BACKGROUND, ID_ACTIVE_LAYER_MAZE_TEMPLATE, ID_ACTIVE_LAYER_FOREGROUND, ID_ACTIVE_LAYER_TEXT,
};

const UINT kEditToolBar[] = {
    ID_MAZE_SETUP, ID_SEPARATOR,
    ID_DELETE_OBJECT, ID_TOOL_RESET, ID_TOOL_BLACKEN, ID_TOOL_WHITEN, ID_SEPARATOR,
    ID_BRING_TO_TOP, ID_MOVE_TO_BOTTOM, ID_TOOL_START, ID_TOOL_STOP, ID_SEPARATOR,
    ID_TOOL_DRAW_SOLUTION, ID_TOOL_GROW_FROM_HERE,
};

const ToolBarResource kToolBars[] = {
    {IDR_MAINFRAME, 16, 15, ":/res/TOOLBAR/128", kMainToolBar, int(std::size(kMainToolBar))},
    {IDR_EDIT_TOOLBAR, 40, 40, ":/res/TOOLBAR/159", kEditToolBar, int(std::size(kEditToolBar))},
};

// String table: command prompts are "status-bar text\ntooltip".
const StringResource kStrings[] = {
    {IDR_MAINFRAME, "FREE Quillmont\n\nMaze\nMazes (*.mze)\n.mze\nQuillmont.Maze\nQuillmont Maze"},
    {AFX_IDS_IDLEMESSAGE, AFX_IDLE_MESSAGE},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},

    {ID_FILE_NEW, "Start a new maze\nNew"},
    {ID_FILE_OPEN, "Open a maze file\nOpen"},
    {ID_FILE_SAVE, "Save the maze to a file\nSave"},
    {ID_FILE_SAVE_AS, "Save the maze to a file under a new name\nSave As"},
    {ID_FILE_PRINT_SETUP, "Choose the printer and its options\nPrint Setup"},
    {ID_FILE_PRINT, "Print the active document\nPrint"},
    {ID_FILE_PRINT_PREVIEW, "Display full pages\nPrint Preview"},
    {ID_FILE_MRU_FILE1, "Open this maze"},
    {ID_FILE_MRU_FILE2, "Open this maze"},
    {ID_FILE_MRU_FILE3, "Open this maze"},
    {ID_FILE_MRU_FILE4, "Open this maze"},
    {ID_EDIT_UNDO, "Take back the last change\nUndo"},
    {ID_EDIT_CUT, "Move the selection to the clipboard\nCut"},
    {ID_EDIT_COPY, "Copy the selection to the clipboard\nCopy"},
    {ID_EDIT_PASTE, "Insert the clipboard's contents\nPaste"},
    {ID_APP_ABOUT, "Show the program's name and version\nAbout"},
    {ID_APP_EXIT, "Close the program, offering to save the maze\nExit"},
    {ID_VIEW_TOOLBAR, "Show or hide the system toolbar\nSystem Toolbar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nStatus Bar"},

    {ID_GENERATE_MAZE, "Randomly select a starting point to grow the maze\nGenerate Maze"},
    {ID_MAZE_SETUP, "Change the maze settings\nSetup Maze"},
    {ID_SOLVE, "Find the solution for the maze\nSolve Maze"},
    {ID_CLEAR_MAZE, "Remove generated maze, revert back to template\nRevert to maze template"},
    {ID_TOOL_RESET, "Reset cells to normal\nReset Cell"},
    {ID_TOOL_BLACKEN, "Blacken a section\nBlacken"},
    {ID_TOOL_WHITEN, "Whiten a Space\nWhiten (Clear)"},
    {ID_TOOL_START, "Set are START location  (Left Hidden, Right Visable)\nSTART (Left Hidden, Right Visable)"},
    {ID_TOOL_STOP, "Set a STOP Location  (Left Hidde, Right Visable)\nSTOP  (Left Hidden, Right Visable)"},
    {ID_TOOL_GROW_FROM_HERE, "Grow Maze from \"HERE\"\nGrow From Selector"},
    {ID_TOOL_DRAW_SOLUTION, "Draw your own solution for the maze\nDraw Solution"},
    {ID_ACTIVE_LAYER_BACKGROUND, "Set working Layer to BACKGROUND\nBackground Layer"},
    {ID_ACTIVE_LAYER_MAZE_TEMPLATE, "Set working Layer to MAZE\nMaze Layer"},
    {ID_ACTIVE_LAYER_FOREGROUND, "Set working Layer to FOREGROUND\nForeground Layer"},
    {ID_ACTIVE_LAYER_TEXT, "Set working Layer to TEXT\nText Layer"},
    {ID_DELETE_OBJECT, "Delete selected item\nDelete"},
    {ID_BRING_TO_TOP, "Bring current object to top\nBring to top"},
    {ID_MOVE_TO_BOTTOM, "Move current object to bottom\nMove to bottom"},
    {ID_APPLY_BMP_MASK, "Apply Mask\nApply a BMP image as a mask to the current template"},
    {ID_VIEW_SOLUTION, "Show the solution of the maze\nShow solution"},
    {ID_HOME_PAGE, "Opens the Quillmont home page, www.quillmont.example"},
    {ID_HEAR_ABOUT, "Real Audio sound bite for Quillmont"},
    {ID_USER_MANUAL, "Opens the Quillmont User Manual from the Quillmont Web Site"},
    {ID_FORUM, "Opens the Quillmont Forum/Support group Quillmont Web Page"},
    {ID_MAILING_LIST, "Opens the Quillmont Mailing List page on the Quillmont Web Site"},
    {ID_TEMPLATE_GALLERY, "Go to online Gallery of Templates\nLoad template from the gallery"},
    {ID_MASK_GALLERY, "Go online to show updated Gallery of Masks\nApply a  mask to the current template"},
    {ID_CHECK_FOR_UPDATES, "Check for Program updates\nUpdates"},
    {ID_TILER_GALLERY, "Show TILER Gallery on-line, check for the latest TILERs\nTILERs from www.quillmont.example"},
};

const ResourceTables kTables = [] {
    ResourceTables t;
    t.menus = kMenus;
    t.menuCount = int(std::size(kMenus));
    t.accels = kAccels;
    t.accelCount = int(std::size(kAccels));
    t.toolbars = kToolBars;
    t.toolbarCount = int(std::size(kToolBars));
    t.strings = kStrings;
    t.stringCount = int(std::size(kStrings));
    t.iconPaths[0] = ":/res/ICON/128_16";
    t.iconPaths[1] = ":/res/ICON/128_32";
    t.iconPaths[2] = ":/res/ICON/128_48";
    return t;
}();

} // namespace

const ResourceTables& GetVantrelResources() { return kTables; }

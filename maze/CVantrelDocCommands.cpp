// The document's commands, as the menus and toolbars reach them through the view.
#include "maze/CVantrelDoc.h"

#include "resources/resource.h"

BEGIN_MESSAGE_MAP(CVantrelDoc, CCmdTarget)
    ON_COMMAND(ID_FILE_NEW, &CVantrelDoc::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CVantrelDoc::OnFileOpen)
    ON_COMMAND(ID_FILE_SAVE, &CVantrelDoc::OnFileSave)
    ON_COMMAND(ID_FILE_SAVE_AS, &CVantrelDoc::OnFileSaveAs)
    ON_COMMAND(ID_PAGE_SETUP, &CVantrelDoc::OnPageSetup)
    ON_COMMAND(ID_MAZE_SETUP, &CVantrelDoc::OnMazeSetup)
    ON_COMMAND(ID_PRINTING_PEN_WIDTH, &CVantrelDoc::OnPrintingPenWidth)
    ON_COMMAND(ID_GENERATE_MAZE, &CVantrelDoc::OnGenerateMaze)
    ON_COMMAND(ID_RERENDER_MAZE, &CVantrelDoc::OnReRender)
    ON_COMMAND(ID_CLEAR_MAZE, &CVantrelDoc::OnClearMaze)
    ON_COMMAND(ID_SOLVE, &CVantrelDoc::OnSolve)
END_MESSAGE_MAP()

#include "view/CMazePrintDialog.h"

namespace {
// Dialog units; the layer boxes sit indented under their page kind inside "Items to Print".
const DialogTemplate kPrintDialogTemplate{
    "Quillmont Print Dialog",
    230,
    152,
    {
        {DialogItemKind::GroupBox, IDC_STATIC, "Items to Print", 7, 7, 216, 90},
        {DialogItemKind::CheckBox, IDC_PRINT_MAZE, "Maze", 15, 20, 95, 10},
        {DialogItemKind::CheckBox, IDC_MAZE_LAYER_FIRST + 0, "Back Ground Layer", 25, 33, 85, 10},
        {DialogItemKind::CheckBox, IDC_MAZE_LAYER_FIRST + 1, "Maze Layer", 25, 45, 85, 10},
        {DialogItemKind::CheckBox, IDC_MAZE_LAYER_FIRST + 2, "Fore Ground Layer", 25, 57, 85, 10},
        {DialogItemKind::CheckBox, IDC_MAZE_LAYER_FIRST + 3, "Text Layer", 25, 69, 85, 10},
        {DialogItemKind::CheckBox, IDC_PRINT_SOLUTION, "Maze Solution", 120, 20, 95, 10},
        {DialogItemKind::CheckBox, IDC_SOLUTION_LAYER_FIRST + 0, "Back Ground Layer", 130, 33, 85, 10},
        {DialogItemKind::CheckBox, IDC_SOLUTION_LAYER_FIRST + 1, "Maze Layer", 130, 45, 85, 10},
        {DialogItemKind::CheckBox, IDC_SOLUTION_LAYER_FIRST + 2, "Fore Ground Layer", 130, 57, 85, 10},
        {DialogItemKind::CheckBox, IDC_SOLUTION_LAYER_FIRST + 3, "Text Layer", 130, 69, 85, 10},
        {DialogItemKind::CheckBox, IDC_PRINT_COMPATIBLE, "Print Most Compatible ", 15, 82, 100, 10, 0, true},
        {DialogItemKind::Static, IDC_STATIC, "Number of Mazes to Print: ", 7, 107, 95, 10},
        {DialogItemKind::Edit, IDC_NUMBER_OF_MAZES, "", 102, 105, 35, 13, ES_AUTOHSCROLL},
        {DialogItemKind::PushButton, IDC_SELECT_PRINTER, "Select Printer", 7, 130, 62, 14},
        {DialogItemKind::DefPushButton, IDOK, "PRINT", 107, 130, 55, 14},
        {DialogItemKind::PushButton, IDCANCEL, "Cancel", 168, 130, 55, 14},
    }};
} // namespace

BEGIN_MESSAGE_MAP(CMazePrintDialog, CDialog)
    ON_BN_CLICKED(IDC_SELECT_PRINTER, &CMazePrintDialog::OnSelectPrinter)
    ON_BN_CLICKED(IDC_PRINT_MAZE, &CMazePrintDialog::OnMaze)
    ON_BN_CLICKED(IDC_PRINT_SOLUTION, &CMazePrintDialog::OnMazeSolution)
END_MESSAGE_MAP()

CMazePrintDialog::CMazePrintDialog() : CDialog(IDD_MAZE_PRINT)
{
    AfxRegisterDialogTemplate(IDD_MAZE_PRINT, &kPrintDialogTemplate);
}

void CMazePrintDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_PRINT_MAZE, m_bPrintMaze);
    DDX_Check(pDX, IDC_PRINT_SOLUTION, m_bPrintSolution);
    DDX_Check(pDX, IDC_PRINT_COMPATIBLE, m_bPrintCompatible);
    for (int i = 0; i < 4; ++i) {
        DDX_Control(pDX, int(IDC_MAZE_LAYER_FIRST) + i, m_mazeLayerButtons[i]);
        DDX_Check(pDX, int(IDC_MAZE_LAYER_FIRST) + i, m_mazePageLayers[i]);
    }
    for (int i = 0; i < 4; ++i) {
        DDX_Control(pDX, int(IDC_SOLUTION_LAYER_FIRST) + i, m_solutionLayerButtons[i]);
        DDX_Check(pDX, int(IDC_SOLUTION_LAYER_FIRST) + i, m_solutionPageLayers[i]);
    }
    DDX_Control(pDX, IDC_NUMBER_OF_MAZES, m_numberEdit);
    DDX_Text(pDX, IDC_NUMBER_OF_MAZES, m_nNumberOfMazes);
    DDV_MinMaxInt(pDX, m_nNumberOfMazes, 1, 999);
}

void CMazePrintDialog::OnSelectPrinter()
{
    m_bSelectPrinter = 1;
    OnOK();
}

void CMazePrintDialog::EnableLayerBoxes(CButton (&boxes)[4], int bChecked)
{
    for (CButton& box : boxes)
        box.ModifyStyle(bChecked ? WS_DISABLED : 0, bChecked ? 0 : WS_DISABLED);
    Invalidate();
}

void CMazePrintDialog::OnMaze()
{
    UpdateData(TRUE);
    EnableLayerBoxes(m_mazeLayerButtons, m_bPrintMaze);
}

void CMazePrintDialog::OnMazeSolution()
{
    UpdateData(TRUE);
    EnableLayerBoxes(m_solutionLayerButtons, m_bPrintSolution);
}

#pragma once
// The print options dialog: which page kinds to print (maze pages, solution pages), which layers each
// kind shows, and how many mazes the job prints. The view owns one for its whole life.
#include "platform/ui/CDataExchange.h"
#include "platform/ui/CDialog.h"

constexpr UINT IDD_MAZE_PRINT = 174;
constexpr UINT IDC_PRINT_MAZE = 1064;
constexpr UINT IDC_PRINT_SOLUTION = 1065;
constexpr UINT IDC_SELECT_PRINTER = 1066;
constexpr UINT IDC_PRINT_COMPATIBLE = 1067;
constexpr UINT IDC_MAZE_LAYER_FIRST = 1068;      // background, maze, foreground, text: 1068-1071
constexpr UINT IDC_SOLUTION_LAYER_FIRST = 1072;  // the same four: 1072-1075
constexpr UINT IDC_NUMBER_OF_MAZES = 1082;

class CMazePrintDialog : public CDialog {
public:
    CMazePrintDialog();

    int m_bPrintMaze = 1;
    int m_bPrintSolution = 1;
    int m_bSelectPrinter = 0;
    int m_bPrintCompatible = 1;
    int m_mazePageLayers[4] = {1, 1, 1, 1};
    int m_solutionPageLayers[4] = {0, 1, 0, 0};
    int m_nNumberOfMazes = 0;

    CButton m_mazeLayerButtons[4];
    CButton m_solutionLayerButtons[4];
    CEdit m_numberEdit;

    void OnSelectPrinter();
    void OnMaze();
    void OnMazeSolution();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()

private:
    // Enables the four layer boxes of a page kind when the kind is checked.
    void EnableLayerBoxes(CButton (&boxes)[4], int bChecked);
};

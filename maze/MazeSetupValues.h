#pragma once
// The values the Maze Setup sheet's five pages carry between the document and their controls. The
// document fills them before the sheet is shown and takes them back after OK; the pages (a window
// layer) exchange them with their controls. Field names follow the pages' own members.
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <functional>

class CVantrelDoc;

struct CMazeSetupValues {
    // Style page (PP1).
    struct Style {
        int m_nType = 0;
        BOOL m_bTiled = FALSE;
        CString m_strStyle;
        CString m_strTilerID;
    } style;

    // Dimensions page (PP2).
    struct Dimensions {
        int m_nCellsLong = 0;  // rows
        int m_nCellsWide = 0;  // columns
        int m_nScale = 0;
        int m_nInnerCells = 0;
        float m_fInnerPct = 0.0f;
        BOOL m_bFitToPage = FALSE;
    } dims;

    // Page page (PP3), in inches.
    struct Page {
        float m_fHeight = 0.0f;
        float m_fWidth = 0.0f;
        float m_fLeft = 0.0f;
        float m_fTop = 0.0f;
        BOOL m_bPrinterDebug = FALSE;
        BOOL m_bAutoCenter = FALSE;
    } page;

    // Advanced page (PP4).
    struct Advanced {
        UINT m_nSeed = 0;  // the document's -1 (do not reseed) is 4294967295 here
        BOOL m_bErasedVisible = FALSE;
        int m_nPenWidth = 0;
        BOOL m_bInfoWindow = TRUE;
        BOOL m_bAnimate = FALSE;
    } advanced;

    // GROWTH page (PP5).
    struct Growth {
        int m_nE = 1;
        int m_nN = 1;
        int m_nNW = 1;
        int m_nNE = 1;
        BOOL m_bRelative = FALSE;
        int m_nS = 1;
        int m_nSE = 1;
        int m_nCenter = 1;
        int m_nSW = 1;
        int m_nW = 1;
    } growth;
};

// The sheet's page objects, made by the window layer the first time the document needs them and owned
// by the document from then on, so that what the pages keep between showings lives as long as it.
class CMazeSetupPageSet {
public:
    virtual ~CMazeSetupPageSet() = default;
};

// Shows the Maze Setup sheet ("Quillmont Settings") on page nPage (0 Style .. 4 GROWTH) over the
// values, modally, and returns IDOK or IDCANCEL. The window layer installs it; without one the sheet
// is taken as confirmed unchanged, as its default button would.
using MazeSetupSheetHandler = std::function<int(CVantrelDoc& doc, CMazeSetupValues& values, int nPage)>;
MazeSetupSheetHandler SetMazeSetupSheetHandler(MazeSetupSheetHandler handler);
int RunMazeSetupSheet(CVantrelDoc& doc, CMazeSetupValues& values, int nPage);

// What the document needs of the application object and its information pane. The application
// installs it; without one the pane is off and the calls do nothing.
struct CVantrelDocShell {
    std::function<BOOL()> isInfoPaneVisible;
    std::function<void(BOOL)> setInfoPaneVisible;
    // CAdWindow::HideAdPane, at every grid rebuild.
    std::function<void()> hideInfoPane;
    // Starts the pane's timer nIDEvent with the given period.
    std::function<void(UINT nIDEvent, UINT nElapse)> setInfoPaneTimer;
    std::function<CString()> installPath;
};
CVantrelDocShell SetVantrelDocShell(CVantrelDocShell shell);
const CVantrelDocShell& GetVantrelDocShell();

#pragma once
// The Maze Setup sheet ("Quillmont Settings") of a document: its five page objects, which the document
// owns once made, and the handler that shows the sheet over the document's setup values.
#include "maze/MazeSetupValues.h"
#include "maze/setup/PP1.h"
#include "maze/setup/PP2.h"
#include "maze/setup/PP3.h"
#include "maze/setup/PP4.h"
#include "maze/setup/PP5.h"

class CVantrelDoc;

class CMazeSetupPages : public CMazeSetupPageSet {
public:
    CMazeSetupPages();

    // The values the document carries into the pages, and back after OK.
    void CopyIn(const CMazeSetupValues& values);
    void CopyOut(CMazeSetupValues& values) const;

    PP1 m_style;
    PP2 m_dimensions;
    PP3 m_page;
    PP4 m_advanced;
    PP5 m_growth;
};

// The document's page objects, made on first use; the Style page's tile-set folder follows the
// document's install path.
CMazeSetupPages& MazeSetupPagesOf(CVantrelDoc& doc);
// The document's Style page, which loads the document's tile set for the view.
PP1& MazeStylePageOf(CVantrelDoc& doc);

// Shows the sheet over values on page nPage (0 Style .. 4 GROWTH); IDOK takes the pages' values back.
int ShowMazeSetupSheet(CVantrelDoc& doc, CMazeSetupValues& values, int nPage);
// Makes the sheet the document's Maze Setup sheet (SetMazeSetupSheetHandler).
void InstallMazeSetupSheet();

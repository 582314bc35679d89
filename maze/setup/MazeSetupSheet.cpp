#include "maze/setup/MazeSetupSheet.h"

#include "maze/CVantrelDoc.h"
#include "platform/ui/CPropertySheet.h"

CMazeSetupPages::CMazeSetupPages() { m_dimensions.m_pStylePage = &m_style; }

void CMazeSetupPages::CopyIn(const CMazeSetupValues& v)
{
    m_style.m_nType = v.style.m_nType;
    m_style.m_bTiled = v.style.m_bTiled;
    m_style.m_strStyle = v.style.m_strStyle;
    m_style.m_strTilerID = v.style.m_strTilerID;

    m_dimensions.m_nCellsLong = v.dims.m_nCellsLong;
    m_dimensions.m_nCellsWide = v.dims.m_nCellsWide;
    m_dimensions.m_nScale = v.dims.m_nScale;
    m_dimensions.m_nInnerCells = v.dims.m_nInnerCells;
    m_dimensions.m_fInnerPct = v.dims.m_fInnerPct;
    m_dimensions.m_bFitToPage = v.dims.m_bFitToPage;

    m_page.m_fHeight = v.page.m_fHeight;
    m_page.m_fWidth = v.page.m_fWidth;
    m_page.m_fLeft = v.page.m_fLeft;
    m_page.m_fTop = v.page.m_fTop;
    m_page.m_bPrinterDebug = v.page.m_bPrinterDebug;
    m_page.m_bAutoCenter = v.page.m_bAutoCenter;

    m_advanced.m_nSeed = v.advanced.m_nSeed;
    m_advanced.m_bErasedVisible = v.advanced.m_bErasedVisible;
    m_advanced.m_nPenWidth = v.advanced.m_nPenWidth;
    m_advanced.m_bInfoWindow = v.advanced.m_bInfoWindow;
    m_advanced.m_bAnimate = v.advanced.m_bAnimate;

    m_growth.m_nE = v.growth.m_nE;
    m_growth.m_nN = v.growth.m_nN;
    m_growth.m_nNW = v.growth.m_nNW;
    m_growth.m_nNE = v.growth.m_nNE;
    m_growth.m_bRelative = v.growth.m_bRelative;
    m_growth.m_nS = v.growth.m_nS;
    m_growth.m_nSE = v.growth.m_nSE;
    m_growth.m_nCenter = v.growth.m_nCenter;
    m_growth.m_nSW = v.growth.m_nSW;
    m_growth.m_nW = v.growth.m_nW;
}

void CMazeSetupPages::CopyOut(CMazeSetupValues& v) const
{
    v.style.m_nType = m_style.m_nType;
    v.style.m_bTiled = m_style.m_bTiled;
    v.style.m_strStyle = m_style.m_strStyle;
    v.style.m_strTilerID = m_style.m_strTilerID;

    v.dims.m_nCellsLong = m_dimensions.m_nCellsLong;
    v.dims.m_nCellsWide = m_dimensions.m_nCellsWide;
    v.dims.m_nScale = m_dimensions.m_nScale;
    v.dims.m_nInnerCells = m_dimensions.m_nInnerCells;
    v.dims.m_fInnerPct = m_dimensions.m_fInnerPct;
    v.dims.m_bFitToPage = m_dimensions.m_bFitToPage;

    v.page.m_fHeight = m_page.m_fHeight;
    v.page.m_fWidth = m_page.m_fWidth;
    v.page.m_fLeft = m_page.m_fLeft;
    v.page.m_fTop = m_page.m_fTop;
    v.page.m_bPrinterDebug = m_page.m_bPrinterDebug;
    v.page.m_bAutoCenter = m_page.m_bAutoCenter;

    v.advanced.m_nSeed = m_advanced.m_nSeed;
    v.advanced.m_bErasedVisible = m_advanced.m_bErasedVisible;
    v.advanced.m_nPenWidth = m_advanced.m_nPenWidth;
    v.advanced.m_bInfoWindow = m_advanced.m_bInfoWindow;
    v.advanced.m_bAnimate = m_advanced.m_bAnimate;

    v.growth.m_nE = m_growth.m_nE;
    v.growth.m_nN = m_growth.m_nN;
    v.growth.m_nNW = m_growth.m_nNW;
    v.growth.m_nNE = m_growth.m_nNE;
    v.growth.m_bRelative = m_growth.m_bRelative;
    v.growth.m_nS = m_growth.m_nS;
    v.growth.m_nSE = m_growth.m_nSE;
    v.growth.m_nCenter = m_growth.m_nCenter;
    v.growth.m_nSW = m_growth.m_nSW;
    v.growth.m_nW = m_growth.m_nW;
}

CMazeSetupPages& MazeSetupPagesOf(CVantrelDoc& doc)
{
    if (!doc.m_pSetupPages)
        doc.m_pSetupPages = std::make_unique<CMazeSetupPages>();
    auto& pages = static_cast<CMazeSetupPages&>(*doc.m_pSetupPages);
    pages.m_style.m_strTilerDir = doc.m_strInstallPath.IsEmpty() ? CString() : doc.m_strInstallPath + "Tiler/";
    return pages;
}

PP1& MazeStylePageOf(CVantrelDoc& doc) { return MazeSetupPagesOf(doc).m_style; }

int ShowMazeSetupSheet(CVantrelDoc& doc, CMazeSetupValues& values, int nPage)
{
    CMazeSetupPages& pages = MazeSetupPagesOf(doc);
    pages.CopyIn(values);
    CPropertySheet sheet("Quillmont Settings");
    for (CPropertyPage* pPage : std::initializer_list<CPropertyPage*>{&pages.m_style, &pages.m_dimensions, &pages.m_page,
                                                                      &pages.m_advanced, &pages.m_growth})
        sheet.AddPage(pPage);
    if (nPage != 0)
        sheet.SetActivePage(nPage);
    if (sheet.DoModal() != IDOK)
        return IDCANCEL;
    pages.CopyOut(values);
    return IDOK;
}

void InstallMazeSetupSheet() { SetMazeSetupSheetHandler(&ShowMazeSetupSheet); }

// Printing: the print options, maze and solution pages for one or more mazes, the page rendered at
// printer resolution and copied to the printer, and the printer capability report.
#include "view/CVantrelView.h"

#include <cstring>

#include "maze/CVantrelDoc.h"
#include "platform/core/Profile.h"
#include "platform/ui/Clipboard.h"
#include "resources/resource.h"

namespace {
const char* const kSettings = "Settings";
const char* const kMazeLayerEntries[4] = {"PrintMaze_BG", "PrintMaze_MZ", "PrintMaze_FG", "PrintMaze_TL"};
const char* const kSolutionLayerEntries[4] = {"PrintSolution_BG", "PrintSolution_MZ", "PrintSolution_FG",
                                              "PrintSolution_TL"};

int ReadSetting(const char* lpszEntry, int nDefault)
{
    return int(AfxGetProfile().GetProfileInt(kSettings, lpszEntry, nDefault));
}

void WriteSetting(const char* lpszEntry, int nValue) { AfxGetProfile().WriteProfileInt(kSettings, lpszEntry, nValue); }

// The dialog's options go back to the profile, the number of mazes with them.
void WritePrintSettings(const CMazePrintDialog& dlg)
{
    WriteSetting("PrintCompatible", dlg.m_bPrintCompatible);
    WriteSetting("PrintMaze", dlg.m_bPrintMaze);
    for (int i = 0; i < 4; ++i)
        WriteSetting(kMazeLayerEntries[i], dlg.m_mazePageLayers[i]);
    WriteSetting("PrintSolution", dlg.m_bPrintSolution);
    for (int i = 0; i < 4; ++i)
        WriteSetting(kSolutionLayerEntries[i], dlg.m_solutionPageLayers[i]);
    WriteSetting("NumberOfMazes", dlg.m_nNumberOfMazes);
}

struct CapsEntry {
    const char* name;
    int value;
};

// One group of the report: its heading, then each entry's name (or "NO_" and the name) and a blank.
// An entry with value 0 stands for "none": present when the whole value is 0.
void AppendGroup(CString& text, const char* heading, int value, std::initializer_list<CapsEntry> entries,
                 bool bEquals)
{
    text += heading;
    for (const CapsEntry& e : entries) {
        const bool present = bEquals ? value == e.value : (e.value == 0 ? value == 0 : (value & e.value) != 0);
        if (!present)
            text += "NO_";
        text += e.name;
        text += ' ';
    }
}
} // namespace

// "NumberOfMazes" is written, never read.
void CVantrelView::LoadPrintSettings()
{
    CMazePrintDialog& dlg = m_printDialog;
    dlg.m_bPrintCompatible = ReadSetting("PrintCompatible", 0);
    dlg.m_bPrintMaze = ReadSetting("PrintMaze", 1);
    for (int i = 0; i < 4; ++i)
        dlg.m_mazePageLayers[i] = ReadSetting(kMazeLayerEntries[i], 1);
    dlg.m_bPrintSolution = ReadSetting("PrintSolution", 1);
    for (int i = 0; i < 4; ++i)
        dlg.m_solutionPageLayers[i] = ReadSetting(kSolutionLayerEntries[i], 1);
}

// ---- Printing commands ---------------------------------------------------------------------------

void CVantrelView::OnFilePrint() { DoFilePrint(FALSE); }
void CVantrelView::OnFilePrintPreview() { DoFilePrintPreview(); }

BOOL CVantrelView::OnPreparePrinting(CPrintInfo* pInfo)
{
    LoadPrintSettings();
    CMazePrintDialog& dlg = m_printDialog;
    dlg.m_nNumberOfMazes = 1;
    if (pInfo->m_bPreview) {
        // A preview with neither page kind has nothing to show.
        if (!dlg.m_bPrintMaze && !dlg.m_bPrintSolution)
            return FALSE;
        pInfo->m_bDirect = FALSE;
        pInfo->m_nNumPreviewPages = 2;
        pInfo->m_nCurPage = 1;
        pInfo->SetMinPage(1);
        pInfo->SetMaxPage(2);
        return DoPreparePrinting(pInfo);
    }
    if (dlg.DoModal() != IDOK) {
        pInfo->m_bDirect = TRUE;
        pInfo->m_bContinuePrinting = FALSE;
        return FALSE;
    }
    pInfo->SetMinPage(1);
    pInfo->SetMaxPage(UINT(dlg.m_nNumberOfMazes * ((dlg.m_bPrintMaze ? 1 : 0) + (dlg.m_bPrintSolution ? 1 : 0))));
    if (dlg.m_bSelectPrinter) {
        pInfo->m_pPD->m_pd.Flags |= PD_NOPAGENUMS;
        pInfo->m_bDirect = FALSE;
    } else {
        pInfo->m_bDirect = TRUE;
    }
    WritePrintSettings(dlg);
    if (!dlg.m_bPrintMaze && !dlg.m_bPrintSolution)
        return FALSE;
    return DoPreparePrinting(pInfo);
}

void CVantrelView::OnBeginPrinting(CDC*, CPrintInfo*) { SetActiveLayer(0); }

void CVantrelView::OnEndPrinting(CDC*, CPrintInfo*)
{
    SetActiveLayer(-1);
    // Page renderings redraw straight onto their bitmaps and clear the document's redraw mark, while a
    // re-rendered maze gave the window a new, undrawn back buffer: the next paint must draw it again.
    GetDocument()->m_bDirty = 1;
    Invalidate(TRUE);
}

void CVantrelView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    CVantrelDoc* pDoc = GetDocument();
    const int kept[5] = {m_bShowSolution, m_bShowBackground, m_bShowMaze, m_bShowForeground, m_bShowText};
    m_bScreen = 0;
    ComputeExtents(1);
    OnPrepareDC(pDC, pInfo);

    const int offX = pDC->GetDeviceCaps(PHYSICALOFFSETX);
    const int offY = pDC->GetDeviceCaps(PHYSICALOFFSETY);
    const int dpiX = pDC->GetDeviceCaps(LOGPIXELSX);
    const int dpiY = pDC->GetDeviceCaps(LOGPIXELSY);

    // Page kind: with both kinds, odd pages are mazes (each after the first grown anew) and even pages
    // the solution of the maze before; with mazes only every page is a new maze.
    const CMazePrintDialog& dlg = m_printDialog;
    const UINT p = pInfo->m_nCurPage;
    bool bSolutionPage = false;
    bool bReRender = false;
    if (dlg.m_bPrintMaze && dlg.m_bPrintSolution) {
        bSolutionPage = p % 2 == 0;
        bReRender = !bSolutionPage && p > 1;
    } else if (dlg.m_bPrintMaze) {
        bReRender = true;
    } else {
        bSolutionPage = true;
    }
    // A maze without start points was carved by hand: re-rendering would only wipe it.
    if (bReRender && !pDoc->m_startPoints.IsEmpty())
        pDoc->ReRender();

    m_printMargin.x = std::max(pDoc->m_nOffsetX, int(offX * 1000.0 / dpiX));
    m_printMargin.y = std::max(pDoc->m_nOffsetY, int(offY * 1000.0 / dpiY));

    const int* layers = bSolutionPage ? dlg.m_solutionPageLayers : dlg.m_mazePageLayers;
    m_bShowSolution = bSolutionPage ? 1 : 0;
    m_bShowBackground = layers[0];
    m_bShowMaze = layers[1];
    m_bShowForeground = layers[2];
    m_bShowText = layers[3];

    if (pDoc->m_bPrinterDebug)
        ReportPrinterCaps(pDC->GetSafeHdc());

    const int W = pDoc->m_nPageWidth;
    const int H = pDoc->m_nPageHeight;
    const int pw = int(dpiX * W / 1000.0);
    const int ph = int(dpiY * H / 1000.0);
    const int dx = int(dpiX * m_printMargin.x / 1000.0 - offX);
    const int dy = int(dpiY * m_printMargin.y / 1000.0 - offY);

    CBitmap page;
    if (RenderToImage(page, W, -H, pw, ph)) {
        BITMAP bm{};
        page.GetBitmap(&bm);
        CDC memDC;
        memDC.CreateCompatibleDC(pDC);
        CBitmap* pOld = memDC.SelectObject(&page);
        // Both in device pixels with origins at 0, so the copy starts at the bitmap's top-left pixel
        // whatever the window's scroll position.
        pDC->SetMapMode(MM_TEXT);
        memDC.SetMapMode(MM_TEXT);
        memDC.SetWindowOrg(0, 0);
        memDC.SetViewportOrg(0, 0);
        if (bm.bmHeight == ph)
            pDC->BitBlt(dx, dy, pw, ph, &memDC, 0, 0, SRCCOPY);
        else
            pDC->StretchBlt(dx, dy, pw, ph, &memDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        memDC.SelectObject(pOld);
    }
    page.DeleteObject();

    m_bScreen = 1;
    m_printMargin = CPoint(0, 0);
    m_bShowSolution = kept[0];
    m_bShowBackground = kept[1];
    m_bShowMaze = kept[2];
    m_bShowForeground = kept[3];
    m_bShowText = kept[4];
}

BOOL CVantrelView::RenderToImage(CBitmap& image, int W, int minusH, int pw, int ph)
{
    HDC hScreen = ::GetDC(nullptr);
    CDC screenDC;
    screenDC.Attach(hScreen);
    CDC memDC;
    memDC.CreateCompatibleDC(&screenDC);

    // Too large a bitmap is tried again at half the size, down to a single pixel.
    int w = pw, h = ph;
    BOOL bCreated = image.CreateCompatibleBitmap(&screenDC, w, h);
    while (!bCreated && (w > 1 || h > 1)) {
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
        bCreated = image.CreateCompatibleBitmap(&screenDC, w, h);
    }
    if (bCreated) {
        CBitmap* pOld = memDC.SelectObject(&image);
        memDC.SetMapMode(MM_TEXT);
        memDC.PatBlt(0, 0, w, h, WHITENESS);
        OnPrepareDC(&memDC, nullptr);
        memDC.SetMapMode(MM_ANISOTROPIC);
        memDC.SetWindowExt(W, -(150 - minusH - m_nFooterHeight));
        memDC.SetViewportExt(w, h);
        memDC.SetWindowOrg(0, 0);
        memDC.SetViewportOrg(0, 0);
        m_bScreen = 0;
        OnDraw(&memDC);
        memDC.SelectObject(pOld);
    }
    memDC.DeleteDC();
    screenDC.Detach();
    ::ReleaseDC(nullptr, hScreen);
    return bCreated;
}

// ---- Printer capability report ---------------------------------------------------------------------

CString CVantrelView::FormatPrinterCaps(const std::function<int(int)>& caps)
{
    CString text;
    text.Format("******************Start of Quillmont Printer Debug Information**************\r\n\r\n"
                "Driver Version: %d\r\n",
                caps(DRIVERVERSION));
    text.AppendFormat("Physical(s): W=%d H=%d OffsetX=%d OffsetY=%d\r\n", caps(PHYSICALWIDTH), caps(PHYSICALHEIGHT),
                      caps(PHYSICALOFFSETX), caps(PHYSICALOFFSETY));
    text.AppendFormat("Resolution: Horz=%d Vert=%d\r\n", caps(HORZRES), caps(VERTRES));
    text.AppendFormat("Colors: BITSPIXEL=%d PLANES=%d NumColors=%d SizePalette=%d\r\n", caps(BITSPIXEL), caps(PLANES),
                      caps(NUMCOLORS), caps(SIZEPALETTE));
    text.AppendFormat("Size: Horz=%d Vert=%d\r\n", caps(HORZSIZE), caps(VERTSIZE));
    text.AppendFormat("LogPixel: X=%d Y=%d\r\n", caps(LOGPIXELSX), caps(LOGPIXELSY));

    AppendGroup(text, "\r\n\r\nTECHNOLOGY: ", caps(TECHNOLOGY),
                {{"DT_PLOTTER", DT_PLOTTER}, {"DT_RASDISPLAY", DT_RASDISPLAY}, {"DT_RASPRINTER", DT_RASPRINTER},
                 {"DT_RASCAMERA", DT_RASCAMERA}, {"DT_CHARSTREAM", DT_CHARSTREAM}, {"DT_DISPFILE", DT_DISPFILE}},
                true);
    AppendGroup(text, "\r\n\r\nRASTERCAPS: ", caps(RASTERCAPS),
                {{"RC_BANDING", RC_BANDING}, {"RC_BITBLT", RC_BITBLT}, {"RC_BITMAP64", RC_BITMAP64},
                 {"RC_DI_BITMAP", RC_DI_BITMAP}, {"RC_DIBTODEV", RC_DIBTODEV}, {"RC_GDI20_OUTPUT", RC_GDI20_OUTPUT},
                 {"RC_PALETTE", RC_PALETTE}, {"RC_SCALING", RC_SCALING}, {"RC_STRETCHBLT", RC_STRETCHBLT},
                 {"RC_STRETCHDIB", RC_STRETCHDIB}},
                false);
    AppendGroup(text, "\r\n\r\nCURVECAPS: ", caps(CURVECAPS),
                {{"CC_NONE", CC_NONE}, {"CC_CHORD", CC_CHORD}, {"CC_CIRCLES", CC_CIRCLES}, {"CC_ELLIPSES", CC_ELLIPSES},
                 {"CC_INTERIORS", CC_INTERIORS}, {"CC_PIE", CC_PIE}, {"CC_ROUNDRECT", CC_ROUNDRECT},
                 {"CC_STYLED", CC_STYLED}, {"CC_WIDE", CC_WIDE}, {"CC_WIDESTYLED", CC_WIDESTYLED}},
                false);
    AppendGroup(text, "\r\n\r\nLINECAPS: ", caps(LINECAPS),
                {{"LC_NONE", LC_NONE}, {"LC_INTERIORS", LC_INTERIORS}, {"LC_MARKER", LC_MARKER},
                 {"LC_POLYLINE", LC_POLYLINE}, {"LC_POLYMARKER", LC_POLYMARKER}, {"LC_STYLED", LC_STYLED},
                 {"LC_WIDE", LC_WIDE}, {"LC_WIDESTYLED", LC_WIDESTYLED}},
                false);
    AppendGroup(text, "\r\n\r\nPOLYGONALCAPS: ", caps(POLYGONALCAPS),
                {{"PC_NONE", PC_NONE}, {"PC_INTERIORS", PC_INTERIORS}, {"PC_POLYGON", PC_POLYGON},
                 {"PC_RECTANGLE", PC_RECTANGLE}, {"PC_SCANLINE", PC_SCANLINE}, {"PC_STYLED", PC_STYLED},
                 {"PC_WIDE", PC_WIDE}, {"PC_WIDESTYLED", PC_WIDESTYLED}, {"PC_WINDPOLYGON", PC_WINDPOLYGON}},
                false);
    AppendGroup(text, "\r\n\r\nTEXTCAPS: ", caps(TEXTCAPS),
                {{"TC_OP_CHARACTER", TC_OP_CHARACTER}, {"TC_OP_STROKE", TC_OP_STROKE}, {"TC_CP_STROKE", TC_CP_STROKE},
                 {"TC_CR_90", TC_CR_90}, {"TC_CR_ANY", TC_CR_ANY}, {"TC_SF_X_YINDEP", TC_SF_X_YINDEP},
                 {"TC_SA_DOUBLE", TC_SA_DOUBLE}, {"TC_SA_INTEGER", TC_SA_INTEGER}, {"TC_SA_CONTIN", TC_SA_CONTIN},
                 {"TC_EA_DOUBLE", TC_EA_DOUBLE}, {"TC_IA_ABLE", TC_IA_ABLE}, {"TC_UA_ABLE", TC_UA_ABLE},
                 {"TC_SO_ABLE", TC_SO_ABLE}, {"TC_RA_ABLE", TC_RA_ABLE}, {"TC_VA_ABLE", TC_VA_ABLE},
                 {"TC_RESERVED", TC_RESERVED}, {"TC_SCROLLBLT", TC_SCROLLBLT}},
                false);
    text += "\r\n\r\n******************End of Quillmont Printer Debug Information**************\r\n";
    return text;
}

void CVantrelView::ReportPrinterCaps(HDC hDC)
{
    const CString text = FormatPrinterCaps([hDC](int nIndex) { return ::GetDeviceCaps(hDC, nIndex); });
    if (!OpenClipboard(this))
        return;
    EmptyClipboard();
    const std::size_t nBytes = std::size_t(text.GetLength()) + 1;
    if (HGLOBAL hText = GlobalAlloc(GMEM_DDESHARE, nBytes)) {
        std::memcpy(GlobalLock(hText), text.GetString(), nBytes);
        GlobalUnlock(hText);
        if (!SetClipboardData(CF_TEXT, hText))
            GlobalFree(hText);
    }
    CloseClipboard();
}

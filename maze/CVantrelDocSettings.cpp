// The document's settings: read from the profile at creation, carried to and from the Maze Setup
// sheet, applied, and written back.
#include "maze/CVantrelDoc.h"

#include "maze/TemplateRules.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/Random.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

MazeSetupSheetHandler& SheetHandler()
{
    static MazeSetupSheetHandler handler;
    return handler;
}

CVantrelDocShell& Shell()
{
    static CVantrelDocShell shell;
    return shell;
}

const char* const kProbKeys[10] = {"CENTER", "N", "NE", "E", "SE", "S", "SW", "W", "NW", "RELATIVE"};
const int kProbDefaults[10] = {0, 1, 1, 1, 1, 1, 1, 1, 1, 0};

int ProfileInt(const char* section, const char* entry, int nDefault)
{
    return int(AfxGetProfile().GetProfileInt(section, entry, nDefault));
}

// Writing the profile is slow (each write of its file waits for the disk), and every reset and load
// writes every setting: a value that is stored already is left as it is.
void WriteInt(const char* section, const char* entry, int value)
{
    CProfile& profile = AfxGetProfile();
    int other = value == 0 ? 1 : 0;
    if (int(profile.GetProfileInt(section, entry, other)) != value)
        profile.WriteProfileInt(section, entry, value);
}

void WriteString(const char* section, const char* entry, const CString& value)
{
    CProfile& profile = AfxGetProfile();
    // A default that differs from the value tells a missing entry from a stored equal one.
    CString other = value + "?";
    if (profile.GetProfileString(section, entry, other) != value)
        profile.WriteProfileString(section, entry, value);
}

// Inches shown on the Page page for a length in thousandths (the stored lengths are one less than the
// size for the page, not for the margins).
float ToInches(int thousandths)
{
    return float(double(thousandths) / 1000.0);
}

// The length a page value stands for: the value the document had when the page shows it unchanged
// (a float cannot hold most thousandths exactly, and truncating would lose one each time), else the
// truncated thousandths of the entry.
int FromInches(float inches, float shown, int current, int bias)
{
    if (inches == shown)
        return current;
    double v = std::trunc(double(inches) * 1000.0 - bias);
    return v >= double(INT_MIN) && v <= double(INT_MAX) ? int(v) : current;
}

// The fraction of the outer radius that an inner-radius percent stands for: the decimal the user typed
// (the shortest one that gives the page's single-precision value) moved two places, so 4.3 gives the
// double nearest 0.043, not 0.0430000019 as dividing the float would.
double FractionOfPercent(float percent)
{
    char text[48];
    const auto printed = std::to_chars(text, text + 32, percent, std::chars_format::scientific);
    char* e = printed.ec == std::errc() ? std::find(text, printed.ptr, 'e') : printed.ptr;
    if (e == printed.ptr)
        return double(percent) / 100.0;  // not a finite number
    const int exponent = std::atoi(std::string(e + 1, printed.ptr).c_str()) - 2;
    const char* end = std::to_chars(e + 1, text + sizeof text, exponent).ptr;
    double fraction = double(percent) / 100.0;
    std::from_chars(text, end, fraction, std::chars_format::scientific);
    return fraction;
}

} // namespace

MazeSetupSheetHandler SetMazeSetupSheetHandler(MazeSetupSheetHandler handler)
{
    return std::exchange(SheetHandler(), std::move(handler));
}

int RunMazeSetupSheet(CVantrelDoc& doc, CMazeSetupValues& values, int nPage)
{
    if (!SheetHandler())
        return IDOK;
    return SheetHandler()(doc, values, nPage);
}

CVantrelDocShell SetVantrelDocShell(CVantrelDocShell shell)
{
    return std::exchange(Shell(), std::move(shell));
}

const CVantrelDocShell& GetVantrelDocShell()
{
    return Shell();
}

void CVantrelDoc::LoadSettings()
{
    m_nCellsX = ProfileInt("size", "cellx", 10);
    m_nCellsY = ProfileInt("size", "celly", 10);
    m_nPageWidth = ProfileInt("size", "x", 7499);
    m_nPageHeight = ProfileInt("size", "y", 9499);
    m_nScale = ProfileInt("size", "scale", 400);
    m_nPenWidth = ProfileInt("size", "penwidth", 10);
    m_nType = ProfileInt("size", "type", 0);
    m_bErasedVisible = ProfileInt("size", "ErasedVisible", 0);
    m_bFitToPage = ProfileInt("size", "Fittopage", 1);
    m_bAnimate = ProfileInt("size", "animate", 0);
    m_bTiled = ProfileInt("size", "Tiler", 0);
    m_strTilerID = AfxGetProfile().GetProfileString("size", "TilerID", "");
    m_nOffsetX = ProfileInt("size", "x_offset", 0);
    m_nOffsetY = ProfileInt("size", "y_offset", 0);
    m_nDeleteEnds = ProfileInt("size", "DeleteEnds", 0);
    m_bPrinterDebug = ProfileInt("Settings", "PrinterDebug", 0);
    m_bAutoCenter = ProfileInt("Settings", "AutoCenter", 1);
    for (int i = 0; i < 10; ++i)
        m_nProb[i] = ProfileInt("PROB", kProbKeys[i], kProbDefaults[i]);
    // Settings that leave no grid, which earlier versions stored, give way to the defaults.
    if (!HasGridBuilder(m_nType))
        m_nType = BOX_TEMPLATE_TYPE;
    if (!RefuseCellCounts(m_nType, m_bFitToPage, m_nCellsX, m_nCellsY).IsEmpty()) {
        if (m_nCellsX < 1)
            m_nCellsX = 10;
        if (m_nCellsY < 1)
            m_nCellsY = 10;
    }
    if (Shell().installPath)
        m_strInstallPath = Shell().installPath();
}

void CVantrelDoc::WriteSizeSettings()
{
    WriteInt("size", "animate", m_bAnimate);
    WriteInt("size", "penwidth", m_nPenWidth);
    WriteInt("size", "ErasedVisible", m_bErasedVisible);
    WriteInt("size", "Fittopage", m_bFitToPage);
    WriteInt("size", "cellx", m_nCellsX);
    WriteInt("size", "celly", m_nCellsY);
    WriteInt("size", "x_offset", m_nOffsetX);
    WriteInt("size", "y_offset", m_nOffsetY);
    WriteInt("size", "x", m_nPageWidth);
    WriteInt("size", "y", m_nPageHeight);
    WriteInt("size", "scale", m_nScale);
    WriteInt("size", "type", m_nType);
    WriteInt("size", "Tiler", m_bTiled);
    WriteString("size", "TilerID", m_strTilerID);
    WriteInt("size", "CircularCells", m_setup.dims.m_nInnerCells);
    WriteInt("size", "CircularPercentRad", int(m_setup.dims.m_fInnerPct));
    WriteInt("size", "DeleteEnds", m_nDeleteEnds);
}

void CVantrelDoc::FillSetupValues()
{
    CMazeSetupValues& v = m_setup;
    const Object* grid = GetGrid(0);

    v.dims.m_nCellsLong = m_nCellsY;
    v.dims.m_nCellsWide = m_nCellsX;
    if (grid && m_nType == 40) {
        v.dims.m_nInnerCells = grid->innerRingCells;
        v.dims.m_fInnerPct = float(grid->innerRadius * 100.0);
    } else {
        v.dims.m_nInnerCells = ProfileInt("size", "CircularCells", 10);
        v.dims.m_fInnerPct = float(ProfileInt("size", "CircularPercentRad", 4));
    }
    v.dims.m_bFitToPage = m_bFitToPage;
    if (m_bFitToPage)
        m_nScale = std::min(m_nCellWidth, m_nCellHeight);
    v.dims.m_nScale = m_nScale;

    v.page.m_fHeight = ToInches(m_nPageHeight + 1);
    v.page.m_fWidth = ToInches(m_nPageWidth + 1);
    v.page.m_fLeft = ToInches(m_nOffsetX);
    v.page.m_fTop = ToInches(m_nOffsetY);
    v.page.m_bAutoCenter = m_bAutoCenter;
    v.page.m_bPrinterDebug = m_bPrinterDebug;

    v.advanced.m_nSeed = UINT(m_nSeed);
    v.advanced.m_bAnimate = m_bAnimate;
    v.advanced.m_nPenWidth = m_nPenWidth;
    v.advanced.m_bErasedVisible = m_bErasedVisible;
    v.advanced.m_bInfoWindow = Shell().isInfoPaneVisible ? Shell().isInfoPaneVisible() : FALSE;

    v.style.m_nType = m_nType;
    v.style.m_bTiled = m_bTiled;
    v.style.m_strStyle = m_strStyle;
    v.style.m_strTilerID = m_strTilerID;

    v.growth.m_nCenter = m_nProb[0];
    v.growth.m_nN = m_nProb[1];
    v.growth.m_nNE = m_nProb[2];
    v.growth.m_nE = m_nProb[3];
    v.growth.m_nSE = m_nProb[4];
    v.growth.m_nS = m_nProb[5];
    v.growth.m_nSW = m_nProb[6];
    v.growth.m_nW = m_nProb[7];
    v.growth.m_nNW = m_nProb[8];
    v.growth.m_bRelative = m_nProb[9];
}

int CVantrelDoc::ShowSettings(int nPage)
{
    FillSetupValues();
    CMazeSetupValues& v = m_setup;
    // What the pages showed, to tell an unchanged value from an entry.
    const CMazeSetupValues shown = v;
    const Object* grid = GetGrid(0);
    const bool hadGrid = grid != nullptr;
    const double gridRadius = grid ? grid->innerRadius : 0.0;
    const float gridPct = grid ? float(gridRadius * 100.0) : 0.0f;

    int answer = nPage == -1 ? IDOK : RunMazeSetupSheet(*this, v, nPage);
    // The settings an apply writes reach the profile's file together.
    CProfileBatch batch;
    if (answer == IDOK) {
        // Values that would leave no grid are refused before the grid or the profile changes.
        CString refusal = RefuseTemplateType(v.style.m_nType);
        if (refusal.IsEmpty())
            refusal = RefuseCellCounts(v.style.m_nType, v.dims.m_bFitToPage, v.dims.m_nCellsWide, v.dims.m_nCellsLong);
        if (!refusal.IsEmpty()) {
            AfxMessageBox(refusal, MB_OK | MB_ICONEXCLAMATION);
            MarkChanged();
            UpdateAllViews(nullptr);
            return IDCANCEL;
        }
        bool rebuild = v.style.m_nType != m_nType || v.style.m_bTiled != m_bTiled || !grid ||
                       v.dims.m_nCellsLong != m_nCellsY || v.dims.m_nCellsWide != m_nCellsX ||
                       (v.style.m_nType == 40 && grid &&
                        (v.dims.m_nInnerCells != grid->innerRingCells || v.dims.m_fInnerPct != gridPct));
        if (rebuild && grid &&
            AfxMessageBox("Do you really wish to make these changes?  YOU WILL LOSE WHAT YOU WERE WORKING ON!",
                          MB_OKCANCEL) == IDCANCEL) {
            MarkChanged();
            UpdateAllViews(nullptr);
            return IDCANCEL;
        }

        m_bFitToPage = v.dims.m_bFitToPage;
        m_nSeed = int(v.advanced.m_nSeed);
        m_bAnimate = v.advanced.m_bAnimate;
        m_nPenWidth = v.advanced.m_nPenWidth;
        m_bErasedVisible = v.advanced.m_bErasedVisible;
        m_nPageHeight = FromInches(v.page.m_fHeight, shown.page.m_fHeight, m_nPageHeight, 1);
        m_nPageWidth = FromInches(v.page.m_fWidth, shown.page.m_fWidth, m_nPageWidth, 1);
        m_nOffsetX = FromInches(v.page.m_fLeft, shown.page.m_fLeft, m_nOffsetX, 0);
        m_nOffsetY = FromInches(v.page.m_fTop, shown.page.m_fTop, m_nOffsetY, 0);
        m_bAutoCenter = v.page.m_bAutoCenter;
        m_bPrinterDebug = v.page.m_bPrinterDebug;
        WriteInt("Settings", "AutoCenter", m_bAutoCenter);
        WriteInt("Settings", "PrinterDebug", m_bPrinterDebug);
        m_nScale = v.dims.m_nScale;
        m_nCellsY = v.dims.m_nCellsLong;
        m_nCellsX = v.dims.m_nCellsWide;
        m_nType = v.style.m_nType;
        m_bTiled = v.style.m_bTiled;
        m_strStyle = v.style.m_strStyle;
        m_strTilerID = v.style.m_strTilerID;
        if (Shell().setInfoPaneVisible)
            Shell().setInfoPaneVisible(v.advanced.m_bInfoWindow);
        WriteInt("Ads", "VISIBLE", v.advanced.m_bInfoWindow);
        if (v.advanced.m_bInfoWindow && Shell().setInfoPaneTimer)
            Shell().setInfoPaneTimer(1, 1);

        VantrelSrand(unsigned(m_nSeed));

        m_nProb[0] = v.growth.m_nCenter;
        m_nProb[1] = v.growth.m_nN;
        m_nProb[2] = v.growth.m_nNE;
        m_nProb[3] = v.growth.m_nE;
        m_nProb[4] = v.growth.m_nSE;
        m_nProb[5] = v.growth.m_nS;
        m_nProb[6] = v.growth.m_nSW;
        m_nProb[7] = v.growth.m_nW;
        m_nProb[8] = v.growth.m_nNW;
        m_nProb[9] = v.growth.m_bRelative;
        for (int i = 0; i < 10; ++i)
            WriteInt("PROB", kProbKeys[i], m_nProb[i]);

        if (m_nCellsX != 0 || m_nCellsY != 0) {
            if (rebuild) {
                m_bLoadTiler = 1;
                CreateGrid();
            }
            WriteSizeSettings();
        } else {
            WriteSizeSettings();
            if (rebuild) {
                m_bLoadTiler = 1;
                CreateGrid();
            }
        }
        OnClearMaze();
        m_bLoadTiler = m_bTiled;
    }

    if (Object* g0 = GetGrid(0)) {
        g0->innerRingCells = v.dims.m_nInnerCells;
        // The radius changes only with the page's percent: one shown and confirmed unchanged keeps
        // its exact value, also in a grid rebuilt for another change.
        g0->innerRadius = hadGrid && v.dims.m_fInnerPct == gridPct ? gridRadius : FractionOfPercent(v.dims.m_fInnerPct);
        for (int g = 0; g < m_nGrids; ++g)
            m_pGrids[g]->BuildGrowthWeights(m_nProb);
    }
    MarkChanged();
    UpdateAllViews(nullptr);
    return answer;
}

void CVantrelDoc::OnMazeSetup()
{
    ShowSettings(0);
}

void CVantrelDoc::OnPageSetup()
{
    ShowSettings(2);
}

void CVantrelDoc::OnPrintingPenWidth()
{
    ShowSettings(3);
}

void CVantrelDoc::OnReRender()
{
    ReRender();
}

// The shell's peripherals: the splash screen at start-up (shown, centred, painted with its bitmap,
// closed by the view's first update, not closable by the user, movable by dragging), the balloon tip
// (placement, one at a time, its shape and colours, its timer and clicks), the Bitmap Setup dialog and
// the splitter's column hiding.
#include "tests/support/UiTestSupport.h"

#include "app/BitmapSetup.h"
#include "app/CBalloonTip.h"
#include "app/CMainFrame.h"
#include "app/CSplashThread.h"
#include "app/CSplitterWndEx.h"
#include "app/CVantrelApp.h"
#include "image/CRasterImage.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Resource.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CScrollView.h"
#include "resources/VantrelResources.h"
#include "resources/periph/PeriphResources.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
COLORREF WindowPixel(CWnd& wnd, int x, int y)
{
    const QRgb c = wnd.GetBackingImage()->pixel(x, y);
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

COLORREF ImageColour(const CRasterImage& image, int x, int y)
{
    const RGBQUAD c = image.GetPixelColor(x, LONG(image.GetHeight()) - 1 - y);
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

void Wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void SendMouse(QWidget* pWidget, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), pWidget->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(pWidget, &event);
}

class PeriphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        VantrelInitPeriphResources();  // as the program's entry does
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        AfxSetResourceTables(&GetVantrelResources());
        AfxInstallWindowHandlers();
        SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_asked.push_back(std::string(r.text));
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler({});
        SetDialogRunner({});
        QCoreApplication::processEvents();
        AfxSetResourceTables(nullptr);
    }

    QTemporaryDir m_config;
    std::vector<std::string> m_asked;
};
} // namespace

// ---- Splash screen ---------------------------------------------------------------------------------

TEST_F(PeriphTest, SplashShowsTheBitmapCentredUntilTheViewsFirstUpdate)
{
    // A start-up that fails before any view exists leaves the splash up: it is shown from the start.
    {
        CVantrelApp app;
        app.m_args = {CString("vantrel"), CString(m_config.path().toLocal8Bit().constData()) + "/missing.mze"};
        EXPECT_FALSE(app.InitInstance());
        ASSERT_NE(app.splashThread, nullptr);
        EXPECT_TRUE(app.splashShown);
        CSplashWnd& splash = app.splashThread->GetSplashWnd();
        ASSERT_TRUE(splash.IsWindow());
        EXPECT_TRUE(splash.GetWidget()->isVisible());
        // Bitmap 168: 400 x 400, 8 bits per pixel, run-length encoded, painted pixel for pixel.
        EXPECT_EQ(splash.width, 400);
        EXPECT_EQ(splash.height, 400);
        EXPECT_EQ(splash.GetWidget()->size(), QSize(400, 400));
        CRasterImage bitmap;
        ASSERT_TRUE(bitmap.LoadResource(FindResource(nullptr, MAKEINTRESOURCE(IDB_SPLASH), RT_BITMAP), IMAGE_FORMAT_BMP));
        EXPECT_EQ(bitmap.GetBpp(), 8);
        // Stored run-length encoded (BI_RLE8) with a 256-colour table.
        HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(IDB_SPLASH), RT_BITMAP);
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(bytes[14 + 16], 1);                        // biCompression
        EXPECT_EQ(bytes[14 + 32] | (bytes[14 + 33] << 8), 256);  // biClrUsed
        int nMismatch = 0;
        for (int y = 0; y < 400; y += 7)
            for (int x = 0; x < 400; x += 7)
                nMismatch += WindowPixel(splash, x, y) != ImageColour(bitmap, x, y);
        EXPECT_EQ(nMismatch, 0);
        // The palette is the bitmap's colour table.
        ASSERT_EQ(splash.GetPaletteEntries().size(), 256u);
        EXPECT_FALSE(splash.IsHalftonePalette());
        EXPECT_EQ(splash.GetPaletteVersion(), 0x300);
        for (int i : {0, 100, 251, 252}) {
            const RGBQUAD c = bitmap.GetPaletteColor(BYTE(i));
            EXPECT_EQ(splash.GetPaletteEntries()[i].peRed, c.rgbRed);
            EXPECT_EQ(splash.GetPaletteEntries()[i].peBlue, c.rgbBlue);
        }
        // Centred on the screen.
        const QRect screen = splash.GetWidget()->screen()->geometry();
        const QRect g = splash.GetWidget()->geometry();
        EXPECT_EQ(g.left(), screen.left() + (screen.width() - 400) / 2);
        EXPECT_EQ(g.top(), screen.top() + (screen.height() - 400) / 2);
        app.splashThread->HideSplash();
        EXPECT_FALSE(splash.IsWindow());
        app.CloseAllDocuments(TRUE);
    }
    // A normal start: the view's first update has closed it by the time the main window shows.
    CVantrelApp app;
    app.m_args = {CString("vantrel")};
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.splashThread, nullptr);
    EXPECT_FALSE(app.splashShown);
    EXPECT_FALSE(app.splashThread->splashVisible);
    EXPECT_FALSE(app.splashThread->IsRunning());
    EXPECT_FALSE(app.splashThread->GetSplashWnd().IsWindow());
    EXPECT_NE(app.mazeView, nullptr);
    app.ExitInstance();
    app.CloseAllDocuments(TRUE);
}

TEST_F(PeriphTest, HideSplashClosesOnceAndTheUserCannotClose)
{
    CSplashThread thread;
    thread.SetBitmapToUse(UINT(IDB_SPLASH));
    EXPECT_TRUE(thread.splashVisible);
    EXPECT_FALSE(thread.GetSplashWnd().IsWindow());  // suspended: nothing yet
    EXPECT_EQ(thread.ResumeThread(), 1u);
    EXPECT_EQ(thread.ResumeThread(), 0xFFFFFFFFu);
    CSplashWnd& splash = thread.GetSplashWnd();
    ASSERT_TRUE(splash.IsWindow());
    EXPECT_EQ(thread.m_pMainWnd, &splash);

    // Closing from the system (Alt+F4) does nothing while allowClose is clear.
    EXPECT_FALSE(splash.GetWidget()->close());
    EXPECT_TRUE(splash.IsWindow());
    EXPECT_TRUE(splash.GetWidget()->isVisible());

    // Dragging moves it: the grab point follows the mouse.
    QWidget* pWidget = splash.GetWidget();
    const QPoint before = pWidget->pos();
    SendMouse(pWidget, QEvent::MouseButtonPress, QPoint(50, 60), Qt::LeftButton, Qt::LeftButton);
    SendMouse(pWidget, QEvent::MouseMove, QPoint(80, 100), Qt::NoButton, Qt::LeftButton);
    SendMouse(pWidget, QEvent::MouseButtonRelease, QPoint(50, 60), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(pWidget->pos(), before + QPoint(30, 40));
    SendMouse(pWidget, QEvent::MouseMove, QPoint(90, 90), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(pWidget->pos(), before + QPoint(30, 40));  // released: no more moving

    // Right after the resume, HideSplash finds the window and closes it; a second call returns at once.
    thread.HideSplash();
    EXPECT_FALSE(thread.splashVisible);
    EXPECT_TRUE(splash.allowClose);
    EXPECT_FALSE(splash.IsWindow());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(thread.m_pMainWnd, nullptr);
    thread.HideSplash();
    EXPECT_FALSE(thread.IsRunning());
    QCoreApplication::processEvents();
}

TEST_F(PeriphTest, SplashFromFilesAndMissingBitmaps)
{
    // A 24-bit file is painted with a halftone palette.
    CRasterImage truecolour(5, 3, 24, IMAGE_FORMAT_BMP);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 5; ++x)
            truecolour.SetPixelColor(x, y, RGB(40 * x, 80 * y, 200));
    const std::string path = std::string(m_config.path().toLocal8Bit().constData()) + "/splash24.bmp";
    BYTE* pData = nullptr;
    LONG nSize = 0;
    ASSERT_TRUE(truecolour.Encode(pData, nSize, IMAGE_FORMAT_BMP));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(pData, 1, std::size_t(nSize), f);
    std::fclose(f);
    std::free(pData);
    {
        CSplashThread thread;
        thread.SetBitmapToUse(CString(path.c_str()));
        thread.ResumeThread();
        CSplashWnd& splash = thread.GetSplashWnd();
        EXPECT_EQ(splash.width, 5);
        EXPECT_EQ(splash.height, 3);
        EXPECT_TRUE(splash.IsHalftonePalette());
        EXPECT_EQ(WindowPixel(splash, 4, 0), RGB(160, 160, 200));  // top row: y = 2 from the bottom
        thread.HideSplash();
        EXPECT_FALSE(splash.IsWindow());
    }
    // A bitmap that does not load gives an empty window, which still closes.
    for (int i = 0; i < 2; ++i) {
        CSplashThread thread;
        if (i == 0)
            thread.SetBitmapToUse(CString("/nonexistent/splash.bmp"));
        else
            thread.SetBitmapToUse("NOSUCHBITMAP");
        thread.ResumeThread();
        EXPECT_EQ(thread.GetSplashWnd().width, 0);
        EXPECT_EQ(thread.GetSplashWnd().height, 0);
        EXPECT_TRUE(thread.GetSplashWnd().IsWindow());
        thread.HideSplash();
        EXPECT_FALSE(thread.GetSplashWnd().IsWindow());
    }
    // A thread that never ran has nothing to close.
    CSplashThread idle;
    idle.SetBitmapToUse(UINT(IDB_SPLASH));
    idle.HideSplash();
    EXPECT_FALSE(idle.splashVisible);
    EXPECT_FALSE(idle.GetSplashWnd().IsWindow());
    QCoreApplication::processEvents();
}

// ---- Balloon tip -------------------------------------------------------------------------------------

namespace {
LOGFONTA TipFont()
{
    LOGFONTA lf{};
    lf.lfHeight = -13;
    lf.lfWeight = 400;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Arial");
    return lf;
}

// Waits until the tip object has gone (its deletion waits for the event loop).
void Settle() { Wait(30); }
} // namespace

TEST_F(PeriphTest, BalloonTipPlacementAndOneAtATime)
{
    ASSERT_FALSE(CBalloonTip::IsShown());
    CBalloonTip* pTip = CBalloonTip::Show(400, 300, 200, 100, "Hello", TipFont(), 30, FALSE);
    ASSERT_NE(pTip, nullptr);
    EXPECT_TRUE(CBalloonTip::IsShown());
    // Below the point: left = x - 0.35 w, top = y, moved up by the sizing frame.
    CRect r;
    pTip->GetWindowRect(&r);
    EXPECT_EQ(r, CRect(400 - 70, 300 - CBalloonTip::kSizingFrameHeight, 400 - 70 + 200, 300 - 4 + 100));
    EXPECT_TRUE(pTip->GetWidget()->isVisible());
    // A second tip is refused while the first is up.
    EXPECT_EQ(CBalloonTip::Show(10, 10, 50, 50, "Two", TipFont(), 30, TRUE), nullptr);
    EXPECT_TRUE(pTip->GetWidget()->isVisible());
    pTip->Hide();
    EXPECT_FALSE(CBalloonTip::IsShown());
    Settle();

    // Above the point: left = x - 0.65 w, top = y - h, moved down by the caption and two frames;
    // products truncated (0.65 x 155 = 100.75).
    pTip = CBalloonTip::Show(400, 300, 155, 80, "Above", TipFont(), 30, TRUE);
    ASSERT_NE(pTip, nullptr);
    pTip->GetWindowRect(&r);
    const int down = CBalloonTip::kCaptionHeight + 2 * CBalloonTip::kSizingFrameHeight;
    EXPECT_EQ(r.left, 400 - 100);
    EXPECT_EQ(r.top, 300 - 80 + down);
    EXPECT_EQ(r.Width(), 154);  // 100 left of the point, 54 (0.35 x 155 = 54.25) right of it
    EXPECT_EQ(r.Height(), 80);
    pTip->Hide();
    Settle();
}

TEST_F(PeriphTest, BalloonTipShapeAndColours)
{
    for (BOOL bAbove : {FALSE, TRUE}) {
        SCOPED_TRACE(bAbove ? "above" : "below");
        const int W = 200, H = 100;
        CBalloonTip* pTip = CBalloonTip::Show(400, 300, W, H, "Tip text", TipFont(), 30, bAbove);
        ASSERT_NE(pTip, nullptr);
        Wait(30);  // shown and exposed
        pTip->Invalidate(TRUE);
        pTip->UpdateWindow();
        const QRegion mask = pTip->GetWidget()->mask();
        // The body: a rounded rectangle over the lower three quarters (below) or upper three quarters
        // (above); the pointer in the remaining quarter near 0.2 W (below) or 0.75 W (above).
        const int bodyMid = bAbove ? int(0.375 * H) : int(0.625 * H);
        const int pointerY = bAbove ? H - 12 : 12;
        const int pointerX = bAbove ? int(0.68 * W) : int(0.32 * W);
        EXPECT_TRUE(mask.contains(QPoint(W / 2, bodyMid)));
        EXPECT_TRUE(mask.contains(QPoint(pointerX, pointerY)));
        EXPECT_FALSE(mask.contains(QPoint(W - 5, pointerY)));
        // Rounded corners: the body's corner pixel is outside.
        EXPECT_FALSE(mask.contains(QPoint(0, bAbove ? 0 : H - 1)));
        // Pale yellow inside, a black frame 2 pixels wide at the sides and 1 high at the bottom/top.
        EXPECT_EQ(WindowPixel(*pTip, 5, bodyMid), CBalloonTip::kFillColour);
        EXPECT_EQ(WindowPixel(*pTip, 0, bodyMid), 0x000000u);
        EXPECT_EQ(WindowPixel(*pTip, 1, bodyMid), 0x000000u);
        EXPECT_EQ(WindowPixel(*pTip, 2, bodyMid), CBalloonTip::kFillColour);
        const int edgeY = bAbove ? int(H - 0.25 * H) - 1 : H - 1;
        EXPECT_EQ(WindowPixel(*pTip, W / 4, edgeY), 0x000000u);
        EXPECT_EQ(WindowPixel(*pTip, W / 4, edgeY - 1), CBalloonTip::kFillColour);
        // Red text (glyph edges blend into the fill) inside the text rectangle, centred; none outside.
        const CRect text = pTip->GetTextRect();
        EXPECT_EQ(text.top, bAbove ? int(0.1 * H) : int(0.3 * H));
        EXPECT_EQ(text.bottom, bAbove ? int(0.7 * H) : int(0.9 * H));
        int minX = W, maxX = -1, nRed = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (const COLORREF c = WindowPixel(*pTip, x, y); GetRValue(c) > 200 && GetGValue(c) < 200) {
                    ++nRed;
                    EXPECT_TRUE(text.PtInRect(CPoint(x, y))) << x << "," << y;
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                }
        EXPECT_GT(nRed, 20);
        EXPECT_NEAR((minX + maxX) / 2.0, W / 2.0, 3.0);
        pTip->Hide();
        Settle();
    }
}

TEST_F(PeriphTest, BalloonTipGoesAfterItsTimeOrAClick)
{
    CBalloonTip* pTip = CBalloonTip::Show(200, 200, 120, 60, "Timed", TipFont(), 1, FALSE);
    ASSERT_NE(pTip, nullptr);
    Wait(600);
    EXPECT_TRUE(CBalloonTip::IsShown());
    Wait(700);
    EXPECT_FALSE(CBalloonTip::IsShown());

    // A left click destroys it at once; then a right click on the next one.
    pTip = CBalloonTip::Show(200, 200, 120, 60, "Click", TipFont(), 30, FALSE);
    ASSERT_NE(pTip, nullptr);
    SendMouse(pTip->GetWidget(), QEvent::MouseButtonPress, QPoint(60, 40), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(CBalloonTip::IsShown());
    Settle();
    pTip = CBalloonTip::Show(200, 200, 120, 60, "Right", TipFont(), 30, TRUE);
    ASSERT_NE(pTip, nullptr);
    SendMouse(pTip->GetWidget(), QEvent::MouseButtonPress, QPoint(60, 20), Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(CBalloonTip::IsShown());
    Settle();
    // A tip can be shown again afterwards.
    pTip = CBalloonTip::Show(200, 200, 120, 60, "Again", TipFont(), 30, FALSE);
    ASSERT_NE(pTip, nullptr);
    pTip->Hide();
    Settle();
}

// ---- Bitmap Setup dialog ---------------------------------------------------------------------------

TEST_F(PeriphTest, BitmapSetupExchangesItsValuesAndRefusesMazeCountsOutOfRange)
{
    BitmapSetup dlg;
    EXPECT_EQ(dlg.m_bScreenResolution, 0);
    EXPECT_EQ(dlg.m_nX, 0);
    EXPECT_EQ(dlg.m_nY, 0);
    EXPECT_EQ(dlg.m_nMazes, 0);
    dlg.m_nX = 640;
    std::vector<std::string> stages;
    QString caption;
    SetDialogRunner([&](CDialog& d) {
        auto edit = [&](int id) { return qobject_cast<QLineEdit*>(d.GetDlgItem(id)->GetWidget()); };
        caption = d.GetQDialog()->windowTitle();
        EXPECT_EQ(edit(IDC_BITMAP_X)->text(), "640");
        EXPECT_EQ(edit(IDC_MAZES_TO_RENDER)->text(), "0");
        qobject_cast<QCheckBox*>(d.GetDlgItem(IDC_SCREEN_RESOLUTION)->GetWidget())->setChecked(true);
        edit(IDC_BITMAP_Y)->setText("480");
        for (const char* bad : {"0", "1000"}) {
            edit(IDC_MAZES_TO_RENDER)->setText(bad);
            d.ClickDlgItem(IDOK);
            stages.push_back(d.GetQDialog()->isVisible() ? "open" : "closed");
        }
        edit(IDC_MAZES_TO_RENDER)->setText("999");
        d.ClickDlgItem(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(caption, "Bitmap Setup");
    EXPECT_EQ(stages, (std::vector<std::string>{"open", "open"}));
    ASSERT_EQ(m_asked.size(), 2u);
    EXPECT_EQ(m_asked[0], "Please enter an integer between 1 and 999.");
    EXPECT_EQ(m_asked[1], "Please enter an integer between 1 and 999.");
    EXPECT_EQ(dlg.m_bScreenResolution, 1);
    EXPECT_EQ(dlg.m_nX, 640);
    EXPECT_EQ(dlg.m_nY, 480);
    EXPECT_EQ(dlg.m_nMazes, 999);
}

// ---- Column hiding -----------------------------------------------------------------------------------

namespace {
class ColumnPane : public CScrollView {
    DECLARE_DYNCREATE(ColumnPane)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(ColumnPane, CScrollView)

// The column a pane sits in, by its id (-1 when it is past the visible columns).
int ColumnOf(const CSplitterWndEx& splitter, CWnd* pPane)
{
    for (int col = 0; col < splitter.GetColumnCount(); ++col)
        if (splitter.GetPane(0, col) == pPane)
            return col;
    return -1;
}
} // namespace

TEST_F(PeriphTest, HiddenColumnLeavesTheLayoutAndComesBackInPlace)
{
    CSplitterWndEx splitter;
    ASSERT_TRUE(splitter.CreateStatic(nullptr, 2, 3));
    CCreateContext context;
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            ASSERT_TRUE(splitter.CreateView(row, col, RUNTIME_CLASS(ColumnPane), CSize(100, 50), &context));
    splitter.GetWidget()->resize(400 + 2 * CSplitterWnd::kSplitterBar, 300);
    splitter.GetWidget()->show();
    splitter.SetColumnInfo(1, 120, 10);
    splitter.SetColumnInfo(2, 80, 10);
    splitter.RecalcLayout();
    CWnd* a = splitter.GetPane(0, 0);
    CWnd* b = splitter.GetPane(0, 1);
    CWnd* c = splitter.GetPane(0, 2);
    CWnd* b1 = splitter.GetPane(1, 1);
    // The first column takes what the others leave.
    EXPECT_EQ(b->GetWidget()->x(), 200 + CSplitterWnd::kSplitterBar);
    EXPECT_EQ(b->GetWidget()->width(), 120);
    EXPECT_EQ(c->GetWidget()->width(), 80);
    EXPECT_EQ(a->GetWidget()->width(), 400 - 200);

    // Hiding the active pane's column: the next column becomes active, the column leaves the layout.
    splitter.SetActivePane(0, 1);
    splitter.HideColumn(1);
    EXPECT_EQ(splitter.hiddenColumn, 1);
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    EXPECT_EQ(splitter.GetActivePane(), c);
    EXPECT_FALSE(b->GetWidget()->isVisibleTo(splitter.GetWidget()));
    EXPECT_FALSE(b1->GetWidget()->isVisibleTo(splitter.GetWidget()));
    EXPECT_EQ(ColumnOf(splitter, b), -1);
    EXPECT_EQ(b->GetDlgCtrlID(), UINT(splitter.IdFromRowCol(0, 2)));  // past the visible columns
    EXPECT_EQ(ColumnOf(splitter, c), 1);
    EXPECT_EQ(splitter.GetPane(0, 0), a);
    EXPECT_EQ(c->GetWidget()->width(), 80);  // the right column keeps its width
    EXPECT_EQ(a->GetWidget()->width(), 400 + CSplitterWnd::kSplitterBar - 80);
    // Only one column hides at a time.
    splitter.HideColumn(0);
    EXPECT_EQ(splitter.GetColumnCount(), 2);

    // Shown again: back at its place, with its width; everything in its old column.
    splitter.ShowColumn();
    EXPECT_EQ(splitter.hiddenColumn, -1);
    EXPECT_EQ(splitter.GetColumnCount(), 3);
    EXPECT_EQ(splitter.GetPane(0, 0), a);
    EXPECT_EQ(splitter.GetPane(0, 1), b);
    EXPECT_EQ(splitter.GetPane(0, 2), c);
    EXPECT_EQ(splitter.GetPane(1, 1), b1);
    EXPECT_TRUE(b->GetWidget()->isVisibleTo(splitter.GetWidget()));
    EXPECT_EQ(b->GetWidget()->width(), 120);
    EXPECT_EQ(c->GetWidget()->width(), 80);
    splitter.ShowColumn();  // nothing hidden: no change
    EXPECT_EQ(splitter.GetColumnCount(), 3);

    // The last column's panes hand the activity round to column 0.
    splitter.SetActivePane(1, 2);
    splitter.HideColumn(2);
    EXPECT_EQ(splitter.GetActivePane(), splitter.GetPane(1, 0));
    splitter.ShowColumn();
}

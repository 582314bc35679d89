// The view's decorations: the watermark tiled in staggered rows over the page (whole and odd-sized
// pages), the footer line in its band at the foot of the page, and the backdrop of a window without
// grids, which gives way to the page once a grid exists.
#include "tests/support/UiTestSupport.h"
#include "tests/view/ViewTestSupport.h"

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "image/CRasterImage.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Resource.h"
#include "platform/core/ResourceTables.h"
#include "resources/VantrelResources.h"
#include "resources/periph/PeriphResources.h"

#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using viewtest::DetachedView;
using viewtest::MemoryPage;

namespace {
constexpr COLORREF kWhite = 0xFFFFFF;

CRasterImage LoadBitmap(UINT nID)
{
    CRasterImage image;
    HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(nID), RT_BITMAP);
    EXPECT_NE(resource, nullptr);
    if (resource) {
        EXPECT_TRUE(image.LoadResource(resource, IMAGE_FORMAT_BMP)) << image.GetLastError();
    }
    return image;
}

// An image pixel as COLORREF, (x, y) from the top row.
COLORREF ImageColour(const CRasterImage& image, int x, int y)
{
    const RGBQUAD c = image.GetPixelColor(x, LONG(image.GetHeight()) - 1 - y);
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// The watermark's tint of the quadrant (0 top left, 1 top right, 2 bottom left, 3 bottom right):
// the colour at that quadrant's centre.
COLORREF QuadrantTint(const CRasterImage& image, int q)
{
    const int w = int(image.GetWidth()), h = int(image.GetHeight());
    return ImageColour(image, (q % 2) ? 3 * w / 4 : w / 4, (q / 2) ? 3 * h / 4 : h / 4);
}

class DecorPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();  // fonts need the application
        VantrelInitPeriphResources();
        m_watermark = LoadBitmap(IDB_WATERMARK);
    }
    CVantrelDoc m_doc;
    CRasterImage m_watermark;
};

// Checks, at the centre of every quadrant of every tile that starts on the page, the watermark's tint.
// Tile column c of row r (r = 0, 1, ... from the top) starts at c * tw, less half a tile on even rows.
void ExpectStaggeredTiles(MemoryPage& page, const CRasterImage& image, int W, int H, int& nChecked)
{
    const int tw = W / 5, th = -H / 5;
    for (int row = 0; row * th < -H; ++row) {
        for (int col = 0; col * tw < tw / 2 + W; ++col) {
            const int left = col * tw - ((row % 2 == 0) ? tw / 2 : 0);
            const int top = -row * th;
            for (int q = 0; q < 4; ++q) {
                const int x = left + ((q % 2) ? 3 * tw / 4 : tw / 4);
                const int y = top - ((q / 2) ? 3 * th / 4 : th / 4);
                const CPoint d = page.ToDevice(x, y);
                if (d.x < 0 || d.y < 0 || d.x >= page.width() || d.y >= page.height())
                    continue;
                SCOPED_TRACE(testing::Message() << "row " << row << " col " << col << " quadrant " << q);
                EXPECT_EQ(page.Pixel(d.x, d.y), QuadrantTint(image, q));
                ++nChecked;
            }
        }
    }
}
} // namespace

TEST_F(DecorPageTest, WatermarkTilesThePageInStaggeredRows)
{
    ASSERT_TRUE(m_watermark.IsValid());
    // Four tints that differ, so a tile shifted by half shows the wrong one.
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            ASSERT_NE(QuadrantTint(m_watermark, a), QuadrantTint(m_watermark, b));

    DetachedView view(&m_doc);
    view.m_extent = CSize(7510, -9500);
    MemoryPage page(721, 913);
    EXPECT_EQ(view.DrawWatermark(page.dc()), 1);
    int nChecked = 0;
    ExpectStaggeredTiles(page, m_watermark, 7510, -9500, nChecked);
    EXPECT_GE(nChecked, 100);

    // The top row is shifted left: the page's left edge shows the right half of a tile; the second
    // row is not: its left edge shows a tile's left half.
    const int tw = 7510 / 5, th = 9500 / 5;
    CPoint d = page.ToDevice(tw / 8, -th / 4);
    EXPECT_EQ(page.Pixel(d.x, d.y), QuadrantTint(m_watermark, 1));
    d = page.ToDevice(tw / 8, -th - th / 4);
    EXPECT_EQ(page.Pixel(d.x, d.y), QuadrantTint(m_watermark, 0));
    // Nothing of the page is left white where no frame line runs: the whole page is covered.
    int nWhite = 0;
    for (int y = 0; y < page.height(); y += 7)
        for (int x = 0; x < page.width(); x += 7)
            nWhite += page.Pixel(x, y) == kWhite;
    EXPECT_EQ(nWhite, 0);
}

TEST_F(DecorPageTest, AnOddPageGetsTruncatedTilesAndAPartialSixthRow)
{
    // 7513 x 9507: tiles of 1502 x 1901; five rows end at -9505, a sixth covers the rest.
    DetachedView view(&m_doc);
    view.m_extent = CSize(7513, -9507);
    MemoryPage page(722, 914);
    view.DrawWatermark(page.dc());
    int nChecked = 0;
    ExpectStaggeredTiles(page, m_watermark, 7513, -9507, nChecked);
    EXPECT_GE(nChecked, 100);
    // The bottom rows of pixels below the fifth row show the sixth row's top (not shifted: row 5).
    const int th = 9507 / 5;
    const CPoint d = page.ToDevice(7513 / 5 / 4, -5 * th - 2);
    ASSERT_LT(d.y, page.height());
    EXPECT_EQ(page.Pixel(d.x, d.y), QuadrantTint(m_watermark, 0));
}

TEST_F(DecorPageTest, AnEmptyExtentDrawsNoWatermark)
{
    DetachedView view(&m_doc);
    view.m_extent = CSize(4, -3);  // less than five units: no tile size
    MemoryPage page(20, 20);
    EXPECT_EQ(view.DrawWatermark(page.dc()), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(page.Pixel(x, y), kWhite);
}

TEST_F(DecorPageTest, FooterIsCentredInTheBandAtTheFootOfThePage)
{
    m_doc.m_nPageHeight = 9499;
    DetachedView view(&m_doc);
    view.m_nFooterHeight = 250;
    view.m_vertexMax = CPoint(6000, 0);
    MemoryPage page(721, 913);
    EXPECT_EQ(view.DrawTextLayer(page.dc()), 0);  // no text objects

    int minX = page.width(), maxX = -1, minY = page.height(), maxY = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.Pixel(x, y) != kWhite) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << "no footer drawn";
    // Inside the band: from 250 above the page's foot down to the foot.
    const CPoint bandTop = page.ToDevice(0, 250 - 9499);
    const CPoint bandBottom = page.ToDevice(6000, -9499);
    EXPECT_GE(minY, bandTop.y);
    EXPECT_LE(maxY, bandBottom.y);
    // A font 125 units high: at most 12 pixels of the 96-dpi screen from top to bottom of the ink.
    EXPECT_LE(maxY - minY + 1, 12);
    EXPECT_GE(maxY - minY + 1, 6);
    // Centred across the band, which is as wide as the grid's rightmost corner.
    const int centre = bandBottom.x / 2;
    EXPECT_NEAR((minX + maxX) / 2.0, centre, 3.0);
    EXPECT_GT(maxX - minX, 60);  // a line of text, not a mark
}

TEST_F(DecorPageTest, FooterFollowsTheFooterHeight)
{
    m_doc.m_nPageHeight = 9499;
    DetachedView view(&m_doc);
    view.m_vertexMax = CPoint(7000, 0);
    int heights[2] = {0, 0};
    const int footers[2] = {250, 500};
    for (int i = 0; i < 2; ++i) {
        view.m_nFooterHeight = footers[i];
        MemoryPage page(721, 913);
        view.DrawTextLayer(page.dc());
        int minY = page.height(), maxY = -1;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.Pixel(x, y) != kWhite) {
                    minY = std::min(minY, y);
                    maxY = std::max(maxY, y);
                }
        ASSERT_GE(maxY, 0);
        heights[i] = maxY - minY + 1;
        // The text starts at the band's top.
        EXPECT_NEAR(minY, page.ToDevice(0, footers[i] - 9499).y, 6);
    }
    EXPECT_GT(heights[1], heights[0] * 3 / 2);  // twice the band, about twice the letters
}

namespace {
class DecorWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        VantrelInitPeriphResources();
        ASSERT_TRUE(m_config.isValid());
        setenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit().constData(), 1);
        AfxSetResourceTables(&GetVantrelResources());
        AfxInstallWindowHandlers();
        SetMessageBoxHandler([](const MessageBoxRequest&) { return IDOK; });
        m_app.m_args = {CString("vantrel")};
        ASSERT_TRUE(m_app.InitInstance());
        auto* pFrame = dynamic_cast<CMainFrame*>(m_app.m_pMainWnd);
        ASSERT_NE(pFrame, nullptr);
        m_pView = dynamic_cast<CVantrelView*>(pFrame->GetSplitter().GetPane(0, 0));
        ASSERT_NE(m_pView, nullptr);
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        m_app.ExitInstance();
        m_app.CloseAllDocuments(TRUE);
        QCoreApplication::processEvents();
        SetMessageBoxHandler({});
        AfxSetResourceTables(nullptr);
    }
    void Paint()
    {
        m_pView->Invalidate(TRUE);
        m_pView->UpdateWindow();
    }
    COLORREF WindowPixel(int x, int y)
    {
        const QRgb c = m_pView->GetBackingImage()->pixel(x, y);
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }

    QTemporaryDir m_config;
    CVantrelApp m_app;
    CVantrelView* m_pView = nullptr;
};
} // namespace

TEST_F(DecorWindowTest, AnEmptyWindowShowsTheBackdropInStaggeredRows)
{
    CVantrelDoc* pDoc = m_pView->GetDocument();
    ASSERT_EQ(pDoc->m_nGrids, 0);
    m_pView->GetWidget()->resize(500, 300);
    Paint();
    const CRasterImage backdrop = LoadBitmap(IDB_BACKDROP);
    ASSERT_TRUE(backdrop.IsValid());
    const int w = int(backdrop.GetWidth()), h = int(backdrop.GetHeight());
    CRect client;
    m_pView->GetClientRect(&client);
    ASSERT_GT(client.Width(), 2 * w);
    ASSERT_GT(client.Height(), 2 * h);
    // Even rows of tiles start half a tile to the left, odd rows at the left edge.
    int nMismatch = 0, nChecked = 0;
    for (int y = 0; y < client.bottom; y += 3)
        for (int x = 0; x < client.right; x += 5) {
            const int row = y / h;
            const int bx = (row % 2 == 0) ? (x + w / 2) % w : x % w;
            nMismatch += WindowPixel(x, y) != ImageColour(backdrop, bx, y % h);
            ++nChecked;
        }
    EXPECT_EQ(nMismatch, 0) << "of " << nChecked;
}

TEST_F(DecorWindowTest, AfterAGridIsCreatedThePageReplacesTheBackdrop)
{
    CVantrelDoc* pDoc = m_pView->GetDocument();
    m_app.m_pMainWnd->GetWidget()->resize(1200, 700);
    QCoreApplication::processEvents();
    Paint();
    CRect client;
    m_pView->GetClientRect(&client);
    ASSERT_GT(client.right, 760);  // wider than the 721 pixels of the page
    const int x = client.right - 10;
    const CRasterImage backdrop = LoadBitmap(IDB_BACKDROP);
    const int h = int(backdrop.GetHeight()), w = int(backdrop.GetWidth());
    // Beyond the page's right edge the backdrop shows while there is no grid (row 1: not shifted).
    EXPECT_EQ(WindowPixel(x, h + 1), ImageColour(backdrop, x % w, 1));

    pDoc->m_bFitToPage = 0;
    pDoc->m_nScale = 500;
    pDoc->m_nCellsX = 4;
    pDoc->m_nCellsY = 4;
    pDoc->CreateGrid();
    pDoc->m_bDirty = 1;
    pDoc->UpdateAllViews(nullptr);
    Paint();
    m_pView->GetClientRect(&client);
    ASSERT_GT(client.right, 760);
    // The default erase leaves white where the page does not reach; the page shows its watermark.
    EXPECT_EQ(WindowPixel(client.right - 10, h + 1), kWhite);
    // On the page, away from the grid's 4 x 4 cells of half an inch, the watermark shows.
    const CRasterImage watermark = LoadBitmap(IDB_WATERMARK);
    const COLORREF seen = WindowPixel(600, 250);
    bool bTint = false;
    for (int q = 0; q < 4; ++q)
        bTint = bTint || seen == QuadrantTint(watermark, q);
    EXPECT_TRUE(bTint) << std::hex << seen;
}

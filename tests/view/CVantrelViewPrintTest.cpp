// Printing to PDF: the options dialog, page counts and order for one to three mazes and each choice of
// page kinds, margins, walls and solutions on the rendered pages checked against the grid each page was
// printed from, the printer report on the clipboard, preview, and the mends (no wiping of hand-carved
// mazes, no undrawn window after a job, no job without a page kind, no endless halving).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGraphicsView>
#include <QImage>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolBar>

#include <string>
#include <vector>

#include "maze/MazeCell.h"
#include "platform/core/FileDialog.h"
#include "platform/core/Profile.h"
#include "platform/print/CPrintingView.h"
#include "platform/print/PrinterDC.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/Clipboard.h"
#include "tests/support/PdfReadBack.h"
#include "tests/support/PreviewPages.h"
#include "tests/support/ToolsTestSupport.h"

namespace {
constexpr int kCols = 6, kRows = 5, kCell = 500, kDpi = 100;
// Pages are rasterised at twice the printer's resolution, so that a one-dot wall covers whole pixels.
constexpr int kRaster = 2 * kDpi;

// Keeps the cells of the grid as each page was printed.
class RecordingView : public CVantrelView {
    DECLARE_DYNCREATE(RecordingView)
public:
    std::vector<std::vector<MazeCell>> pages;
    // The show flags (solution, background, maze, foreground, text) of each page rendering.
    std::vector<std::vector<int>> flags;
    void OnDraw(CDC* pDC) override
    {
        if (!m_bScreen)
            flags.push_back({m_bShowSolution, m_bShowBackground, m_bShowMaze, m_bShowForeground, m_bShowText});
        CVantrelView::OnDraw(pDC);
    }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        CVantrelView::OnPrint(pDC, pInfo);
        const Object& grid = *GetDocument()->GetGrid(0);
        pages.emplace_back(grid.cells.get(), grid.cells.get() + grid.width * grid.height);
    }
};
IMPLEMENT_DYNCREATE(RecordingView, CVantrelView)

struct Job {
    int maze = 1, solution = 1, count = 1;
};

std::vector<QImage> PdfImages(const QString& path, int pages)
{
    QTemporaryDir dir;
    QProcess::execute("pdftoppm", {"-r", QString::number(kRaster), "-png", path, dir.path() + "/p"});
    std::vector<QImage> images;
    for (int i = 1; i <= pages; ++i) {
        QDir d(dir.path());
        const QStringList names = d.entryList({QString("p-%1.png").arg(i), QString("p-0%1.png").arg(i)});
        images.emplace_back(names.isEmpty() ? QImage() : QImage(dir.path() + "/" + names.first()));
    }
    return images;
}

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tooltest::EnsureApplication();
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
        m_pdf = m_dir.path() + "/job.pdf";
        QPrinter& setup = AfxGetPrinterSetup();
        setup.setOutputFormat(QPrinter::PdfFormat);
        setup.setResolution(kDpi);
        setup.setPageSize(QPageSize(QPageSize::Letter));
        setup.setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
        setup.setOutputFileName(m_pdf);
        m_oldBox = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_messages.push_back(r.text);
            return IDOK;
        });
        w = std::make_unique<tooltest::MazeWindow>(RUNTIME_CLASS(RecordingView), kCols, kRows, kCell);
        view = dynamic_cast<RecordingView*>(w->view);
        ASSERT_NE(view, nullptr);
        doc().m_nSeed = 99;
        doc().OnGenerateMaze();
        ASSERT_EQ(doc().m_startPoints.GetSize(), 1);
    }
    void TearDown() override
    {
        w.reset();
        SetDialogRunner({});
        SetMessageBoxHandler(m_oldBox);
        SetPrintPreviewHandler({});
        SetFileDialogHandler({});
    }
    CVantrelDoc& doc() { return w->doc; }

    // Answers the options dialog with the job's choices and PRINT.
    void AnswerDialog(const Job& job)
    {
        SetDialogRunner([job, this](CDialog& d) {
            ++m_dialogs;
            auto set = [&](UINT id, int on) {
                if (bool(d.GetDlgItem(int(id))->GetWidget()->property("checked").toBool()) != bool(on))
                    d.ClickDlgItem(int(id));
            };
            set(IDC_PRINT_MAZE, job.maze);
            set(IDC_PRINT_SOLUTION, job.solution);
            qobject_cast<QLineEdit*>(d.GetDlgItem(IDC_NUMBER_OF_MAZES)->GetWidget())->setText(QString::number(job.count));
            d.ClickDlgItem(IDOK);
        });
    }

    // The top-left pixel of the page image on the physical page printed at dpi.
    CPoint Origin(int dpi = kDpi)
    {
        const QRect paint = AfxGetPrinterSetup().pageLayout().paintRectPixels(dpi);
        const int offX = paint.left(), offY = paint.top();
        const int marginX = std::max(doc().m_nOffsetX, int(offX * 1000.0 / dpi));
        const int marginY = std::max(doc().m_nOffsetY, int(offY * 1000.0 / dpi));
        return CPoint(offX + int(dpi * marginX / 1000.0 - offX), offY + int(dpi * marginY / 1000.0 - offY));
    }

    // Logical page point (thousandths, y down as a positive number) to a point of the physical page
    // printed at dpi, in its pixels.
    QPointF PagePoint(double lx, double ly, int dpi)
    {
        const double pw = int(dpi * doc().m_nPageWidth / 1000.0);
        const double ph = int(dpi * doc().m_nPageHeight / 1000.0);
        const double logicalHeight = 150 + doc().m_nPageHeight - view->m_nFooterHeight;
        const CPoint o = Origin(dpi);
        return QPointF(o.x + lx * pw / doc().m_nPageWidth, o.y + ly * ph / logicalHeight);
    }

    // Logical page point to page pixel of the rasterised PDF.
    QPoint Pixel(double lx, double ly)
    {
        const QPointF p = PagePoint(lx, ly, kDpi) * (double(kRaster) / kDpi);
        return QPoint(int(p.x() + 0.5), int(p.y() + 0.5));
    }

    // Every edge of the grid that can hold a wall: each cell's top and left edge, and the right and bottom
    // edges of the last ones, with whether a wall is drawn there.
    struct Edge {
        int x, y, side;
        double lx, ly;  // its middle, logical
        bool vertical;  // runs across the wall
        bool wall;
    };
    static std::vector<Edge> Edges(const std::vector<MazeCell>& cells)
    {
        auto at = [&](int x, int y) -> const MazeCell& { return cells[std::size_t(x + y * kCols)]; };
        auto visible = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < kCols && y < kRows && !(at(x, y).flags & (CELL_ERASED | CELL_HIDDEN));
        };
        std::vector<Edge> edges;
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                // Side 1 top, 2 right, 3 bottom, 4 left; (nx, ny) the cell across.
                struct Side {
                    int side, nx, ny;
                    double lx, ly;
                    bool vertical;
                };
                std::vector<Side> sides{{1, x, y - 1, (x + 0.5) * kCell, double(y) * kCell, true},
                                        {4, x - 1, y, double(x) * kCell, (y + 0.5) * kCell, false}};
                if (x == kCols - 1)
                    sides.push_back({2, x + 1, y, double(x + 1) * kCell, (y + 0.5) * kCell, false});
                if (y == kRows - 1)
                    sides.push_back({3, x, y + 1, (x + 0.5) * kCell, double(y + 1) * kCell, true});
                for (const Side& e : sides) {
                    const bool closed = !at(x, y).HasPassage(e.side);
                    edges.push_back({x, y, e.side, e.lx, e.ly, e.vertical,
                                     closed && (visible(x, y) || visible(e.nx, e.ny))});
                }
            }
        }
        return edges;
    }

    // Darkest grey within r pixels of p along the given direction.
    static int Darkest(const QImage& img, QPoint p, bool vertical, int r = 5)
    {
        int best = 255;
        for (int i = -r; i <= r; ++i) {
            const QPoint q = vertical ? QPoint(p.x(), p.y() + i) : QPoint(p.x() + i, p.y());
            if (img.valid(q))
                best = std::min(best, qGray(img.pixel(q)));
        }
        return best;
    }

    // Checks every wall and every cell fill of a page against the cells it was printed from.
    void CheckPage(const QImage& img, const std::vector<MazeCell>& cells, bool bSolution, int page)
    {
        SCOPED_TRACE("page " + std::to_string(page));
        ASSERT_FALSE(img.isNull());
        int walls = 0;
        for (const Edge& e : Edges(cells)) {
            const int grey = Darkest(img, Pixel(e.lx, e.ly), e.vertical);
            EXPECT_EQ(grey < 80, e.wall) << "cell " << e.x << "," << e.y << " side " << e.side << " grey " << grey;
            EXPECT_TRUE(grey < 80 || grey > 120) << "cell " << e.x << "," << e.y << " side " << e.side;
            walls += e.wall;
        }
        EXPECT_GT(walls, kCols + kRows);
        for (int y = 0; y < kRows; ++y) {
            for (int x = 0; x < kCols; ++x) {
                const MazeCell& cell = cells[std::size_t(x + y * kCols)];
                const QRgb c = img.pixel(Pixel((x + 0.5) * kCell, (y + 0.5) * kCell));
                const bool visible = !(cell.flags & (CELL_ERASED | CELL_HIDDEN));
                const bool blue = bSolution && visible && (cell.flags & CELL_SOLUTION);
                if (blue)
                    EXPECT_GT(qBlue(c) - qRed(c), 60) << "solution cell " << x << "," << y;
                else
                    EXPECT_GT(qGray(c), 230) << "cell " << x << "," << y;
            }
        }
    }

    // Prints a job and checks its pages; returns the page records.
    void PrintAndCheck(const Job& job)
    {
        SCOPED_TRACE("maze " + std::to_string(job.maze) + " solution " + std::to_string(job.solution) + " count " +
                     std::to_string(job.count));
        const Object& grid = *doc().GetGrid(0);
        const std::vector<MazeCell> before(grid.cells.get(), grid.cells.get() + kCols * kRows);
        view->pages.clear();
        QFile::remove(m_pdf);
        AnswerDialog(job);
        view->OnFilePrint();
        const int perMaze = job.maze + job.solution;
        const int expected = job.count * perMaze;
        ASSERT_EQ(int(view->pages.size()), expected);
        ASSERT_EQ(PdfPageCount(m_pdf), expected);
        const std::vector<QImage> images = PdfImages(m_pdf, expected);
        for (int p = 1; p <= expected; ++p) {
            const bool bSolution = job.maze && job.solution ? p % 2 == 0 : !job.maze;
            CheckPage(images[std::size_t(p - 1)], view->pages[std::size_t(p - 1)], bSolution, p);
        }
        auto same = [](const std::vector<MazeCell>& a, const std::vector<MazeCell>& b) {
            return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const MazeCell& l, const MazeCell& r) {
                return l.flags == r.flags && l.passages == r.passages;
            });
        };
        if (job.maze && job.solution) {
            EXPECT_TRUE(same(view->pages[0], before));  // the first maze is the document's
            for (int m = 0; m < job.count; ++m)  // each solution page shows the maze before it
                EXPECT_TRUE(same(view->pages[std::size_t(2 * m)], view->pages[std::size_t(2 * m + 1)]));
            for (int m = 1; m < job.count; ++m)
                EXPECT_FALSE(same(view->pages[std::size_t(2 * m)], view->pages[std::size_t(2 * m - 2)]));
        } else if (job.maze) {
            EXPECT_FALSE(same(view->pages[0], before));  // every maze page is grown anew
            for (int m = 1; m < job.count; ++m)
                EXPECT_FALSE(same(view->pages[std::size_t(m)], view->pages[std::size_t(m - 1)]));
        } else {
            for (const auto& page : view->pages)
                EXPECT_TRUE(same(page, before));
        }
        const std::vector<MazeCell> after(grid.cells.get(), grid.cells.get() + kCols * kRows);
        EXPECT_TRUE(same(after, view->pages.back()));  // the document keeps the last maze printed
    }

    QTemporaryDir m_dir;
    QString m_pdf;
    std::unique_ptr<tooltest::MazeWindow> w;
    RecordingView* view = nullptr;
    std::vector<CString> m_messages;
    MessageBoxHandler m_oldBox;
    int m_dialogs = 0;
};
} // namespace

TEST_F(PrintTest, EveryChoiceOfPageKindsForOneToThreeMazes)
{
    doc().m_nOffsetX = 600;  // beyond the printer's quarter inch
    doc().m_nOffsetY = 400;
    for (int count = 1; count <= 3; ++count) {
        PrintAndCheck({1, 1, count});
        PrintAndCheck({1, 0, count});
        PrintAndCheck({0, 1, count});
    }
    EXPECT_EQ(m_dialogs, 9);
    EXPECT_TRUE(m_messages.empty());
    // The choices went to the profile, the count too.
    CProfile& profile = AfxGetProfile();
    EXPECT_EQ(profile.GetProfileInt("Settings", "PrintMaze", -1), 0u);
    EXPECT_EQ(profile.GetProfileInt("Settings", "PrintSolution", -1), 1u);
    EXPECT_EQ(profile.GetProfileInt("Settings", "NumberOfMazes", -1), 3u);
    EXPECT_EQ(profile.GetProfileInt("Settings", "PrintSolution_BG", -1), 1u);
}

TEST_F(PrintTest, MarginsBelowTheUnprintableEdgeAreRaised)
{
    doc().m_nOffsetX = 100;  // inside the quarter inch the printer cannot reach
    doc().m_nOffsetY = 0;
    EXPECT_EQ(Origin(), CPoint(25, 25));
    PrintAndCheck({1, 0, 1});
}

TEST_F(PrintTest, EachPageKindShowsItsOwnLayers)
{
    AfxGetProfile().WriteProfileInt("Settings", "PrintSolution_MZ", 0);
    AfxGetProfile().WriteProfileInt("Settings", "PrintMaze_TL", 0);
    view->m_bShowSolution = 1;
    view->m_bShowForeground = 0;
    view->flags.clear();
    PrintAndCheck({1, 1, 1});
    const std::vector<std::vector<int>> expected{{0, 1, 1, 1, 0}, {1, 1, 0, 1, 1}};
    EXPECT_EQ(view->flags, expected);
    // The window's own switches come back after the job.
    EXPECT_EQ(view->m_bShowSolution, 1);
    EXPECT_EQ(view->m_bShowForeground, 0);
    EXPECT_EQ(view->m_bScreen, 1);
    EXPECT_EQ(view->m_printMargin, CPoint(0, 0));
}

TEST_F(PrintTest, CancelAndNeitherKindRunNoJob)
{
    SetDialogRunner([](CDialog& d) { d.ClickDlgItem(IDCANCEL); });
    QFile::remove(m_pdf);
    EXPECT_EQ(view->DoFilePrint(), -1);
    EXPECT_FALSE(QFile::exists(m_pdf));
    EXPECT_EQ(AfxGetProfile().GetProfileInt("Settings", "NumberOfMazes", 77), 77u);  // nothing written

    AnswerDialog({0, 0, 2});
    EXPECT_EQ(view->DoFilePrint(), -1);
    EXPECT_FALSE(QFile::exists(m_pdf));
    EXPECT_EQ(AfxGetProfile().GetProfileInt("Settings", "PrintMaze", 7), 0u);  // settings written
    EXPECT_EQ(AfxGetProfile().GetProfileInt("Settings", "NumberOfMazes", 7), 2u);
    // A preview with neither kind is refused too.
    int previews = 0;
    SetPrintPreviewHandler([&](QPrintPreviewDialog&) { ++previews; });
    EXPECT_EQ(view->DoFilePrintPreview(), -1);
    EXPECT_EQ(previews, 0);
}

TEST_F(PrintTest, BadCountKeepsTheDialogOpen)
{
    std::vector<CString> shown;
    SetDialogRunner([&](CDialog& d) {
        auto* edit = qobject_cast<QLineEdit*>(d.GetDlgItem(IDC_NUMBER_OF_MAZES)->GetWidget());
        EXPECT_EQ(edit->text(), "1");  // every job opens with one maze
        edit->setText("1000");
        d.ClickDlgItem(IDOK);
        EXPECT_TRUE(d.GetQDialog()->isVisible());
        EXPECT_EQ(d.GetQDialog()->focusWidget(), edit);
        edit->setText("two");
        d.ClickDlgItem(IDOK);
        EXPECT_TRUE(d.GetQDialog()->isVisible());
        d.ClickDlgItem(IDCANCEL);
    });
    EXPECT_EQ(view->DoFilePrint(), -1);
    ASSERT_EQ(m_messages.size(), 2u);
    EXPECT_EQ(m_messages[0], "Please enter an integer between 1 and 999.");
    EXPECT_EQ(m_messages[1], "Please enter an integer.");
}

TEST_F(PrintTest, PageKindBoxesEnableTheirLayerBoxesAndSelectPrinterSticks)
{
    std::vector<bool> enabled;
    SetDialogRunner([&](CDialog& d) {
        for (int i = 0; i < 8; ++i)
            enabled.push_back(d.GetDlgItem(int(IDC_MAZE_LAYER_FIRST) + i)->IsWindowEnabled());
        d.ClickDlgItem(IDC_PRINT_MAZE);  // unchecks Maze
        for (int i = 0; i < 8; ++i)
            enabled.push_back(d.GetDlgItem(int(IDC_MAZE_LAYER_FIRST) + i)->IsWindowEnabled());
        EXPECT_FALSE(d.GetDlgItem(IDC_PRINT_COMPATIBLE)->IsWindowVisible());
        d.ClickDlgItem(IDC_SELECT_PRINTER);
    });
    PRINTDLG seen;
    SetPrintDialogHandler([&](QPrinter&, PRINTDLG& pd) {
        seen = pd;
        return IDCANCEL;
    });
    EXPECT_EQ(view->DoFilePrint(), -1);
    const std::vector<bool> expected{true, true, true, true, true, true, true, true,
                                     false, false, false, false, true, true, true, true};
    EXPECT_EQ(enabled, expected);
    EXPECT_EQ(view->m_printDialog.m_bSelectPrinter, 1);
    EXPECT_TRUE(seen.Flags & PD_NOPAGENUMS);
    EXPECT_EQ(seen.nMaxPage, 1);  // one maze, solution pages only
    SetPrintDialogHandler({});
}

TEST_F(PrintTest, HandCarvedMazeIsNotWiped)
{
    doc().OnClearMaze();
    doc().m_startPoints.RemoveAll();
    for (int x = 1; x < 5; ++x)
        doc().CarveCell(x, 2, 0);
    const Object& grid = *doc().GetGrid(0);
    std::vector<MazeCell> before(grid.cells.get(), grid.cells.get() + kCols * kRows);
    ASSERT_NE(before[std::size_t(2 + 2 * kCols)].passages, 0);
    AnswerDialog({1, 0, 2});
    view->OnFilePrint();
    ASSERT_EQ(view->pages.size(), 2u);
    for (int i = 0; i < kCols * kRows; ++i)
        EXPECT_EQ(grid.cells[i].passages, before[std::size_t(i)].passages) << i;
}

TEST_F(PrintTest, TheWindowShowsTheMazeAgainAfterAJobThatReRendered)
{
    auto countPixels = [&](int& dark, int& white) {
        const QImage* backing = view->GetBackingImage();
        ASSERT_NE(backing, nullptr);
        dark = white = 0;
        for (int y = 0; y < backing->height(); ++y)
            for (int x = 0; x < backing->width(); ++x) {
                const int g = qGray(backing->pixel(x, y));
                dark += g < 60;
                white += g > 250;
            }
    };
    view->Invalidate(TRUE);
    view->UpdateWindow();
    int dark = 0, white = 0;
    countPixels(dark, white);
    ASSERT_GT(dark, 100);
    const int whiteBefore = white;
    AnswerDialog({1, 0, 1});
    view->OnFilePrint();
    ASSERT_EQ(view->pages.size(), 1u);
    view->UpdateWindow();
    countPixels(dark, white);
    EXPECT_GT(dark, 100);
    EXPECT_GT(white, whiteBefore * 9 / 10);
    EXPECT_EQ(doc().m_bDirty, 0);
}

TEST_F(PrintTest, PrinterReportGoesToTheClipboardOncePerPage)
{
    doc().m_bPrinterDebug = 1;
    std::vector<QString> texts;
    QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged, [&] {
        const QString t = QApplication::clipboard()->text();
        if (!t.isEmpty())
            texts.push_back(t);
    });
    AnswerDialog({1, 0, 3});
    view->OnFilePrint();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_EQ(texts[1], texts[2]);

    // The report of the same printer, written out by hand.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(kDpi);
    printer.setPageLayout(AfxGetPrinterSetup().pageLayout());
    HDC hDC = CreatePrinterDC(&printer);
    ASSERT_NE(hDC, nullptr);
    auto caps = [&](int i) { return QString::number(::GetDeviceCaps(hDC, i)); };
    const QString expected =
        "******************Start of Quillmont Printer Debug Information**************\r\n\r\nDriver Version: " +
        caps(DRIVERVERSION) + "\r\nPhysical(s): W=" + caps(PHYSICALWIDTH) + " H=" + caps(PHYSICALHEIGHT) +
        " OffsetX=" + caps(PHYSICALOFFSETX) + " OffsetY=" + caps(PHYSICALOFFSETY) + "\r\nResolution: Horz=" +
        caps(HORZRES) + " Vert=" + caps(VERTRES) + "\r\nColors: BITSPIXEL=" + caps(BITSPIXEL) +
        " PLANES=" + caps(PLANES) + " NumColors=" + caps(NUMCOLORS) + " SizePalette=" + caps(SIZEPALETTE) +
        "\r\nSize: Horz=" + caps(HORZSIZE) + " Vert=" + caps(VERTSIZE) + "\r\nLogPixel: X=" + caps(LOGPIXELSX) +
        " Y=" + caps(LOGPIXELSY) + "\r\n" +
        "\r\n\r\nTECHNOLOGY: NO_DT_PLOTTER NO_DT_RASDISPLAY DT_RASPRINTER NO_DT_RASCAMERA NO_DT_CHARSTREAM "
        "NO_DT_DISPFILE ";
    ::DeleteDC(hDC);
    ASSERT_GE(texts[0].size(), expected.size());
    EXPECT_EQ(texts[0].left(expected.size()), expected);
    EXPECT_TRUE(texts[0].endsWith(
        "\r\n\r\n******************End of Quillmont Printer Debug Information**************\r\n"));
    EXPECT_TRUE(texts[0].contains("\r\n\r\nRASTERCAPS: NO_RC_BANDING RC_BITBLT "));

    // While another owner holds the clipboard open, printing goes on and leaves no report.
    texts.clear();
    view->pages.clear();
    ASSERT_TRUE(OpenClipboard(nullptr));
    AnswerDialog({1, 0, 2});
    view->OnFilePrint();
    CloseClipboard();
    EXPECT_EQ(view->pages.size(), 2u);
    EXPECT_TRUE(texts.empty());
}

TEST(PrinterReportTest, GroupsNameEveryEntryPresentOrNot)
{
    // A raster printer without curves and lines: CC_NONE and LC_NONE stand, every other entry is NO_.
    const CString text = CVantrelView::FormatPrinterCaps([](int i) {
        switch (i) {
        case TECHNOLOGY: return DT_PLOTTER;
        case RASTERCAPS: return RC_BITBLT | RC_STRETCHDIB;
        case POLYGONALCAPS: return PC_POLYGON | PC_WINDPOLYGON;
        case TEXTCAPS: return TC_OP_CHARACTER | TC_SCROLLBLT;
        case LOGPIXELSX: return 600;
        default: return 0;
        }
    });
    const std::string s = text.GetString();
    EXPECT_NE(s.find("LogPixel: X=600 Y=0\r\n\r\n\r\nTECHNOLOGY: DT_PLOTTER NO_DT_RASDISPLAY "), std::string::npos);
    EXPECT_NE(s.find("\r\n\r\nRASTERCAPS: NO_RC_BANDING RC_BITBLT NO_RC_BITMAP64 NO_RC_DI_BITMAP NO_RC_DIBTODEV "
                     "NO_RC_GDI20_OUTPUT NO_RC_PALETTE NO_RC_SCALING NO_RC_STRETCHBLT RC_STRETCHDIB "),
              std::string::npos);
    EXPECT_NE(s.find("\r\n\r\nCURVECAPS: CC_NONE NO_CC_CHORD NO_CC_CIRCLES NO_CC_ELLIPSES NO_CC_INTERIORS NO_CC_PIE "
                     "NO_CC_ROUNDRECT NO_CC_STYLED NO_CC_WIDE NO_CC_WIDESTYLED "),
              std::string::npos);
    EXPECT_NE(s.find("\r\n\r\nLINECAPS: LC_NONE NO_LC_INTERIORS "), std::string::npos);
    EXPECT_NE(s.find("\r\n\r\nPOLYGONALCAPS: NO_PC_NONE NO_PC_INTERIORS PC_POLYGON NO_PC_RECTANGLE NO_PC_SCANLINE "
                     "NO_PC_STYLED NO_PC_WIDE NO_PC_WIDESTYLED PC_WINDPOLYGON "),
              std::string::npos);
    EXPECT_NE(s.find("\r\n\r\nTEXTCAPS: TC_OP_CHARACTER NO_TC_OP_STROKE "), std::string::npos);
    EXPECT_NE(s.find("NO_TC_RESERVED TC_SCROLLBLT \r\n\r\n****"), std::string::npos);
}

TEST_F(PrintTest, PreviewShowsTheMazeAndItsSolutionWithoutTheDialog)
{
    SetDialogRunner([](CDialog&) { ADD_FAILURE() << "the preview shows no options dialog"; });
    int pages = -1;
    SetPrintPreviewHandler([&](QPrintPreviewDialog& dialog) {
        dialog.show();
        auto* widget = dialog.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        widget->updatePreview();
        pages = widget->pageCount();
        dialog.close();
    });
    const Object& grid = *doc().GetGrid(0);
    const std::vector<MazeCell> before(grid.cells.get(), grid.cells.get() + kCols * kRows);
    view->OnFilePrintPreview();
    EXPECT_EQ(pages, 2);
    ASSERT_GE(view->pages.size(), 2u);
    for (int i = 0; i < kCols * kRows; ++i)  // page 1 the document's maze, page 2 its solution
        EXPECT_EQ(view->pages[1][std::size_t(i)].passages, before[std::size_t(i)].passages);
    EXPECT_FALSE(QFile::exists(m_pdf));
}

// The preview draws its pages far below printer resolution: at every zoom it offers below full size
// (fitted to the page or to the width, zoomed out and in, the zoom box's sizes) every wall of the maze
// page shows darker than the paper where it lies and every open edge stays light. Previewing leaves
// the printed pages as they were.
TEST_F(PrintTest, PreviewShowsEveryWallAtEveryZoom)
{
    constexpr int kPrinterDpi = 600;  // the program's PDF output: walls of 6 dots
    QPrinter& setup = AfxGetPrinterSetup();
    setup.setResolution(kPrinterDpi);
    const QSize paper = setup.pageLayout().fullRectPixels(kPrinterDpi).size();
    const Object& grid = *doc().GetGrid(0);
    const std::vector<MazeCell> cells(grid.cells.get(), grid.cells.get() + kCols * kRows);
    const std::vector<Edge> edges = Edges(cells);

    AnswerDialog({1, 1, 1});
    view->OnFilePrint();
    const std::vector<QImage> printed = PdfImages(m_pdf, 2);

    int zooms = 0;
    SetPrintPreviewHandler([&](QPrintPreviewDialog& dialog) {
        dialog.resize(900, 700);
        dialog.show();
        auto* pWidget = dialog.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(pWidget, nullptr);
        QWidget* pArea = pWidget->findChild<QGraphicsView*>()->viewport();
        // A wall shows darker than grey `darkest` (paper is white).
        const auto check = [&](const char* zoom, int darkest) {
            SCOPED_TRACE(std::string(zoom) + " at " + std::to_string(pWidget->zoomFactor()));
            for (int i = 0; i < 5; ++i)
                QCoreApplication::processEvents();
            const QImage shot = pArea->grab().toImage();
            // Pages are looked for in the box of the paper, so that pages far smaller than the area are
            // found too.
            QRect paperBox;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (preview_pages::Paper(shot.pixel(x, y)))
                        paperBox |= QRect(x, y, 1, 1);
            std::vector<QRect> pages = preview_pages::Find(shot.copy(paperBox));
            ASSERT_EQ(pages.size(), 2u);
            for (QRect& page : pages)
                page.translate(paperBox.topLeft());
            // Page 1, the maze, in screen pixels per printer dot.
            const QRect page = pages[0];
            const double scale = double(page.width()) / paper.width();
            EXPECT_NEAR(page.height(), paper.height() * scale, 2);
            const int reach = std::max(1, int(kCell / 1000.0 * kPrinterDpi * scale / 4));
            for (const Edge& e : edges) {
                const QPointF p = PagePoint(e.lx, e.ly, kPrinterDpi) * scale + QPointF(page.topLeft());
                const int grey = Darkest(shot, p.toPoint(), e.vertical, reach);
                if (e.wall)
                    EXPECT_LT(grey, darkest) << "wall of cell " << e.x << "," << e.y << " side " << e.side;
                else
                    EXPECT_GT(grey, 235) << "open edge of cell " << e.x << "," << e.y << " side " << e.side;
            }
            ++zooms;
        };
        // At the toolbar's zooms a wall is almost half a pixel wide and shows clearly.
        check("fit page", 200);
        dialog.findChild<QAction*>("fitWidthAction")->trigger();
        check("fit width", 200);
        // The zoom buttons have no names of their own, only their texts; they act when clicked.
        const auto button = [&](const char* text) {
            for (QAction* pAction : dialog.findChildren<QAction*>())
                if (pAction->text() == text)
                    return qobject_cast<QAbstractButton*>(dialog.findChild<QToolBar*>()->widgetForAction(pAction));
            return static_cast<QAbstractButton*>(nullptr);
        };
        ASSERT_TRUE(button("Zoom out") && button("Zoom in"));
        button("Zoom out")->click();
        check("zoomed out", 200);
        button("Zoom out")->click();
        button("Zoom in")->click();
        check("zoomed in", 200);
        // The zoom box's sizes, 100 % in a window that shows the pages whole at it. At 25 % and 12.5 % a
        // wall is a quarter and an eighth of a pixel wide: it shows fainter, but it shows.
        for (const qreal factor : {0.125, 0.25, 0.5, 1.0}) {
            if (factor == 1.0)
                dialog.resize(1800, 1250);
            pWidget->setZoomFactor(factor);
            check("zoom box", factor <= 0.25 ? 235 : 200);
        }
        dialog.close();
    });
    view->OnFilePrintPreview();
    EXPECT_EQ(zooms, 8);

    QFile::remove(m_pdf);
    view->OnFilePrint();
    const std::vector<QImage> printedAgain = PdfImages(m_pdf, 2);
    ASSERT_FALSE(printed[0].isNull());
    EXPECT_TRUE(printedAgain[0] == printed[0] && printedAgain[1] == printed[1]);
}

TEST_F(PrintTest, RenderHalvesTooLargePagesAndGivesUpAtOnePixel)
{
    CBitmap image;
    EXPECT_FALSE(view->RenderToImage(image, 7499, -9499, 0, 0));
    EXPECT_EQ(view->m_bScreen, 1);
    // 16400 x 16400 is over the bitmap limit; half of it is not.
    ASSERT_TRUE(view->RenderToImage(image, 7499, -9499, 16400, 16400));
    BITMAP bm{};
    image.GetBitmap(&bm);
    EXPECT_EQ(bm.bmWidth, 8200);
    EXPECT_EQ(bm.bmHeight, 8200);
    image.DeleteObject();
}

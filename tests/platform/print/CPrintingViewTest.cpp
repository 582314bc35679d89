// The printing protocol: the order of a view's printing steps, the print dialog and file seams, PDF
// output with the pages asked for, and the preview window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGraphicsView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "platform/gdi/CDC.h"
#include "tests/support/PdfReadBack.h"
#include "tests/support/PreviewPages.h"
#include "platform/print/CPrintingView.h"
#include "platform/core/FileDialog.h"
#include "platform/core/MessageBox.h"

namespace {
// Prints page n as a black bar n tenths of an inch wide at the printable area's top-left corner.
class BarView : public CPrintingView {
public:
    UINT m_nPages = 3;
    std::vector<std::string> m_steps;

    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        m_steps.push_back("prepare");
        pInfo->SetMaxPage(m_nPages);
        return DoPreparePrinting(pInfo);
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { m_steps.push_back("begin"); }
    void OnPrepareDC(CDC*, CPrintInfo* pInfo) override { m_steps.push_back("dc" + std::to_string(pInfo->m_nCurPage)); }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        m_steps.push_back("print" + std::to_string(pInfo->m_nCurPage));
        const int dpi = pDC->GetDeviceCaps(LOGPIXELSX);
        pDC->PatBlt(0, 0, int(pInfo->m_nCurPage) * dpi / 10, dpi / 10, BLACKNESS);
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { m_steps.push_back("end"); }
};

// Width in pixels of the black bar at the top-left of the printable area of page n at 100 dpi.
int BarWidth(const QString& pdf, int page, int offsetX, int offsetY)
{
    QTemporaryDir dir;
    const QString stem = dir.path() + "/p";
    QProcess::execute("pdftoppm", {"-r", "100", "-f", QString::number(page), "-l", QString::number(page), "-singlefile",
                                   "-png", pdf, stem});
    QImage img(stem + ".png");
    if (img.isNull())
        return -1;
    const int y = offsetY + 5;
    int n = 0;
    while (offsetX + n < img.width() && qGray(img.pixel(offsetX + n, y)) < 128)
        ++n;
    return n;
}

class PrintingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char arg0[] = "printing_test";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QPrinter& setup = AfxGetPrinterSetup();
        setup.setOutputFormat(QPrinter::PdfFormat);
        setup.setResolution(100);
        setup.setOutputFileName(QString());
        m_oldBox = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            m_messages.push_back(r.text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        SetMessageBoxHandler(m_oldBox);
        SetFileDialogHandler({});
        SetPrintDialogHandler({});
        SetPrintPreviewHandler({});
        SetPrintSetupHandler({});
    }
    QString Path(const char* name) const { return m_dir.path() + "/" + name; }

    QTemporaryDir m_dir;
    std::vector<CString> m_messages;
    MessageBoxHandler m_oldBox;
};
} // namespace

TEST_F(PrintingTest, DialogChoosesPrinterAndPagesAndTheStepsRunInOrder)
{
    const QString pdf = Path("job.pdf");
    PRINTDLG seen;
    SetPrintDialogHandler([&](QPrinter& printer, PRINTDLG& pd) {
        seen = pd;
        printer.setOutputFileName(pdf);
        pd.nFromPage = 2;  // the user asks for pages 2 to 3
        return IDOK;
    });
    BarView view;
    EXPECT_EQ(view.DoFilePrint(), 2);
    EXPECT_EQ(seen.nMinPage, 1);
    EXPECT_EQ(seen.nMaxPage, 3);
    EXPECT_EQ(seen.nFromPage, 1);
    EXPECT_EQ(seen.nToPage, 3);
    const std::vector<std::string> expected{"prepare", "begin", "dc2", "print2", "dc3", "print3", "end"};
    EXPECT_EQ(view.m_steps, expected);
    ASSERT_EQ(PdfPageCount(pdf), 2);
    // A4 at 100 dpi with Qt's default margins; the bar sits at the printable area's corner.
    QPrinter probe(QPrinter::HighResolution);
    probe.setOutputFormat(QPrinter::PdfFormat);
    probe.setResolution(100);
    const QRect paint = probe.pageLayout().paintRectPixels(100);
    EXPECT_EQ(BarWidth(pdf, 1, paint.left(), paint.top()), 20);
    EXPECT_EQ(BarWidth(pdf, 2, paint.left(), paint.top()), 30);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PrintingTest, CancelledDialogsRunNoJob)
{
    SetPrintDialogHandler([](QPrinter&, PRINTDLG&) { return IDCANCEL; });
    BarView view;
    EXPECT_EQ(view.DoFilePrint(), -1);
    EXPECT_EQ(view.m_steps, std::vector<std::string>{"prepare"});

    // A direct job to PDF asks for the file; cancelling it ends the job too.
    int asked = 0;
    SetFileDialogHandler([&](const FileDialogRequest& r) {
        ++asked;
        EXPECT_FALSE(r.open);
        EXPECT_EQ(r.defaultExt, "pdf");
        return FileDialogResult{};
    });
    BarView direct;
    EXPECT_EQ(direct.DoFilePrint(TRUE), -1);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PrintingTest, DirectJobGoesToTheChosenFileWithoutTheDialog)
{
    SetPrintDialogHandler([](QPrinter&, PRINTDLG&) {
        ADD_FAILURE() << "no dialog for a direct job";
        return IDCANCEL;
    });
    const QString pdf = Path("direct.pdf");
    SetFileDialogHandler([&](const FileDialogRequest&) {
        FileDialogResult r;
        r.ok = true;
        r.path = pdf.toLocal8Bit().constData();
        r.filterIndex = 1;
        return r;
    });
    BarView view;
    view.m_nPages = 4;
    EXPECT_EQ(view.DoFilePrint(TRUE), 4);
    EXPECT_EQ(PdfPageCount(pdf), 4);
}

TEST_F(PrintingTest, UnwritableOutputIsReportedNotSilent)
{
    AfxGetPrinterSetup().setOutputFileName(Path("missing/folder/x.pdf"));
    BarView view;
    EXPECT_EQ(view.DoFilePrint(TRUE), -1);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Could not start print job.");
    AfxGetPrinterSetup().setOutputFileName(QString());
}

TEST_F(PrintingTest, PreviewShowsEveryPageAndWritesNoFile)
{
    int pages = -1;
    SetPrintPreviewHandler([&](QPrintPreviewDialog& dialog) {
        dialog.show();
        auto* widget = dialog.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(widget, nullptr);
        widget->updatePreview();
        pages = widget->pageCount();
        dialog.close();
    });
    SetFileDialogHandler([](const FileDialogRequest&) {
        ADD_FAILURE() << "a preview asks for no file";
        return FileDialogResult{};
    });
    BarView view;
    view.m_nPages = 2;
    view.DoFilePrintPreview();
    EXPECT_EQ(pages, 2);
    ASSERT_GE(view.m_steps.size(), 6u);
    EXPECT_EQ(view.m_steps[1], "begin");
    EXPECT_EQ(view.m_steps.back(), "end");
}

namespace {
struct PreviewShot {
    std::vector<QRect> pages;
    QSize area;
};

// The preview's page area as it is painted now.
PreviewShot Shoot(QPrintPreviewDialog& dialog)
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    QWidget* pArea = dialog.findChild<QPrintPreviewWidget*>()->findChild<QGraphicsView*>()->viewport();
    const QImage shot = pArea->grab().toImage();
    return {preview_pages::Find(shot), shot.size()};
}

void ExpectSideBySide(const PreviewShot& s, const char* when)
{
    EXPECT_EQ(preview_pages::SideBySide(s.pages, s.area, true), "") << when;
}
} // namespace

// Pages are told from the grey around them even where the drawing on a page covers most of a column
// (a maze's solution running down most of the page), and not where grey lies between them.
TEST(PreviewPages, APageWhoseDrawingFillsMostOfAColumnIsOnePage)
{
    QImage shot(200, 100, QImage::Format_RGB32);
    shot.fill(QColor(Qt::gray));
    const QRect left(20, 10, 70, 80), right(110, 10, 70, 80);
    for (const QRect& page : {left, right}) {
        for (int y = page.top(); y <= page.bottom(); ++y)
            for (int x = page.left(); x <= page.right(); ++x)
                shot.setPixel(x, y, qRgb(255, 255, 255));
    }
    // A blue band down 90 % of the right page's height, ten columns wide.
    for (int y = 12; y < 84; ++y)
        for (int x = 140; x < 150; ++x)
            shot.setPixel(x, y, qRgb(120, 120, 240));
    const std::vector<QRect> pages = preview_pages::Find(shot);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], left);
    EXPECT_EQ(pages[1], right);
    EXPECT_EQ(preview_pages::SideBySide(pages, shot.size(), false), "");
}

// Two preview pages sit side by side in one row, centred and whole at the fitted zoom the toolbar
// shows; they refit when the window grows, and the fit buttons fit them.
TEST_F(PrintingTest, PreviewShowsTwoPagesSideBySideFittedAndCentred)
{
    class TwoPageView : public BarView {
        BOOL OnPreparePrinting(CPrintInfo* pInfo) override
        {
            pInfo->m_nNumPreviewPages = 2;
            return BarView::OnPreparePrinting(pInfo);
        }
    };
    bool shown = false;
    SetPrintPreviewHandler([&](QPrintPreviewDialog& dialog) {
        shown = true;
        dialog.resize(900, 700);
        dialog.show();
        auto* pOverview = dialog.findChild<QAction*>("overviewModeAction");
        auto* pFitPage = dialog.findChild<QAction*>("fitPageAction");
        auto* pFitWidth = dialog.findChild<QAction*>("fitWidthAction");
        auto* pFacing = dialog.findChild<QAction*>("facingModeAction");
        ASSERT_TRUE(pOverview && pFitPage && pFitWidth && pFacing);
        EXPECT_TRUE(pOverview->isChecked());
        EXPECT_TRUE(pFitPage->isChecked());
        EXPECT_TRUE(pFitPage->isEnabled());
        EXPECT_TRUE(pFitWidth->isEnabled());
        EXPECT_FALSE(pFacing->isVisible());

        const PreviewShot opened = Shoot(dialog);
        ExpectSideBySide(opened, "opened");
        // Page 1 (the narrower bar) on the left.
        if (opened.pages.size() == 2) {
            QWidget* pArea = dialog.findChild<QGraphicsView*>()->viewport();
            const QImage shot = pArea->grab().toImage();
            // The widest row of dark pixels on the page.
            const auto barWidth = [&](const QRect& page) {
                int widest = 0;
                for (int y = page.top(); y <= page.bottom(); ++y) {
                    int n = 0;
                    for (int x = page.left(); x <= page.right(); ++x)
                        n += qGray(shot.pixel(x, y)) < 100 ? 1 : 0;
                    widest = std::max(widest, n);
                }
                return widest;
            };
            EXPECT_LT(barWidth(opened.pages[0]), barWidth(opened.pages[1]));
            EXPECT_GT(barWidth(opened.pages[0]), 0);
        }

        dialog.resize(1300, 800);
        const PreviewShot grown = Shoot(dialog);
        ExpectSideBySide(grown, "grown");
        if (!grown.pages.empty() && !opened.pages.empty()) {
            EXPECT_GT(grown.pages[0].height(), opened.pages[0].height());
        }

        pFitWidth->trigger();
        const PreviewShot wide = Shoot(dialog);
        ASSERT_EQ(wide.pages.size(), 2u);
        EXPECT_GE(wide.pages[0].united(wide.pages[1]).width() * 10, wide.area.width() * 9);
        pFitPage->trigger();
        ExpectSideBySide(Shoot(dialog), "fit page again");

        // One page at a time and back: the two pages come back fitted.
        dialog.findChild<QAction*>("singleModeAction")->trigger();
        pOverview->trigger();
        EXPECT_TRUE(pFitPage->isEnabled());
        ExpectSideBySide(Shoot(dialog), "overview again");
        dialog.close();
    });
    TwoPageView view;
    view.m_nPages = 2;
    view.DoFilePrintPreview();
    EXPECT_TRUE(shown);
}

TEST_F(PrintingTest, PrintSetupChangesTheApplicationPrinter)
{
    SetPrintSetupHandler([](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Landscape);
        return IDOK;
    });
    EXPECT_TRUE(AfxDoPrintSetup());
    EXPECT_EQ(AfxGetPrinterSetup().pageLayout().orientation(), QPageLayout::Landscape);
    SetPrintSetupHandler([](QPrinter&) { return IDCANCEL; });
    EXPECT_FALSE(AfxDoPrintSetup());
    AfxGetPrinterSetup().setPageOrientation(QPageLayout::Portrait);
}

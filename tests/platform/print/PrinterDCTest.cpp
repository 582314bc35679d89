// A two-page PDF made through a printer context, checked with poppler's tools.
#include "tests/support/GdiTestSupport.h"

#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/CDC.h"
#include "platform/print/PrinterDC.h"

namespace {

std::string RunCommand(const std::string& command)
{
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        pclose(p);
    }
    return out;
}

// A binary greyscale PGM (P5) as its rows.
struct Gray {
    int w = 0, h = 0;
    std::vector<unsigned char> px;
    int at(int x, int y) const { return px[size_t(y * w + x)]; }
};

Gray ReadPgm(const std::string& path)
{
    Gray g;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    in >> magic >> g.w >> g.h >> maxval;
    in.get();
    g.px.resize(size_t(g.w * g.h));
    in.read(reinterpret_cast<char*>(g.px.data()), std::streamsize(g.px.size()));
    return g;
}

}  // namespace

TEST(GdiPrint, TwoPagePdfHasThePageSizeAndTheRectanglesWhereDrawn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string pdf = dir.filePath("job.pdf").toStdString();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setResolution(600);

    CDC dc;
    ASSERT_TRUE(dc.Attach(CreatePrinterDC(&printer)));
    EXPECT_TRUE(dc.IsPrinting());
    const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
    const int offX = dc.GetDeviceCaps(PHYSICALOFFSETX), offY = dc.GetDeviceCaps(PHYSICALOFFSETY);
    EXPECT_EQ(dpi, 600);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALWIDTH), 5100);
    EXPECT_EQ(dc.GetDeviceCaps(PHYSICALHEIGHT), 6600);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 5100 - 2 * offX);
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);

    ASSERT_GT(dc.StartDoc("Maze"), 0);
    // Page 1: a one-inch black square one inch from the printable corner, drawn in high-English units.
    ASSERT_GT(dc.StartPage(), 0);
    dc.SetMapMode(MM_HIENGLISH);
    dc.FillSolidRect(1000, -1000, 1000, -1000, RGB(0, 0, 0));
    dc.EndPage();
    // Page 2: a rendered page bitmap copied in, the way pages are printed: two inches from the left.
    ASSERT_GT(dc.StartPage(), 0);
    dc.SetMapMode(MM_TEXT);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    EXPECT_EQ(mem.GetDeviceCaps(LOGPIXELSX), 600);
    CBitmap page;
    ASSERT_TRUE(page.CreateCompatibleBitmap(&dc, dpi, dpi));
    CBitmap* old = mem.SelectObject(&page);
    mem.PatBlt(0, 0, dpi, dpi, BLACKNESS);
    EXPECT_TRUE(dc.BitBlt(2 * dpi, dpi, dpi, dpi, &mem, 0, 0, SRCCOPY));
    mem.SelectObject(old);
    dc.EndPage();
    ASSERT_GT(dc.EndDoc(), 0);
    dc.DeleteDC();

    const std::string info = RunCommand("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    EXPECT_NE(info.find("612 x 792 pts"), std::string::npos) << info;

    const std::string prefix = dir.filePath("p").toStdString();
    RunCommand("pdftoppm -r 72 -gray '" + pdf + "' '" + prefix + "'");
    // At 72 dpi a device pixel of 600 dpi is 72/600 of a point; the square's centre and a point outside.
    auto toPt = [&](int device) { return int(device * 72 / dpi); };
    for (int pageNo : {1, 2}) {
        Gray g = ReadPgm(prefix + "-" + std::to_string(pageNo) + ".pgm");
        ASSERT_EQ(g.w, 612);
        ASSERT_EQ(g.h, 792);
        const int left = pageNo == 1 ? dpi : 2 * dpi;
        const int cx = toPt(offX + left + dpi / 2), cy = toPt(offY + dpi + dpi / 2);
        EXPECT_LT(g.at(cx, cy), 64) << "page " << pageNo;
        EXPECT_LT(g.at(toPt(offX + left) + 2, toPt(offY + dpi) + 2), 64) << "page " << pageNo;
        EXPECT_GT(g.at(toPt(offX + left) - 3, cy), 192) << "page " << pageNo;
        EXPECT_GT(g.at(toPt(offX + left + dpi) + 3, cy), 192) << "page " << pageNo;
        EXPECT_GT(g.at(cx, toPt(offY + dpi) - 3), 192) << "page " << pageNo;
        EXPECT_GT(g.at(cx, toPt(offY + 2 * dpi) + 3), 192) << "page " << pageNo;
    }
}

// A page bitmap goes to the printer whole, a part of it, or mirrored: a bitmap black on its left half
// and white on its right, copied whole onto page 1; its left half alone and a mirrored copy onto page 2.
TEST(GdiPrint, BitmapsGoToThePrinterWholeInPartAndMirrored)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string pdf = dir.filePath("copies.pdf").toStdString();
    // A PDF writer is a paged device as a PDF printer is; its pages have no margins.
    QPdfWriter writer(QString::fromStdString(pdf));
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(600);
    CDC dc;
    ASSERT_TRUE(dc.Attach(CreatePagedDeviceDC(&writer)));
    const int dpi = dc.GetDeviceCaps(LOGPIXELSX);
    ASSERT_EQ(dpi, 600);
    const int offX = 0, offY = 0;
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, dpi, dpi));
    CBitmap* old = mem.SelectObject(&bitmap);
    mem.PatBlt(0, 0, dpi, dpi, WHITENESS);
    mem.PatBlt(0, 0, dpi / 2, dpi, BLACKNESS);

    ASSERT_GT(dc.StartDoc("Copies"), 0);
    ASSERT_GT(dc.StartPage(), 0);
    EXPECT_TRUE(dc.BitBlt(dpi, dpi, dpi, dpi, &mem, 0, 0, SRCCOPY));
    dc.EndPage();
    ASSERT_GT(dc.StartPage(), 0);
    EXPECT_TRUE(dc.BitBlt(dpi, dpi, dpi / 2, dpi, &mem, 0, 0, SRCCOPY));
    EXPECT_TRUE(dc.StretchBlt(3 * dpi, dpi, dpi, dpi, &mem, dpi, 0, -dpi, dpi, SRCCOPY));
    dc.EndPage();
    ASSERT_GT(dc.EndDoc(), 0);
    mem.SelectObject(old);
    dc.DeleteDC();

    const std::string prefix = dir.filePath("c").toStdString();
    RunCommand("pdftoppm -r 72 -gray '" + pdf + "' '" + prefix + "'");
    auto toPt = [&](int device) { return int(device * 72 / dpi); };
    // The shade at a quarter and at three quarters across the inch square whose left edge is at `left`.
    auto shades = [&](const Gray& g, int left) {
        const int y = toPt(offY + dpi + dpi / 2);
        return std::pair<int, int>(g.at(toPt(offX + left + dpi / 4), y), g.at(toPt(offX + left + 3 * dpi / 4), y));
    };
    const Gray page1 = ReadPgm(prefix + "-1.pgm");
    const Gray page2 = ReadPgm(prefix + "-2.pgm");
    ASSERT_EQ(page1.w, 612);
    ASSERT_EQ(page2.w, 612);
    EXPECT_LT(shades(page1, dpi).first, 64);
    EXPECT_GT(shades(page1, dpi).second, 192);
    // The left half alone: black, and nothing drawn right of it.
    EXPECT_LT(shades(page2, dpi).first, 64);
    EXPECT_GT(shades(page2, dpi).second, 192);
    EXPECT_LT(page2.at(toPt(offX + dpi + dpi / 2 - dpi / 8), toPt(offY + dpi + dpi / 2)), 64);
    // Mirrored: white on the left, black on the right.
    EXPECT_GT(shades(page2, 3 * dpi).first, 192);
    EXPECT_LT(shades(page2, 3 * dpi).second, 64);
}

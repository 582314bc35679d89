// A full maze page through the device-context layer, drawn the way the cell drawer draws a full
// redraw: a region fill per cell, then each closed wall as a two-point polygon with the wall pen.
// 200 x 260 cells on the default page (7499 x 9499 thousandths, a 250 footer), MM_HIENGLISH, into
// a page bitmap at 96 dpi (the screen's back buffer) and at 600 dpi (a printer page).
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <memory>
#include <vector>

#include "platform/gdi/WinGdi.h"

namespace {

constexpr int kColumns = 200, kRows = 260;
constexpr int kPageWidth = 7499, kPageHeight = 9499, kFooter = 250;
constexpr int kCellW = kPageWidth / kColumns;                  // 37
constexpr int kCellH = -((kPageHeight - kFooter) / kRows);     // -35
constexpr int kPenWidth = 10;                                  // the document's default wall pen

// Closed sides of each cell (bits 1 north, 2 east, 4 south, 8 west) from a fixed pseudo-random walk,
// about half of them closed as in a grown maze.
std::vector<int> Walls()
{
    std::vector<int> w(size_t(kColumns * kRows));
    unsigned state = 1;
    for (int& v : w) {
        state = state * 214013u + 2531011u;
        v = int((state >> 16) & 0xF);
    }
    return w;
}

struct Page {
    HDC reference = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    QBuffer buffer;
    std::unique_ptr<QPdfWriter> pdf;

    explicit Page(int dpi)
    {
        if (dpi != 96) {
            buffer.open(QIODevice::WriteOnly);
            pdf = std::make_unique<QPdfWriter>(&buffer);
            pdf->setResolution(dpi);
            reference = CreatePagedDeviceDC(pdf.get());
        }
        dc = CreateCompatibleDC(reference);
        SetMapMode(dc, MM_HIENGLISH);
        SIZE size{kPageWidth, -kPageHeight};
        POINT corner{size.cx, size.cy};
        LPtoDP(dc, &corner, 1);
        bitmap = CreateCompatibleBitmap(dc, corner.x + 1, corner.y + 1);
        SelectObject(dc, bitmap);
    }
    ~Page()
    {
        DeleteDC(dc);
        DeleteObject(bitmap);
        if (reference)
            DeleteDC(reference);
    }
};

void DrawPage(HDC dc, const std::vector<int>& walls)
{
    BitBlt(dc, 0, 0, kPageWidth + 20, -kPageHeight - 20, nullptr, 0, 0, WHITENESS);
    HPEN pen = CreatePen(PS_SOLID, kPenWidth, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    // Fill pass: every cell's square as a region, filled with a brush of its state's colour.
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kColumns; ++col) {
            const int x = col * kCellW, y = row * kCellH;
            POINT sq[5] = {{x, y}, {x + kCellW, y}, {x + kCellW, y + kCellH}, {x, y + kCellH}, {x, y}};
            HBRUSH brush = CreateSolidBrush((row + col) % 7 ? RGB(255, 255, 255) : RGB(0x80, 0x80, 0xF0));
            HGDIOBJ oldBrush = SelectObject(dc, brush);
            HRGN rgn = CreatePolygonRgn(sq, 4, ALTERNATE);
            FillRgn(dc, rgn, brush);
            DeleteObject(rgn);
            SelectObject(dc, oldBrush);
            DeleteObject(brush);
        }
    // Wall pass: each closed side as a two-point polygon.
    for (int row = 0; row < kRows; ++row)
        for (int col = 0; col < kColumns; ++col) {
            const int x = col * kCellW, y = row * kCellH;
            POINT sq[5] = {{x, y}, {x + kCellW, y}, {x + kCellW, y + kCellH}, {x, y + kCellH}, {x, y}};
            const int closed = walls[size_t(row * kColumns + col)];
            for (int side = 0; side < 4; ++side)
                if (closed & (1 << side))
                    Polygon(dc, &sq[side], 2);
        }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void BM_MazePage(benchmark::State& state)
{
    const int dpi = int(state.range(0));
    Page page(dpi);
    const std::vector<int> walls = Walls();
    for (auto _ : state)
        DrawPage(page.dc, walls);
    BITMAP bm{};
    GetObject(page.bitmap, sizeof bm, &bm);
    state.counters["width"] = bm.bmWidth;
    state.counters["height"] = bm.bmHeight;
    state.counters["cells"] = double(kColumns * kRows);
}
BENCHMARK(BM_MazePage)->Arg(96)->Arg(600)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

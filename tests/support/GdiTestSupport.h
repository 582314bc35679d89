#pragma once
// Shared by the device-context tests: a Qt application for fonts and PDF devices, and a memory canvas
// whose pixels the tests read back in device units.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <set>
#include <utility>

#include "platform/gdi/WinGdi.h"
#include "tests/support/TopDownDib.h"

class GdiQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (!QGuiApplication::instance()) {
            static int argc = 1;
            static char name[] = "gdi_tests";
            static char* argv[] = {name, nullptr};
            new QGuiApplication(argc, argv);
        }
    }
};

inline ::testing::Environment* const g_gdiQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new GdiQtEnvironment);

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kGreen = 0x00FF00;


// A memory context with a w x h bitmap, filled with one colour.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    int w = 0, h = 0;

    Canvas(int width, int height, COLORREF fill = kWhite, HDC reference = nullptr) : w(width), h(height)
    {
        dc = CreateCompatibleDC(reference);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        SelectObject(dc, bitmap);
        HBRUSH b = CreateSolidBrush(fill);
        RECT r{0, 0, w, h};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    // Tests hand the canvas the last font, pen and brush they select (DeleteObject(SelectObject(...))
    // keeps only the new one); like a program, the canvas deletes them with the context.
    ~Canvas()
    {
        DeleteObject(SelectObject(dc, GetStockObject(SYSTEM_FONT)));
        DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN)));
        DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Pixel (x, y) in device units, whatever the context's mapping and clipping.
    COLORREF at(int x, int y) const
    {
        SaveDC(dc);
        SetMapMode(dc, MM_TEXT);
        SetViewportOrgEx(dc, 0, 0, nullptr);
        SetWindowOrgEx(dc, 0, 0, nullptr);
        SelectClipRgn(dc, nullptr);
        COLORREF c = GetPixel(dc, x, y);
        RestoreDC(dc, -1);
        return c;
    }
    std::set<std::pair<int, int>> pixels(COLORREF c) const
    {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y) == c)
                    out.insert({x, y});
        return out;
    }
    // Bounding box (right and bottom exclusive) of the pixels that are not `background`.
    RECT bounds(COLORREF background) const
    {
        RECT r{w, h, 0, 0};
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (at(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    int count(COLORREF c) const { return int(pixels(c).size()); }
    // Every pixel at once, rows from the top, as opaque RGB.
    QImage picture() const
    {
        QImage image(w, h, QImage::Format_RGB32);
        BITMAPINFO info = TopDown32(w, h);
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP)), 0, UINT(h), image.bits(), &info,
                  DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        for (int y = 0; y < h; ++y) {  // GetDIBits leaves the fourth byte 0
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x)
                line[x] |= 0xFF000000u;
        }
        return image;
    }
};

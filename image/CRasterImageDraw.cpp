// Drawing an image into a device context (direct, stretched and blended) and converting between
// images and GDI bitmaps.
#include "image/CRasterImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gdi/WinGdi.h"

namespace {

// A 24-bit bottom-up DIB section of w x h pixels in a memory context compatible with hdc.
struct Section {
    HDC mem = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    BYTE* bits = nullptr;
    DWORD stride = 0;
    BITMAPINFO info{};

    Section(HDC hdc, LONG w, LONG h)
    {
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        stride = ((DWORD(w) * 24 + 31) / 32) * 4;
        mem = CreateCompatibleDC(hdc);
        void* p = nullptr;
        bitmap = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<BYTE*>(p);
        if (bitmap)
            previous = SelectObject(mem, bitmap);
    }
    ~Section()
    {
        if (previous)
            SelectObject(mem, previous);
        DeleteObject(bitmap);
        DeleteDC(mem);
    }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    BYTE* pixel(LONG xx, LONG yy) const { return bits + size_t(yy) * stride + size_t(xx) * 3; }
};

// A memory context in device units over a device-dependent bitmap, which takes many small copies as
// cheaply as one large one (a DIB section is brought in and out of step around each).
bool OnPlainBitmap(HDC hdc)
{
    if (GetObjectType(hdc) != OBJ_MEMDC || GetMapMode(hdc) != MM_TEXT)
        return false;
    BITMAP bm{};
    return GetObject(GetCurrentObject(hdc, OBJ_BITMAP), sizeof bm, &bm) && !bm.bmBits;
}

}  // namespace

LONG CRasterImage::Draw(HDC hdc, const RECT& rect, const RECT* clip, bool smooth)
{
    return Draw(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, clip, smooth);
}

LONG CRasterImage::Draw(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT* clip, bool smooth)
{
    if (!m_pDib || !hdc || cx == 0 || cy == 0 || !m_info.enabled)
        return 0;
    const LONG width = LONG(GetWidth()), height = LONG(GetHeight());
    if (cx < 0)
        cx = width;
    if (cy < 0)
        cy = height;

    // The caller's clip region is kept as it was and put back exactly afterwards.
    HRGN callerClip = nullptr;
    int hadClip = 0;
    if (clip) {
        callerClip = CreateRectRgn(0, 0, 0, 0);
        hadClip = GetClipRgn(hdc, callerClip);
        HRGN r = CreateRectRgnIndirect(clip);
        ExtSelectClipRgn(hdc, r, RGN_AND);
        DeleteObject(r);
    }

    RECT c{};
    GetClipBox(hdc, &c);
    RECT p{};
    p.top = std::min(c.bottom, std::max(c.top, y));
    p.left = std::min(c.right, std::max(c.left, x));
    p.right = std::max(c.left, std::min(c.right, x + cx));
    p.bottom = std::max(c.top, std::min(c.bottom, y + cy));
    const LONG w = p.right - p.left, h = p.bottom - p.top;

    const bool blend = m_info.transIndex != -1 || m_pAlpha || m_info.alphaPaletteEnabled;
    const bool ownSize = cx == width && cy == height;
    const bool indexed = IsIndexed();
    const float fx = float(width) / float(cx), fy = float(height) / float(cy);
    // Source pixel of destination pixel (xx, yy) of the paint box, yy counted from its bottom row;
    // clamped to the image, whose border the arithmetic can otherwise step over. The column depends
    // on xx alone and the row on yy alone.
    auto sourceX = [&](LONG xx, float& dx, LONG& sx) {
        dx = float(xx + p.left - x) * fx;
        sx = std::clamp<LONG>(LONG(std::floor(dx)), 0, width - 1);
    };
    auto sourceY = [&](LONG yy, float& dy, LONG& sy) {
        dy = float(height) - float(p.bottom - yy - y) * fy;
        sy = std::clamp<LONG>(LONG(std::floor(dy)), 0, height - 1);
    };
    auto source = [&](LONG xx, LONG yy, float& dx, float& dy, LONG& sx, LONG& sy) {
        sourceY(yy, dy, sy);
        sourceX(xx, dx, sx);
    };
    auto colourAt = [&](LONG sx, LONG sy, float dx, float dy) {
        if (smooth)
            return GetPixelColorInterpolated(dx - 0.5f, dy - 0.5f, INTERP_BILINEAR, OVERFLOW_REPEAT);
        return indexed ? GetPaletteColor(BlindGetPixelIndex(sx, sy)) : BlindGetPixelColor(sx, sy);
    };

    if (blend) {
        if (w > 0 && h > 0) {
            Section s(hdc, w, h);
            BitBlt(s.mem, 0, 0, w, h, hdc, p.left, p.top, SRCCOPY);
            const RGBQUAD t = GetTransColor();
            const LONG ti = m_info.transIndex;
            if (s.bits) {
                for (LONG yy = 0; yy < h; ++yy) {
                    for (LONG xx = 0; xx < w; ++xx) {
                        LONG sx, sy;
                        float dx = 0, dy = 0;
                        if (ownSize) {
                            sx = std::clamp<LONG>(p.left - x + xx, 0, width - 1);
                            sy = std::clamp<LONG>(height - p.bottom + y + yy, 0, height - 1);
                        } else {
                            source(xx, yy, dx, dy, sx, sy);
                        }
                        LONG a = m_pAlpha ? BlindAlphaGet(sx, sy) : 255;
                        a = (a * (LONG(m_info.alphaMax) + 1)) >> 8;
                        RGBQUAD col;
                        if (indexed) {
                            const BYTE index = BlindGetPixelIndex(sx, sy);
                            col = smooth && !ownSize ? colourAt(sx, sy, dx, dy) : GetPaletteColor(index);
                            if (m_info.alphaPaletteEnabled)
                                a = (a * (LONG(col.rgbReserved) + 1)) >> 8;
                            if (ti != -1 && index == ti)
                                continue;
                        } else {
                            col = smooth && !ownSize ? colourAt(sx, sy, dx, dy) : BlindGetPixelColor(sx, sy);
                            if (ti != -1 && col.rgbBlue == t.rgbBlue && col.rgbGreen == t.rgbGreen &&
                                col.rgbRed == t.rgbRed)
                                continue;
                        }
                        if (a == 0)
                            continue;
                        BYTE* d = s.pixel(xx, yy);
                        if (a == 255) {
                            d[0] = col.rgbBlue;
                            d[1] = col.rgbGreen;
                            d[2] = col.rgbRed;
                        } else {
                            d[0] = BYTE((col.rgbBlue * a + d[0] * (255 - a)) >> 8);
                            d[1] = BYTE((col.rgbGreen * a + d[1] * (255 - a)) >> 8);
                            d[2] = BYTE((col.rgbRed * a + d[2] * (255 - a)) >> 8);
                        }
                    }
                }
            }
            BitBlt(hdc, p.left, p.top, w, h, s.mem, 0, 0, SRCCOPY);
        }
    } else if (ownSize) {
        // Opaque at its own size: the whole image in one call, cropped by the context's clipping.
        SetStretchBltMode(hdc, COLORONCOLOR);
        SetDIBitsToDevice(hdc, x, y, DWORD(cx), DWORD(cy), 0, 0, 0, DWORD(cy), GetBits(),
                          static_cast<const BITMAPINFO*>(m_pDib), DIB_RGB_COLORS);
    } else if (w > 0 && h > 0) {
        // The source column of every destination column, worked out once for all rows.
        std::vector<float> dxs(static_cast<size_t>(w));
        std::vector<LONG> sxs(static_cast<size_t>(w));
        for (LONG xx = 0; xx < w; ++xx)
            sourceX(xx, dxs[size_t(xx)], sxs[size_t(xx)]);
        auto sourceRow = [&](LONG yy) {
            float dy;
            LONG sy;
            sourceY(yy, dy, sy);
            return sy;
        };
        // Row yy of the paint box (counted from its bottom) as pixels of three bytes.
        auto fillRow = [&](BYTE* d, LONG yy) {
            float dy;
            LONG sy;
            sourceY(yy, dy, sy);
            if (!smooth && !indexed) {
                // The nearest pixel of a picture of three bytes a pixel, as BlindGetPixelColor reads it.
                const BYTE* row = m_info.pixels + std::size_t(sy) * m_info.effWidth;
                for (LONG xx = 0; xx < w; ++xx, d += 3) {
                    const BYTE* q = row + std::size_t(sxs[size_t(xx)]) * 3;
                    d[0] = q[0];
                    d[1] = q[1];
                    d[2] = q[2];
                }
                return;
            }
            for (LONG xx = 0; xx < w; ++xx, d += 3) {
                const RGBQUAD col = colourAt(sxs[size_t(xx)], sy, dxs[size_t(xx)], dy);
                d[0] = col.rgbBlue;
                d[1] = col.rgbGreen;
                d[2] = col.rgbRed;
            }
        };
        if (!smooth && OnPlainBitmap(hdc)) {
            // Nearest pixels: the rows that come from one source row are that row stretched down, one
            // call for each run of them.
            struct {
                BITMAPINFOHEADER header;
                RGBQUAD colors[1];
            } info{};
            info.header.biSize = sizeof(BITMAPINFOHEADER);
            info.header.biWidth = w;
            info.header.biHeight = 1;
            info.header.biPlanes = 1;
            info.header.biBitCount = 24;
            info.header.biCompression = BI_RGB;
            std::vector<BYTE> row((size_t(w) * 3 + 3) / 4 * 4);
            for (LONG yy = 0, next = 0; yy < h; yy = next) {
                for (next = yy + 1; next < h && sourceRow(next) == sourceRow(yy);)
                    ++next;
                fillRow(row.data(), yy);
                // Rows yy .. next - 1 count up from the bottom of the box.
                StretchDIBits(hdc, p.left, p.bottom - next, w, next - yy, 0, 0, w, 1, row.data(),
                              reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
            }
        } else {
            Section s(hdc, w, h);
            if (s.bits) {
                for (LONG yy = 0; yy < h; ++yy) {
                    if (!smooth && yy > 0 && sourceRow(yy) == sourceRow(yy - 1))
                        std::memcpy(s.pixel(0, yy), s.pixel(0, yy - 1), size_t(w) * 3);  // the same source row
                    else
                        fillRow(s.pixel(0, yy), yy);
                }
                SetDIBitsToDevice(hdc, p.left, p.top, DWORD(w), DWORD(h), 0, 0, 0, DWORD(h), s.bits, &s.info,
                                  DIB_RGB_COLORS);
            }
        }
    }

    if (clip) {
        SelectClipRgn(hdc, hadClip == 1 ? callerClip : nullptr);
        DeleteObject(callerClip);
    }
    return 1;
}

LONG CRasterImage::DrawDeviceUnits(HDC hdc, const RECT& rect, const RECT* clip, bool smooth)
{
    return DrawDeviceUnits(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, clip, smooth);
}

LONG CRasterImage::DrawDeviceUnits(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT*, bool)
{
    POINT corners[2] = {{x, y}, {x + cx, y + cy}};
    LPtoDP(hdc, corners, 2);
    const int saved = SaveDC(hdc);
    SetMapMode(hdc, MM_TEXT);
    const RECT device{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    Draw(hdc, device);
    RestoreDC(hdc, saved);
    return 1;
}

HBITMAP CRasterImage::MakeBitmap(HDC hdc)
{
    if (!m_pDib)
        return nullptr;
    const auto* info = static_cast<const BITMAPINFO*>(m_pDib);
    if (hdc)
        return CreateDIBitmap(hdc, &m_head, CBM_INIT, GetBits(), info, DIB_RGB_COLORS);
    HDC mem = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(mem, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits)
        std::memcpy(bits, GetBits(), m_head.biSizeImage);
    DeleteDC(mem);
    return bitmap;
}

bool CRasterImage::CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette)
{
    if (!Destroy())
        return false;
    if (!bitmap)
        return false;
    BITMAP bm{};
    if (!GetObject(bitmap, sizeof bm, &bm))
        return false;
    if (!Create(bm.bmWidth, bm.bmHeight, bm.bmBitsPixel, 0))
        return false;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    if (palette) {
        SelectPalette(screen, palette, TRUE);
        RealizePalette(screen);
    }
    const bool ok = GetDIBits(screen, bitmap, 0, GetHeight(), GetBits(), static_cast<BITMAPINFO*>(m_pDib),
                              DIB_RGB_COLORS) != 0;
    ReleaseDC(nullptr, screen);
    if (!ok) {
        SetLastError("GetDIBits failed");
        return false;
    }
    return true;
}

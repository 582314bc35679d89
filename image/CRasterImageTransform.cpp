// Whole-image transforms and the selection plane. Each transform builds its result in a temporary
// image and moves it into place; the result of that move is the transform's result.
#include "image/CRasterImage.h"

#include "image/CheckedMath.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool CRasterImage::Crop(LONG left, LONG top, LONG right, LONG bottom, CRasterImage* destination)
{
    if (!m_pDib)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    left = raster::Clamp<LONG>(left, 0, w);
    right = raster::Clamp<LONG>(right, 0, w);
    top = raster::Clamp<LONG>(top, 0, h);
    bottom = raster::Clamp<LONG>(bottom, 0, h);
    if (left == right || top == bottom)
        return false;
    LONG startRow = h - top, endRow = h - bottom;
    if (left > right)
        std::swap(left, right);
    if (startRow > endRow)
        std::swap(startRow, endRow);

    const LONG newW = right - left, newH = endRow - startRow;
    CRasterImage tmp(newW, newH, m_head.biBitCount, m_info.type);
    if (!tmp.IsValid())
        return false;
    tmp.SetPalette(GetPalette(), m_head.biClrUsed);
    tmp.m_info.transIndex = m_info.transIndex;
    tmp.m_info.transColor = m_info.transColor;

    const WORD bpp = m_head.biBitCount;
    for (LONG y = 0; y < newH; ++y) {
        const LONG sy = startRow + y;
        if (bpp >= 8) {
            const BYTE* src = m_info.pixels + std::size_t(sy) * m_info.effWidth + (std::size_t(bpp) * left) / 8;
            std::memcpy(tmp.m_info.pixels + std::size_t(y) * tmp.m_info.effWidth, src, (std::size_t(bpp) * newW) / 8);
        } else {
            for (LONG x = 0; x < newW; ++x)
                tmp.BlindSetPixelIndex(x, y, BlindGetPixelIndex(left + x, sy));
        }
        m_info.progress = LONG(100LL * sy / endRow);
    }
    if (m_pAlpha) {
        tmp.AlphaCreate();
        if (!tmp.m_pAlpha)
            return false;
        for (LONG y = 0; y < newH; ++y)
            std::memcpy(tmp.m_pAlpha + std::size_t(y) * newW, m_pAlpha + std::size_t(startRow + y) * w + left,
                        std::size_t(newW));
    }
    return (destination ? destination : this)->Transfer(tmp);
}

bool CRasterImage::IncreaseBpp(DWORD bits)
{
    if (!m_pDib || (bits != 4 && bits != 8 && bits != 24))
        return false;
    if (m_head.biBitCount == bits)
        return true;
    if (m_head.biBitCount > bits)
        return false;

    const LONG w = m_head.biWidth, h = m_head.biHeight;
    CRasterImage tmp;
    tmp.CopyInfo(*this);
    tmp.Create(w, h, bits, m_info.type);
    if (!tmp.IsValid())
        return false;
    tmp.m_head.biXPelsPerMeter = m_head.biXPelsPerMeter;
    tmp.m_head.biYPelsPerMeter = m_head.biYPelsPerMeter;
    std::memcpy(tmp.m_pDib, &tmp.m_head, sizeof tmp.m_head);

    if (bits < 24) {
        tmp.SetPalette(GetPalette(), m_head.biClrUsed);
        tmp.SelectionCopy(*this);
        tmp.AlphaCopy(*this);
        for (LONG y = 0; y < h && !m_info.escape; ++y)
            for (LONG x = 0; x < w; ++x)
                tmp.BlindSetPixelIndex(x, y, BlindGetPixelIndex(x, y));
    } else {
        if (m_info.transIndex >= 0)
            tmp.SetTransColor(GetPaletteColor(BYTE(m_info.transIndex)));
        tmp.SelectionCopy(*this);
        tmp.AlphaCopy(*this);
        if (AlphaPaletteIsValid() && !m_pAlpha)
            tmp.AlphaCreate();
        for (LONG y = 0; y < h && !m_info.escape; ++y)
            for (LONG x = 0; x < w; ++x)
                tmp.BlindSetPixelColor(x, y, GetPixelColor(x, y, true), true);
    }
    return Transfer(tmp);
}

namespace {

// Flip and Mirror: a copy with the same size, depth, palette, info block and alpha plane but no
// pixels and no selection, which fill(copy) draws; then it replaces the image.
template <class Fill>
bool RebuildWithoutSelection(CRasterImage& self, Fill fill)
{
    if (!self.IsValid())
        return false;
    CRasterImage tmp;
    tmp.Copy(self, false, false, true);
    if (!tmp.IsValid())
        return false;
    fill(tmp);
    return self.Transfer(tmp);
}

} // namespace

bool CRasterImage::Flip()
{
    return RebuildWithoutSelection(*this, [this](CRasterImage& tmp) {
        const DWORD h = GetHeight(), stride = m_info.effWidth;
        for (DWORD y = 0; y < h; ++y)
            std::memcpy(tmp.m_info.pixels + std::size_t(h - 1 - y) * stride, m_info.pixels + std::size_t(y) * stride,
                        stride);
        tmp.AlphaFlip();
    });
}

bool CRasterImage::Mirror()
{
    return RebuildWithoutSelection(*this, [this](CRasterImage& tmp) {
        const LONG w = m_head.biWidth, h = m_head.biHeight;
        for (LONG y = 0; y < h; ++y) {
            const BYTE* s = m_info.pixels + std::size_t(y) * m_info.effWidth;
            BYTE* d = tmp.m_info.pixels + std::size_t(y) * m_info.effWidth;
            switch (m_head.biBitCount) {
            case 8:
                for (LONG x = 0; x < w; ++x)
                    d[x] = s[w - 1 - x];
                break;
            case 24:
                for (LONG x = 0; x < w; ++x)
                    std::memcpy(d + 3 * std::size_t(x), s + 3 * std::size_t(w - 1 - x), 3);
                break;
            default:
                for (LONG x = 0; x < w; ++x)
                    tmp.BlindSetPixelIndex(x, y, BlindGetPixelIndex(w - 1 - x, y));
                break;
            }
        }
        tmp.AlphaMirror();
    });
}

namespace {

enum class Turn { Left, Right };

// Destination (x, y) of a source pixel (sx, sy) for a quarter turn of a W x H image.
inline void TurnedPosition(Turn turn, LONG w, LONG h, LONG sx, LONG sy, LONG& x, LONG& y)
{
    if (turn == Turn::Left) {
        x = h - 1 - sy;
        y = sx;
    } else {
        x = sy;
        y = w - 1 - sx;
    }
}

// Source (sx, sy) of a destination pixel (x, y).
inline void TurnedSource(Turn turn, LONG w, LONG h, LONG x, LONG y, LONG& sx, LONG& sy)
{
    (void)w;
    if (turn == Turn::Left) {
        sx = y;
        sy = h - 1 - x;
    } else {
        sx = w - 1 - y;
        sy = x;
    }
}

} // namespace

bool CRasterImage::RotateLeft(CRasterImage* destination)
{
    return RotateQuarter(destination, false);
}

bool CRasterImage::RotateRight(CRasterImage* destination)
{
    return RotateQuarter(destination, true);
}

bool CRasterImage::RotateQuarter(CRasterImage* destination, bool clockwise)
{
    CRasterImage& self = *this;
    const Turn turn = clockwise ? Turn::Right : Turn::Left;
    if (!self.IsValid())
        return false;
    const LONG w = LONG(self.GetWidth()), h = LONG(self.GetHeight());
    const WORD bpp = self.GetBpp();
    CRasterImage tmp;
    tmp.CopyInfo(self);
    tmp.Create(h, w, bpp, self.GetType());
    if (!tmp.IsValid())
        return false;
    tmp.SetPalette(self.GetPalette(), 256);
    if (self.AlphaIsValid()) {
        tmp.AlphaCreate();
        if (!tmp.AlphaIsValid())
            return false;
    }
    const BYTE* srcAlpha = self.AlphaIsValid() ? self.AlphaGetPointer(0, 0) : nullptr;
    BYTE* dstAlpha = tmp.AlphaIsValid() ? tmp.AlphaGetPointer(0, 0) : nullptr;
    const LONG dw = h, dh = w;

    if (bpp == 1) {
        // Bit by bit: each source byte feeds eight destination rows (or columns).
        const DWORD srcStride = self.GetEffWidth();
        const BYTE* src = self.GetBits(0);
        for (LONG sy = 0; sy < h; ++sy) {
            const BYTE* row = src + std::size_t(sy) * srcStride;
            for (LONG bx = 0; bx * 8 < w; ++bx) {
                BYTE b = row[bx];
                if (!b)
                    continue;
                for (LONG k = 0; k < 8 && bx * 8 + k < w; ++k) {
                    if (b & (0x80 >> k)) {
                        LONG x, y;
                        TurnedPosition(turn, w, h, bx * 8 + k, sy, x, y);
                        tmp.SetPixelIndex(x, y, 1);
                    }
                }
            }
        }
        if (dstAlpha)
            for (LONG y = 0; y < dh; ++y)
                for (LONG x = 0; x < dw; ++x) {
                    LONG sx, sy;
                    TurnedSource(turn, w, h, x, y, sx, sy);
                    dstAlpha[std::size_t(y) * dw + x] = srcAlpha[std::size_t(sy) * w + sx];
                }
    } else {
        // 64 x 64 destination blocks keep source and destination rows in cache.
        const DWORD srcStride = self.GetEffWidth(), dstStride = tmp.GetEffWidth();
        const BYTE* src = self.GetBits(0);
        BYTE* dst = tmp.GetBits(0);
        for (LONG by = 0; by < dh; by += 64) {
            for (LONG bx = 0; bx < dw; bx += 64) {
                const LONG ey = std::min(dh, by + 64), ex = std::min(dw, bx + 64);
                for (LONG y = by; y < ey; ++y) {
                    for (LONG x = bx; x < ex; ++x) {
                        LONG sx, sy;
                        TurnedSource(turn, w, h, x, y, sx, sy);
                        if (bpp == 24)
                            std::memcpy(dst + std::size_t(y) * dstStride + 3 * std::size_t(x),
                                        src + std::size_t(sy) * srcStride + 3 * std::size_t(sx), 3);
                        else
                            tmp.SetPixelIndex(x, y, self.GetPixelIndex(sx, sy));
                    }
                }
                if (dstAlpha)
                    for (LONG y = by; y < ey; ++y)
                        for (LONG x = bx; x < ex; ++x) {
                            LONG sx, sy;
                            TurnedSource(turn, w, h, x, y, sx, sy);
                            dstAlpha[std::size_t(y) * dw + x] = srcAlpha[std::size_t(sy) * w + sx];
                        }
            }
            if (turn == Turn::Right)
                self.m_info.progress = LONG(100LL * by / dh);
        }
        if (turn == Turn::Left)
            self.m_info.progress = 100;
    }
    return (destination ? destination : &self)->Transfer(tmp);
}

bool CRasterImage::Negative()
{
    if (!m_pDib)
        return false;
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    // The selection box, clamped to the image.
    const LONG left = raster::Clamp<LONG>(m_info.selectionBox.left, 0, w);
    const LONG right = raster::Clamp<LONG>(m_info.selectionBox.right, 0, w);
    const LONG bottom = raster::Clamp<LONG>(m_info.selectionBox.bottom, 0, h);
    const LONG top = raster::Clamp<LONG>(m_info.selectionBox.top, 0, h);

    if (m_head.biBitCount == 24) {
        if (m_pSelection) {
            for (LONG y = bottom; y < top; ++y)
                for (LONG x = left; x < right; ++x)
                    if (SelectionIsInside(x, y)) {
                        BYTE* p = m_info.pixels + std::size_t(y) * m_info.effWidth + 3 * std::size_t(x);
                        p[0] = BYTE(~p[0]);
                        p[1] = BYTE(~p[1]);
                        p[2] = BYTE(~p[2]);
                    }
        } else {
            for (DWORD i = 0; i < m_head.biSizeImage; ++i)
                m_info.pixels[i] = BYTE(~m_info.pixels[i]);
        }
        m_info.transColor.rgbBlue = BYTE(~m_info.transColor.rgbBlue);
        m_info.transColor.rgbGreen = BYTE(~m_info.transColor.rgbGreen);
        m_info.transColor.rgbRed = BYTE(~m_info.transColor.rgbRed);
        return true;
    }

    if (!IsGrayScale()) {
        RGBQUAD* pal = GetPalette();
        for (DWORD i = 0; pal && i < m_head.biClrUsed; ++i) {
            pal[i].rgbBlue = BYTE(~pal[i].rgbBlue);
            pal[i].rgbGreen = BYTE(~pal[i].rgbGreen);
            pal[i].rgbRed = BYTE(~pal[i].rgbRed);
        }
        m_info.lastColorValid = false;
        return true;
    }
    const BYTE maxIndex = BYTE((1u << m_head.biBitCount) - 1);
    const LONG x0 = m_pSelection ? left : 0, x1 = m_pSelection ? right : w;
    const LONG y0 = m_pSelection ? bottom : 0, y1 = m_pSelection ? top : h;
    for (LONG y = y0; y < y1; ++y)
        for (LONG x = x0; x < x1; ++x)
            if (!m_pSelection || SelectionIsInside(x, y))
                BlindSetPixelIndex(x, y, BYTE(maxIndex - BlindGetPixelIndex(x, y)));
    return true;
}

bool CRasterImage::SelectionDelete()
{
    std::free(m_pSelection);
    m_pSelection = nullptr;
    m_info.selectionBox = CRasterBox{m_head.biWidth, 0, 0, m_head.biHeight};
    return true;
}

bool CRasterImage::SelectionIsInside(LONG x, LONG y) const
{
    if (!IsInside(x, y))
        return false;
    if (!m_pSelection)
        return true;
    return m_pSelection[std::size_t(x) + std::size_t(y) * GetWidth()] != 0;
}

bool CRasterImage::SelectionCopy(const CRasterImage& from)
{
    if (!from.m_pSelection || from.GetWidth() != GetWidth() || from.GetHeight() != GetHeight())
        return false;
    if (&from == this)
        return true;
    std::size_t n = std::size_t(GetWidth()) * GetHeight();
    if (!m_pSelection)
        m_pSelection = static_cast<BYTE*>(AllocatePixels(n, false));
    if (!m_pSelection)
        return false;
    std::memcpy(m_pSelection, from.m_pSelection, n);
    m_info.selectionBox = from.m_info.selectionBox;
    return true;
}

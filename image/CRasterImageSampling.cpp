// Sampling an image at real coordinates with sixteen interpolation kernels and six rules for
// neighbours outside the image.
#include "image/CRasterImage.h"

#include "image/CheckedMath.h"

#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
// Coordinates are clamped to this range before they are turned into integers, so that absurd or
// non-finite input samples far outside the image instead of overflowing.
constexpr float kCoordLimit = 1.0e9f;

float ClampCoord(float v)
{
    if (!(v > -kCoordLimit)) // also catches NaN
        return -kCoordLimit;
    return v > kCoordLimit ? kCoordLimit : v;
}

LONG FloorIndex(float v)
{
    LONG i = LONG(v);
    return v < 0 ? i - 1 : i;
}

BYTE ToByte(float v)
{
    if (!(v > 0))
        return 0;
    return v >= 255.0f ? 255 : BYTE(v);
}

double Horner(const double* c, int n, double s)
{
    double r = 0;
    for (int i = 0; i < n; ++i)
        r = r * s + c[i];
    return r;
}

} // namespace

// ---------------------------------------------------------------- overflow

void CRasterImage::ResolveOverflow(LONG& x, LONG& y, LONG overflow) const
{
    const LONG w = m_head.biWidth, h = m_head.biHeight;
    if (w <= 0 || h <= 0 || IsInside(x, y))
        return;
    switch (overflow) {
    case OVERFLOW_WRAP:
        x %= w;
        if (x < 0)
            x += w;
        y %= h;
        if (y < 0)
            y += h;
        break;
    case OVERFLOW_REPEAT:
        x = raster::Clamp<LONG>(x, 0, w - 1);
        y = raster::Clamp<LONG>(y, 0, h - 1);
        break;
    case OVERFLOW_MIRROR:
        if (x < 0)
            x = LONG((-std::int64_t(x)) % w);
        else if (x >= w)
            x = w - (x % w) - 1;
        if (y < 0)
            y = LONG((-std::int64_t(y)) % h);
        else if (y >= h)
            y = h - (y % h) - 1;
        break;
    default: break;
    }
}

void CRasterImage::ResolveOverflow(float& x, float& y, LONG overflow) const
{
    const float w = float(m_head.biWidth), h = float(m_head.biHeight);
    if (w <= 0 || h <= 0)
        return;
    if (x >= 0 && x < w && y >= 0 && y < h)
        return;
    switch (overflow) {
    case OVERFLOW_WRAP:
        x = std::fmod(x, w);
        if (x < 0)
            x += w;
        y = std::fmod(y, h);
        if (y < 0)
            y += h;
        break;
    case OVERFLOW_REPEAT:
        if (!(x > 0))
            x = 0;
        if (x > w - 1)
            x = w - 1;
        if (!(y > 0))
            y = 0;
        if (y > h - 1)
            y = h - 1;
        break;
    case OVERFLOW_MIRROR:
        if (x < 0)
            x = std::fmod(-x, w);
        else if (x >= w)
            x = w - (std::fmod(x, w) + 1);
        if (y < 0)
            y = std::fmod(-y, h);
        else if (y >= h)
            y = h - (std::fmod(y, h) + 1);
        break;
    default: break;
    }
}

RGBQUAD CRasterImage::GetOverflowPixelColor(LONG x, LONG y, LONG overflow, const RGBQUAD* replacement) const
{
    auto pixel = [this](LONG px, LONG py) {
        if (m_head.biClrUsed)
            return GetPalette()[BlindGetPixelIndex(px, py)];
        const BYTE* p = m_info.pixels + std::size_t(py) * m_info.effWidth + 3 * std::size_t(px);
        return RGBQUAD{p[0], p[1], p[2], BYTE(m_pAlpha ? BlindAlphaGet(px, py) : 0)};
    };
    if (m_pDib && IsInside(x, y))
        return pixel(x, y);
    RGBQUAD color = replacement ? *replacement : RGBQUAD{255, 255, 255, 0};
    if (!m_pDib)
        return color;
    switch (overflow) {
    case OVERFLOW_BACKGROUND:
        if (m_info.transIndex == -1)
            return color;
        return m_head.biBitCount < 24 ? TransparentColorOrPalette() : m_info.transColor;
    case OVERFLOW_TRANSPARENT:
        if (m_pAlpha) {
            color.rgbReserved = 0;
            return color;
        }
        if (m_info.transIndex >= 0)
            return TransparentColorOrPalette();
        return color;
    case OVERFLOW_WRAP:
    case OVERFLOW_REPEAT:
    case OVERFLOW_MIRROR:
        ResolveOverflow(x, y, overflow);
        return IsInside(x, y) ? pixel(x, y) : color;
    default: return color;
    }
}

// ---------------------------------------------------------------- interpolation

RGBQUAD CRasterImage::GetPixelColorInterpolated(float x, float y, LONG method, LONG overflow,
                                                const RGBQUAD* replacement) const
{
    x = ClampCoord(x);
    y = ClampCoord(y);
    if (method < INTERP_NEAREST || method > INTERP_CATMULL_ROM)
        method = INTERP_BILINEAR;
    if (method == INTERP_NEAREST)
        return GetOverflowPixelColor(LONG(x + 0.5f), LONG(y + 0.5f), overflow, replacement);

    const LONG w = m_head.biWidth, h = m_head.biHeight;
    // Neighbourhood: taps xi - before .. xi + after.
    const LONG before = method == INTERP_BILINEAR ? 0 : method == INTERP_LANCZOS ? 5 : 1;
    const LONG after = method == INTERP_BILINEAR ? 1 : method == INTERP_LANCZOS ? 6 : 2;
    LONG xi = FloorIndex(x), yi = FloorIndex(y);
    if (xi + after < 0 || xi - before >= w || yi + after < 0 || yi - before >= h) {
        if (overflow == OVERFLOW_COLOR || overflow == OVERFLOW_BACKGROUND || overflow == OVERFLOW_TRANSPARENT)
            return GetOverflowPixelColor(-999, -999, overflow, replacement);
        ResolveOverflow(x, y, overflow);
        xi = FloorIndex(x);
        yi = FloorIndex(y);
    }
    const bool inside = m_pDib && xi - before >= 0 && yi - before >= 0 && xi + after < w && yi + after < h;

    if (method == INTERP_BILINEAR) {
        if (inside && m_head.biClrUsed == 0) {
            const unsigned ix = unsigned((x - float(xi)) * 256.0f), iy = unsigned((y - float(yi)) * 256.0f);
            const unsigned ixy = (ix * iy) >> 8;
            const unsigned w00 = 256 - ix - iy + ixy, w10 = ix - ixy, w01 = iy - ixy, w11 = ixy;
            const BYTE* r0 = m_info.pixels + std::size_t(yi) * m_info.effWidth + 3 * std::size_t(xi);
            const BYTE* r1 = r0 + m_info.effWidth;
            RGBQUAD c;
            c.rgbBlue = BYTE(std::uint16_t(w00 * r0[0] + w10 * r0[3] + w01 * r1[0] + w11 * r1[3]) >> 8);
            c.rgbGreen = BYTE(std::uint16_t(w00 * r0[1] + w10 * r0[4] + w01 * r1[1] + w11 * r1[4]) >> 8);
            c.rgbRed = BYTE(std::uint16_t(w00 * r0[2] + w10 * r0[5] + w01 * r1[2] + w11 * r1[5]) >> 8);
            if (m_pAlpha) {
                const BYTE* a0 = m_pAlpha + std::size_t(yi) * w + xi;
                const BYTE* a1 = a0 + w;
                c.rgbReserved = BYTE(std::uint16_t(w00 * a0[0] + w10 * a0[1] + w01 * a1[0] + w11 * a1[1]) >> 8);
            } else {
                c.rgbReserved = 0;
            }
            return c;
        }
        const float t = x - float(xi), u = y - float(yi);
        const float w00 = (1 - t) - (u - t * u), w10 = t - t * u, w01 = u - t * u, w11 = t * u;
        const RGBQUAD c00 = GetOverflowPixelColor(xi, yi, overflow, replacement);
        const RGBQUAD c10 = GetOverflowPixelColor(xi + 1, yi, overflow, replacement);
        const RGBQUAD c01 = GetOverflowPixelColor(xi, yi + 1, overflow, replacement);
        const RGBQUAD c11 = GetOverflowPixelColor(xi + 1, yi + 1, overflow, replacement);
        auto mix = [&](BYTE a, BYTE b, BYTE c, BYTE d) { return ToByte(w00 * a + w10 * b + w01 * c + w11 * d); };
        RGBQUAD r;
        r.rgbBlue = mix(c00.rgbBlue, c10.rgbBlue, c01.rgbBlue, c11.rgbBlue);
        r.rgbGreen = mix(c00.rgbGreen, c10.rgbGreen, c01.rgbGreen, c11.rgbGreen);
        r.rgbRed = mix(c00.rgbRed, c10.rgbRed, c01.rgbRed, c11.rgbRed);
        r.rgbReserved = m_pAlpha ? mix(c00.rgbReserved, c10.rgbReserved, c01.rgbReserved, c11.rgbReserved) : 0;
        return r;
    }

    float (*kernel)(float) = nullptr;
    switch (method) {
    case INTERP_BSPLINE: kernel = KernelBSpline; break;
    case INTERP_BICUBIC: kernel = KernelCubic; break;
    case INTERP_BICUBIC_HALF: kernel = [](float d) { return KernelGeneralizedCubic(d, -0.5f); }; break;
    case INTERP_LANCZOS: kernel = [](float d) { return KernelLanczosSinc(d, 6.0f); }; break;
    case INTERP_BOX: kernel = KernelBox; break;
    case INTERP_HERMITE: kernel = KernelHermite; break;
    case INTERP_DAMPED_HERMITE: kernel = KernelDampedHermite; break;
    case INTERP_SINC: kernel = KernelSinc; break;
    case INTERP_BLACKMAN: kernel = KernelBlackman; break;
    case INTERP_BESSEL: kernel = KernelBessel; break;
    case INTERP_GAUSSIAN: kernel = KernelGaussian; break;
    case INTERP_QUADRATIC: kernel = KernelQuadratic; break;
    case INTERP_MITCHELL: kernel = KernelMitchell; break;
    default: kernel = KernelCatmullRom; break;
    }
    const LONG taps = before + after + 1;
    float wx[12], wy[12];
    for (LONG i = 0; i < taps; ++i) {
        wx[i] = kernel(float(xi - before + i) - x);
        wy[i] = kernel(float(yi - before + i) - y);
    }
    float sb = 0, sg = 0, sr = 0, sa = 0;
    const bool fast = inside && m_head.biBitCount == 24;
    for (LONG j = 0; j < taps; ++j) {
        const LONG ty = yi - before + j;
        for (LONG i = 0; i < taps; ++i) {
            const LONG tx = xi - before + i;
            const float wt = wx[i] * wy[j];
            RGBQUAD c;
            if (fast) {
                const BYTE* p = m_info.pixels + std::size_t(ty) * m_info.effWidth + 3 * std::size_t(tx);
                c = RGBQUAD{p[0], p[1], p[2], BYTE(m_pAlpha ? BlindAlphaGet(tx, ty) : 0)};
            } else {
                c = GetOverflowPixelColor(tx, ty, overflow, replacement);
            }
            sb += wt * c.rgbBlue;
            sg += wt * c.rgbGreen;
            sr += wt * c.rgbRed;
            sa += wt * c.rgbReserved;
        }
    }
    return RGBQUAD{ToByte(sb), ToByte(sg), ToByte(sr), BYTE(m_pAlpha ? ToByte(sa) : 0)};
}

// ---------------------------------------------------------------- kernels

float CRasterImage::KernelBSpline(float d)
{
    if (d > 2)
        return 0;
    auto p = [](float t) { return t > 0 ? t * t * t : 0.0f; };
    return (p(d + 2) - 4 * p(d + 1) + 6 * p(d) - 4 * p(d - 1)) * 0.16666667f;
}

float CRasterImage::KernelCubic(float d)
{
    const float a = std::fabs(d), d2 = d * d, a3 = a * a * a;
    if (a < 1)
        return 1 - 2 * d2 + a3;
    if (a < 2)
        return 4 - 8 * a + 5 * d2 - a3;
    return 0;
}

float CRasterImage::KernelGeneralizedCubic(float d, float a)
{
    const float t = std::fabs(d), d2 = d * d, t3 = t * t * t;
    if (t < 1)
        return (a + 2) * t3 - (a + 3) * d2 + 1;
    if (t < 2)
        return a * t3 - 5 * a * d2 + 8 * a * t - 4 * a;
    return 0;
}

float CRasterImage::KernelLanczosSinc(float d, float radius)
{
    if (std::fabs(d) > radius)
        return 0;
    if (d == 0)
        return 1;
    auto sinc = [](float t) { return std::sin(kPi * t) / (kPi * t); };
    return sinc(d) * sinc(d / radius);
}

float CRasterImage::KernelBox(float d)
{
    return (d >= -0.5f && d < 0.5f) ? 1.0f : 0.0f;
}

float CRasterImage::KernelHermite(float d)
{
    if (d < -1 || d >= 1)
        return 0;
    const float a = std::fabs(d);
    return 2 * a * a * a - 3 * d * d + 1;
}

float CRasterImage::KernelDampedHermite(float d)
{
    if (d < -1 || d >= 1)
        return 0;
    const float a = std::fabs(d);
    return 0.92f * (2 * a * a * a - 3 * d * d) + 1;
}

float CRasterImage::KernelSinc(float d)
{
    if (d == 0)
        return 1;
    return std::sin(kPi * d) / (kPi * d);
}

float CRasterImage::KernelBlackman(float d)
{
    return 0.42f + 0.5f * std::cos(kPi * d) + 0.08f * std::cos(2 * kPi * d);
}

float CRasterImage::KernelBessel(float d)
{
    if (d == 0)
        return 0.7853982f;
    return float(BesselOrderOne(double(kPi) * d) / (2.0 * d));
}

float CRasterImage::KernelGaussian(float d)
{
    return 0.7978845834732056f * std::exp(-2.0f * d * d);
}

float CRasterImage::KernelQuadratic(float d)
{
    if (d < -1.5f)
        return 0;
    if (d < -0.5f)
        return 0.5f * (d + 1.5f) * (d + 1.5f);
    if (d < 0.5f)
        return 0.75f - d * d;
    if (d < 1.5f)
        return 0.5f * (d - 1.5f) * (d - 1.5f);
    return 0;
}

float CRasterImage::KernelMitchell(float d)
{
    const float a = std::fabs(d), d2 = d * d, a3 = a * a * a;
    if (a < 1)
        return 1.1666666f * a3 - 2 * d2 + 0.8888889f;
    if (a < 2)
        return -0.38888887f * a3 + 2 * d2 - 3.3333333f * a + 1.7777778f;
    return 0;
}

float CRasterImage::KernelCatmullRom(float d)
{
    const float a = std::fabs(d), d2 = d * d, a3 = a * a * a;
    if (a < 1)
        return 0.5f * (3 * a3 - 5 * d2 + 2);
    if (a < 2)
        return 0.5f * (-a3 + 5 * d2 - 8 * a + 4);
    return 0;
}

double CRasterImage::BesselOrderOne(double x)
{
    if (x == 0)
        return 0;
    const double p = std::fabs(x);
    if (p < 8) {
        static const double n[] = {2701.1227108923235,    -4695753.530642996,   3413234182.3017006,
                                   -1322983480332.1265,   290879526383477.56,   -35888175699101060.0,
                                   2.3164335806340024e18, -6.672106568924916e19, 5.811993540016061e20};
        static const double d[] = {1.0,
                                   1606.9315734814877,
                                   1501793.5949985855,
                                   1013863514.358674,
                                   524371026216.76495,
                                   208166122130760.75,
                                   6.092061398917522e16,
                                   1.185770712190321e19,
                                   1.1623987080032122e21};
        const double s = x * x;
        return x * Horner(n, 9, s) / Horner(d, 9, s);
    }
    static const double pn[] = {1.2571716929145342,  211.15291828539623, 4985.4832060594335,
                                31353.963110915956,  62758.84524716128,  35224.66491336798};
    static const double pd[] = {1.0, 203.07751891347593, 4930.396490181089, 31240.406381904104,
                                62694.34695935605, 35224.66491336798};
    static const double qn[] = {0.03532840052740124, 4.568171629551227, 83.18989576738508,
                                425.98730116544425,  721.0391804904475, 351.17519143035526};
    static const double qd[] = {1.0, 103.81875854621337, 1811.1867005523513, 9152.231701516992,
                                15414.177339265098, 7491.737417180912};
    const double t = (8.0 / p) * (8.0 / p);
    const double p1 = Horner(pn, 6, t) / Horner(pd, 6, t);
    const double q1 = Horner(qn, 6, t) / Horner(qd, 6, t);
    const double pi = 3.14159265358979323846;
    const double sq2 = std::sqrt(2.0);
    double r = std::sqrt(2.0 / (pi * p)) *
               (p1 * (std::sin(p) - std::cos(p)) / sq2 + (8.0 / p) * q1 * (std::sin(p) + std::cos(p)) / sq2);
    return x < 0 ? -r : r;
}

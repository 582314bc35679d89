#pragma once
// The one in-memory raster image of the program: a packed device-independent bitmap (40-byte header,
// palette, bottom-up rows padded to 4 bytes) of 1, 4, 8 or 24 bits per pixel, with optional alpha and
// selection planes, and an info block with the format id, codec options, transparency, resolution and
// the text of the last error. Failures return false/null and leave a message in GetLastError().
#include "platform/core/GdiHandles.h"
#include "platform/core/Resource.h"
#include "platform/core/WinBitmap.h"
#include "platform/core/WinTypes.h"

#include <cstdio>

class CRasterFile;
class CRasterImage;
struct RECT;

// Format ids; stored with each layer image in documents, so the numbers never change.
enum ImageFormat : DWORD {
    IMAGE_FORMAT_UNKNOWN = 0, // detect from content
    IMAGE_FORMAT_BMP = 1,
    IMAGE_FORMAT_GIF = 2,
    IMAGE_FORMAT_JPG = 3,
    IMAGE_FORMAT_PNG = 4,
    IMAGE_FORMAT_ICO = 5,
    IMAGE_FORMAT_TIF = 6,
    IMAGE_FORMAT_TGA = 7,
    IMAGE_FORMAT_PCX = 8,
    IMAGE_FORMAT_WBMP = 9,
    IMAGE_FORMAT_WMF = 10,
    IMAGE_FORMAT_JP2 = 11,
    IMAGE_FORMAT_JPC = 12,
    IMAGE_FORMAT_PGX = 13,
    IMAGE_FORMAT_PNM = 14,
    IMAGE_FORMAT_RAS = 15,
};
constexpr DWORD IMAGE_FORMAT_COUNT = 16;

// Answer for a sampled neighbour outside the image.
enum OverflowMethod : LONG {
    OVERFLOW_COLOR = 1,       // the replacement colour
    OVERFLOW_BACKGROUND = 2,  // the transparent colour, else the replacement colour
    OVERFLOW_TRANSPARENT = 3, // transparent: replacement with alpha 0, or the transparent colour
    OVERFLOW_WRAP = 4,        // coordinates modulo the size
    OVERFLOW_REPEAT = 5,      // coordinates clamped to the border
    OVERFLOW_MIRROR = 6,      // coordinates reflected at the border
};

enum InterpolationMethod : LONG {
    INTERP_NEAREST = 1,
    INTERP_BILINEAR = 2,
    INTERP_BSPLINE = 3,
    INTERP_BICUBIC = 4,
    INTERP_BICUBIC_HALF = 5,
    INTERP_LANCZOS = 6,
    INTERP_BOX = 7,
    INTERP_HERMITE = 8,
    INTERP_DAMPED_HERMITE = 9,
    INTERP_SINC = 10,
    INTERP_BLACKMAN = 11,
    INTERP_BESSEL = 12,
    INTERP_GAUSSIAN = 13,
    INTERP_QUADRATIC = 14,
    INTERP_MITCHELL = 15,
    INTERP_CATMULL_ROM = 16,
};

// A colour as red, green, blue bytes in that order (palette tables of some file formats).
struct RgbColor {
    BYTE r;
    BYTE g;
    BYTE b;
};

// Selection box: right and top exclusive; top > bottom in the bottom-up pixel coordinates.
struct CRasterBox {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

// The plain part of an image: copied as a whole by Copy/CopyInfo, except the three ownership fields
// (pixels, ghostOf, layerCount), which always describe the object's own buffers.
struct CRasterInfoBlock {
    DWORD effWidth;        // row stride in bytes
    BYTE* pixels;          // first pixel row inside the pixel block
    CRasterImage* ghostOf; // image whose buffers a ghost shares; null for an owner
    DWORD type;            // ImageFormat
    char lastError[256];
    LONG progress;
    LONG escape; // non-zero asks a codec to stop; -1 asks a decoder for the dimensions only
    LONG transIndex; // -1: none
    RGBQUAD transColor;
    BYTE jpegQuality;
    BYTE jpegScale;
    LONG frame;
    LONG frameCount;
    DWORD frameDelay;
    LONG xDpi;
    LONG yDpi;
    CRasterBox selectionBox;
    BYTE alphaMax;
    bool alphaPaletteEnabled;
    bool enabled;
    LONG xOffset;
    LONG yOffset;
    DWORD codecOptions[IMAGE_FORMAT_COUNT];
    RGBQUAD lastColor;
    BYTE lastColorIndex;
    bool lastColorValid;
    LONG layerCount;
};

class CRasterImage {
public:
    // Images larger than this (pixel block bytes, or pixels for a plane) are refused by Create.
    static constexpr unsigned long long CRASTERIMAGE_MAX_MEMORY = 256000000ULL;

    // ---- life cycle ----
    explicit CRasterImage(DWORD type = 0);
    CRasterImage(LONG width, LONG height, DWORD bpp, DWORD type = 0);
    CRasterImage(const CRasterImage& source, bool copyPixels = true, bool copySelection = true,
                 bool copyAlpha = true);
    CRasterImage& operator=(const CRasterImage& source);
    virtual ~CRasterImage();

    // Returns the new pixel block (zeroed pixels) or null with a message; refuses sizes <= 0 and
    // blocks above CRASTERIMAGE_MAX_MEMORY. bpp is normalised to 1, 4, 8 or 24.
    void* Create(LONG width, LONG height, DWORD bpp, DWORD type = 0);
    // Frees the owned buffers; false (and nothing freed) for a ghost. Harmless to call twice.
    bool Destroy();
    void Copy(const CRasterImage& source, bool copyPixels = true, bool copySelection = true,
              bool copyAlpha = true);
    // Moves from's buffers and info into this image; from is left empty. Harmless on itself.
    bool Transfer(CRasterImage& from);
    // Shares source's buffers without owning them (used for encoding).
    void Ghost(const CRasterImage* source);
    // Takes source's info block when this image has no pixels yet.
    void CopyInfo(const CRasterImage& source);
    void Clear(BYTE value = 0);
    BYTE* GetBits(DWORD row = 0);
    DWORD GetSize() const;
    bool IsInside(LONG x, LONG y) const;

    // ---- accessors ----
    DWORD GetWidth() const { return DWORD(m_head.biWidth); }
    DWORD GetHeight() const { return DWORD(m_head.biHeight); }
    WORD GetBpp() const { return m_head.biBitCount; }
    DWORD GetEffWidth() const { return m_info.effWidth; }
    DWORD GetNumColors() const { return m_head.biClrUsed; }
    DWORD GetType() const { return m_info.type; }
    DWORD GetPaletteSize() const { return m_head.biClrUsed * sizeof(RGBQUAD); }
    bool IsValid() const { return m_pDib != nullptr; }
    bool IsIndexed() const { return m_head.biClrUsed != 0; }
    BYTE GetColorType() const;
    LONG GetTransIndex() const { return m_info.transIndex; }
    void SetTransIndex(LONG index) { m_info.transIndex = index; }
    bool IsTransparent() const { return m_info.transIndex >= 0; }
    void SetTransColor(RGBQUAD color);
    RGBQUAD GetTransColor() const;
    LONG GetXDPI() const { return m_info.xDpi; }
    LONG GetYDPI() const { return m_info.yDpi; }
    void SetXDPI(LONG dpi);
    void SetYDPI(LONG dpi);
    void SetOffset(LONG x, LONG y);
    BYTE GetJpegQuality() const { return m_info.jpegQuality; }
    void SetJpegQuality(BYTE q) { m_info.jpegQuality = q; }
    BYTE GetJpegScale() const { return m_info.jpegScale; }
    void SetJpegScale(BYTE s) { m_info.jpegScale = s; }
    const char* GetLastError() const { return m_info.lastError; }
    // format 0: the image's own type; formats above 15 read as 0 and refuse the write.
    DWORD GetCodecOption(DWORD format = 0) const;
    bool SetCodecOption(DWORD option, DWORD format = 0);
    LONG GetEscape() const { return m_info.escape; }
    void SetEscape(LONG escape) { m_info.escape = escape; }
    LONG GetProgress() const { return m_info.progress; }
    LONG GetFrame() const { return m_info.frame; }
    void SetFrame(LONG frame) { m_info.frame = frame; }
    LONG GetNumFrames() const { return m_info.frameCount; }
    DWORD GetFrameDelay() const { return m_info.frameDelay; }
    void SetFrameDelay(DWORD delay) { m_info.frameDelay = delay; }
    LONG GetXOffset() const { return m_info.xOffset; }
    LONG GetYOffset() const { return m_info.yOffset; }
    BYTE AlphaGetMax() const { return m_info.alphaMax; }
    void AlphaSetMax(BYTE max) { m_info.alphaMax = max; }
    bool AlphaPaletteIsEnabled() const { return m_info.alphaPaletteEnabled; }
    bool GetEnabled() const { return m_info.enabled; }
    void Enable(bool enable = true) { m_info.enabled = enable; }
    CRasterBox GetSelectionBox() const { return m_info.selectionBox; }
    const CRasterInfoBlock& GetInfo() const { return m_info; }
    const BITMAPINFOHEADER& GetHeader() const { return m_head; }
    // The packed DIB block (header, palette, rows), null without pixels.
    void* GetDIB() const { return m_pDib; }
    bool IsGhost() const { return m_info.ghostOf != nullptr; }

    // ---- alpha plane ----
    bool AlphaIsValid() const { return m_pAlpha != nullptr; }
    void AlphaCreate();
    void AlphaDelete();
    void AlphaSet(BYTE level);
    void AlphaSet(LONG x, LONG y, BYTE level);
    BYTE AlphaGet(LONG x, LONG y) const;
    BYTE* AlphaGetPointer(LONG x = 0, LONG y = 0);
    BYTE BlindAlphaGet(LONG x, LONG y) const { return m_pAlpha[x + y * LONG(GetWidth())]; }
    void AlphaPaletteEnable(bool enable = true) { m_info.alphaPaletteEnabled = enable; }
    bool AlphaPaletteIsValid() const;
    bool AlphaCopy(const CRasterImage& from);
    bool AlphaFlip();
    bool AlphaMirror();

    // ---- palette ----
    RGBQUAD* GetPalette() const;
    RGBQUAD GetPaletteColor(BYTE index) const;
    bool GetPaletteColor(BYTE index, BYTE* red, BYTE* green, BYTE* blue) const;
    void SetPaletteColor(BYTE index, BYTE red, BYTE green, BYTE blue, BYTE alpha = 0);
    void SetPaletteColor(BYTE index, RGBQUAD color);
    void SetPalette(const RGBQUAD* entries, DWORD count = 256);
    void SetPalette(DWORD count, const BYTE* reds, const BYTE* greens = nullptr, const BYTE* blues = nullptr);
    void SetPalette(const RgbColor* colors, DWORD count);
    void SetGrayPalette();
    bool IsGrayScale() const;
    void SwapIndex(BYTE a, BYTE b);

    // ---- pixels (x from the left, y from the bottom row) ----
    BYTE GetPixelIndex(LONG x, LONG y) const;
    BYTE BlindGetPixelIndex(LONG x, LONG y) const;
    void SetPixelIndex(LONG x, LONG y, BYTE index);
    RGBQUAD GetPixelColor(LONG x, LONG y, bool withAlpha = true) const;
    RGBQUAD BlindGetPixelColor(LONG x, LONG y) const;
    void SetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha = false);
    void SetPixelColor(LONG x, LONG y, COLORREF color);
    BYTE* GetPixelPointer(LONG x, LONG y);
    BYTE GetNearestIndex(RGBQUAD color);
    void RGBtoBGR(BYTE* buffer, LONG length) const;
    static RGBQUAD RGBtoRGBQUAD(COLORREF color);

    // ---- picture memory ----
    // Every allocation of picture memory (pixel blocks, planes, codec row buffers) goes through here,
    // so that failures are counted per thread: a reader compares the count before and after a decode
    // to tell a picture that needs more memory than there is from one that is broken.
    static void* AllocatePixels(std::size_t bytes, bool zeroed);
    // For memory a codec had refused by other means (a std::bad_alloc it caught).
    static void NoteAllocationFailure();
    static unsigned long GetAllocationFailures();

    // ---- for codecs ----
    // Converts bit-field pixels (16 bits with the masks, 32 bits as blue, green, red, unused) into this
    // 24-bit image, which must already have the source's size. srcSize bounds what is read; src may be
    // the image's own pixel block. Masks that are empty or overlap fall back to 5-5-5.
    void Bitfield2RGB(const BYTE* src, DWORD srcSize, DWORD redMask, DWORD greenMask, DWORD blueMask, BYTE bpp);
    static LONG CompareColors(const void* a, const void* b);
    // First step of every encoder: true (refuse) with "null file handler" or "null image!!!".
    bool EncodeSafeCheck(CRasterFile* stream);
    // Copies at most 255 characters of text into lastError.
    void SetLastError(const char* text);

    // ---- transforms and the selection ----
    bool Crop(LONG left, LONG top, LONG right, LONG bottom, CRasterImage* destination = nullptr);
    // Rectangle form: any type with left, top, right and bottom (RECT, CRect).
    template <class Rect>
    bool Crop(const Rect& rect, CRasterImage* destination = nullptr)
    {
        return Crop(LONG(rect.left), LONG(rect.top), LONG(rect.right), LONG(rect.bottom), destination);
    }
    bool IncreaseBpp(DWORD bits);
    bool Flip();
    bool Mirror();
    bool RotateLeft(CRasterImage* destination = nullptr);
    bool RotateRight(CRasterImage* destination = nullptr);
    bool Negative();
    bool SelectionDelete();
    bool SelectionIsInside(LONG x, LONG y) const;
    bool SelectionCopy(const CRasterImage& from);

    // ---- interpolated sampling ----
    void ResolveOverflow(LONG& x, LONG& y, LONG overflow) const;
    void ResolveOverflow(float& x, float& y, LONG overflow) const;
    RGBQUAD GetOverflowPixelColor(LONG x, LONG y, LONG overflow, const RGBQUAD* replacement = nullptr) const;
    RGBQUAD GetPixelColorInterpolated(float x, float y, LONG method = INTERP_BILINEAR,
                                      LONG overflow = OVERFLOW_BACKGROUND,
                                      const RGBQUAD* replacement = nullptr) const;
    static float KernelBSpline(float d);
    static float KernelCubic(float d);
    static float KernelGeneralizedCubic(float d, float a = -0.5f);
    static float KernelLanczosSinc(float d, float radius = 6.0f);
    static float KernelBox(float d);
    static float KernelHermite(float d);
    static float KernelDampedHermite(float d);
    static float KernelSinc(float d);
    static float KernelBlackman(float d);
    static float KernelBessel(float d);
    static float KernelGaussian(float d);
    static float KernelQuadratic(float d);
    static float KernelMitchell(float d);
    static float KernelCatmullRom(float d);
    static double BesselOrderOne(double x);

    // ---- drawing and GDI conversion (library vantrel_image_draw) ----
    // Draws into a context in pixel units (the text mapping mode); a negative cx or cy means the
    // image's own size. 0 when refused (no pixels, no context, an empty size, drawing disabled).
    LONG Draw(HDC hdc, LONG x = 0, LONG y = 0, LONG cx = -1, LONG cy = -1, const RECT* clip = nullptr,
              bool smooth = false);
    LONG Draw(HDC hdc, const RECT& rect, const RECT* clip = nullptr, bool smooth = false);
    // The rectangle is in the context's logical units; clip and smooth are ignored. Always 1.
    LONG DrawDeviceUnits(HDC hdc, LONG x, LONG y, LONG cx, LONG cy, const RECT* clip = nullptr,
                         bool smooth = false);
    LONG DrawDeviceUnits(HDC hdc, const RECT& rect, const RECT* clip = nullptr, bool smooth = false);
    // A new bitmap owned by the caller: device-dependent for a context, else a DIB section.
    HBITMAP MakeBitmap(HDC hdc = nullptr);
    bool CreateFromHBITMAP(HBITMAP bitmap, HPALETTE palette = nullptr);

    // ---- format dispatch ----
    bool Decode(CRasterFile* stream, DWORD type);
    bool Encode(CRasterFile* stream, DWORD type);
    bool Decode(std::FILE* file, DWORD type);
    bool Decode(const BYTE* buffer, DWORD size, DWORD type);
    // buffer must be null on entry; on success it receives a malloc'd block (free() it) of size bytes.
    bool Encode(BYTE*& buffer, LONG& size, DWORD type);
    bool Load(const char* filename, DWORD type = 0);
    // Decodes a module resource found with FindResource (platform/core/Resource.h).
    bool LoadResource(HRSRC resource, DWORD type, HMODULE module = nullptr);

    // Runs one codec class the way dispatch does: decode on a temporary that took this image's info,
    // then move the result in; on failure keep the codec's message (and frame count when asked).
    template <class Codec>
    bool DecodeAs(CRasterFile* stream, bool keepFrameCount = false);
    // Encode through a ghost of this image; on failure keep the codec's message.
    template <class Codec>
    bool EncodeAs(CRasterFile* stream);

protected:
    void Startup(DWORD type);
    void CopyInfoValues(const CRasterInfoBlock& source);
    void BlindSetPixelIndex(LONG x, LONG y, BYTE index);
    void BlindSetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha);
    RGBQUAD TransparentColorOrPalette() const;
    bool RotateQuarter(CRasterImage* destination, bool clockwise);

    void* m_pDib = nullptr;          // packed DIB block
    BITMAPINFOHEADER m_head{};       // kept equal to the block's header
    CRasterInfoBlock m_info{};
    BYTE* m_pSelection = nullptr;    // width x height, bottom-up
    BYTE* m_pAlpha = nullptr;        // width x height, bottom-up, 255 opaque
    CRasterImage** m_pLayers = nullptr;

    friend class CRasterRowIterator;
};

template <class Codec>
bool CRasterImage::DecodeAs(CRasterFile* stream, bool keepFrameCount)
{
    Codec codec;
    CRasterImage& tmp = codec;
    tmp.CopyInfo(*this);
    if (codec.Decode(stream))
        return Transfer(tmp); // a ghost cannot take the result
    SetLastError(tmp.m_info.lastError);
    if (keepFrameCount)
        m_info.frameCount = tmp.m_info.frameCount;
    return false;
}

template <class Codec>
bool CRasterImage::EncodeAs(CRasterFile* stream)
{
    Codec codec;
    CRasterImage& tmp = codec;
    tmp.Ghost(this);
    if (codec.Encode(stream))
        return true;
    SetLastError(tmp.m_info.lastError);
    return false;
}

// The row cursor codecs use to fill or read an image row by row.
class CRasterRowIterator {
public:
    explicit CRasterRowIterator(CRasterImage* image);

    // Moves to row y (0 = bottom row) when it exists; returns the current row address.
    BYTE* SetY(LONG y);
    // Moves to the top row of the picture (y = height - 1), x = 0.
    void Upset();
    // Copies min(length, stride) bytes into the current row.
    void SetRow(const BYTE* bytes, LONG length);
    // Copies min(length, stride) bytes of the current row out.
    void GetRow(BYTE* bytes, LONG length) const;
    BYTE* GetRow() const { return m_pRow; }
    LONG GetY() const { return m_y; }
    // The current row lies inside the image.
    bool ItOK() const;
    // One row down (towards row 0) / up; false when that leaves the image (the row address is then null).
    bool PrevRow();
    bool NextRow();

private:
    LONG m_x = 0;
    LONG m_y = 0;
    LONG m_stepX = 0;
    LONG m_stepY = 0;
    BYTE* m_pRow = nullptr;
    CRasterImage* m_image;
};

#pragma once
// PNG files through libpng: decodes every PNG colour type and depth to 1, 4, 8 or 24 bits per pixel
// (with an alpha plane for colour and grey files with alpha, palette alpha from tRNS), and writes
// palette, RGB and RGBA files, interlaced on request.
#include "image/CRasterImage.h"

class CRasterFile;

class CRasterImagePNG : public CRasterImage {
public:
    CRasterImagePNG();

    bool Decode(CRasterFile* stream);
    bool Encode(CRasterFile* stream);
    // Turns a row of 2-bit pixels into 4-bit pixels in place, from the last pixel to the first; the
    // row must hold (width + 1) / 2 bytes.
    static void Expand2To4(BYTE* row, DWORD width);

private:
    struct Impl;
    friend struct Impl;
};

// Dispatch entry points (format id 4).
bool DecodePng(CRasterImage& image, CRasterFile* stream);
bool EncodePng(CRasterImage& image, CRasterFile* stream);

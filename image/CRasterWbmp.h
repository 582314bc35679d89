#pragma once
// Wireless bitmaps of type 0: one bit per pixel, width and height one byte each (1 to 255 pixels).
#include "image/CRasterImage.h"

class CRasterFile;

class CRasterImageWBMP : public CRasterImage {
public:
    CRasterImageWBMP();

    // Reads one image at the stream's position; false with lastError set (no text for a null stream).
    bool Decode(CRasterFile* stream);
    // Writes a 1-bit image of at most 255 x 255 pixels, its rows exactly as stored.
    bool Encode(CRasterFile* stream);
};

// Dispatch entry points (format id 9).
bool DecodeWbmp(CRasterImage& image, CRasterFile* stream);
bool EncodeWbmp(CRasterImage& image, CRasterFile* stream);

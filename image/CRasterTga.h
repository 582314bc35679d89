#pragma once
// Truevision TGA: reads colour-mapped, true-colour and grey images, uncompressed or run-length
// encoded, at 8, 15, 16, 24 and 32 bits per pixel; writes uncompressed 8-bit colour-mapped files and
// 24-bit true-colour files (32-bit when the image has an alpha plane).
#include "image/CRasterImage.h"

class CRasterFile;

// The 18-byte file header, fields in file order.
struct TgaHeader {
    BYTE idLength = 0;
    BYTE colorMapType = 0;
    BYTE imageType = 0;
    WORD colorMapFirst = 0;
    WORD colorMapLength = 0;
    BYTE colorMapEntrySize = 0;
    WORD xOrigin = 0;
    WORD yOrigin = 0;
    WORD width = 0;
    WORD height = 0;
    BYTE pixelDepth = 0;
    BYTE descriptor = 0; // bit 4: rows run right to left; bit 5: top row first
};

class CRasterImageTGA : public CRasterImage {
public:
    CRasterImageTGA();

    bool Decode(CRasterFile* stream);
    bool Encode(CRasterFile* stream);

    // Reads count pixels of the header's depth into dest (3 bytes per pixel above 8 bits, else 1);
    // at 32 bits also stores each pixel's alpha at (firstColumn + i, row). A short stream leaves the
    // remaining pixels as they were.
    void ExpandUncompressedLine(BYTE* dest, const TgaHeader& header, CRasterFile* stream, LONG count, LONG row,
                                LONG firstColumn);
    // Decodes one row of width pixels from run-length packets. leftover carries a packet across the
    // row boundary (255: none); returns the leftover for the next row.
    BYTE ExpandCompressedLine(BYTE* dest, const TgaHeader& header, CRasterFile* stream, LONG width, LONG row,
                              BYTE leftover);

private:
    // One pixel value of the header's depth into dest (1 or 3 bytes); its alpha into alpha.
    bool ReadPixel(BYTE* dest, const TgaHeader& header, CRasterFile* stream, BYTE& alpha);
};

// Dispatch entry points (format id 7).
bool DecodeTga(CRasterImage& image, CRasterFile* stream);
bool EncodeTga(CRasterImage& image, CRasterFile* stream);

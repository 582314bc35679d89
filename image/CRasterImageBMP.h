#pragma once
// Windows and OS/2 bitmaps: reads every header kind (core, info, OS/2 2.x, longer), RLE4/RLE8 and
// 16/32-bit bit fields, with or without the 14-byte file header; writes uncompressed BMP files.
#include "image/CRasterImage.h"

class CRasterFile;

class CRasterImageBMP : public CRasterImage {
public:
    CRasterImageBMP();

    bool Decode(CRasterFile* stream);
    bool Encode(CRasterFile* stream);
    // Reads the information header at the stream's position into header, in its 40-byte form; true
    // when it is usable. Leaves the stream just after the header.
    bool DibReadBitmapInfo(CRasterFile* stream, BITMAPINFOHEADER* header);

private:
    // Run-length pixel data; ends at the end-of-bitmap code or when the stream runs dry.
    void DecodeRle8(CRasterFile* stream);
    void DecodeRle4(CRasterFile* stream);
};

bool DecodeBmp(CRasterImage& image, CRasterFile* stream);
bool EncodeBmp(CRasterImage& image, CRasterFile* stream);

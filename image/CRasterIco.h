#pragma once
// Windows icons and cursors: reads the image chosen by the info block's frame field, turning the AND
// mask into a transparent index, a transparent colour or alpha; writes a single-image icon file.
#include "image/CRasterImage.h"

class CRasterFile;

class CRasterImageICO : public CRasterImage {
public:
    CRasterImageICO();

    // Decodes directory entry `frame`; sets the frame count to the number of entries. Fails without
    // a message.
    bool Decode(CRasterFile* stream);
    // Writes one image of at most 255 x 255 pixels; a 24-bit image with alpha becomes a 32-bit icon.
    bool Encode(CRasterFile* stream);

private:
    // Turns the AND mask (m bytes per row, bottom-up) into transparency; bits is the file's depth.
    void ApplyMask(const BYTE* mask, DWORD rowBytes, DWORD bits);
};

// Dispatch entry points (format id 5).
bool DecodeIco(CRasterImage& image, CRasterFile* stream);
bool EncodeIco(CRasterImage& image, CRasterFile* stream);

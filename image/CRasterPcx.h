#pragma once
// ZSoft PCX: reads run-length encoded packed pixels (1 plane of 1, 2, 4 or 8 bits), bit planes (up to 4
// planes of 1 bit) and 3 or 4 planes of 8 bits (24-bit colour, with alpha for the fourth); writes 1- and
// 4-bit images as bit planes, 8-bit images with the 256-colour palette at the end, 24-bit images as 3
// or 4 planes.
#include "image/CRasterImage.h"

#include <vector>

class CRasterFile;

class CRasterImagePCX : public CRasterImage {
public:
    CRasterImagePCX();

    bool Decode(CRasterFile* stream);
    bool Encode(CRasterFile* stream);

    // Bit planes (bytesPerLine bytes each, one after the other) into one index byte per pixel;
    // pixels receives bytesPerLine x 8 bytes. False with lastError for more than 4 planes or more
    // than 1 bit.
    bool PlanesToPixels(BYTE* pixels, const BYTE* data, DWORD bytesPerLine, DWORD planes, DWORD bits);
    // Packed pixels into one index byte per pixel; pixels receives bytesPerLine x 8 / bits bytes.
    // False with lastError for more than one plane.
    bool UnpackPixels(BYTE* pixels, const BYTE* data, DWORD bytesPerLine, DWORD planes, DWORD bits);
    // The byte-at-a-time run-length packer: value is a byte, or -1 (flush) / -2 (flush and pad with 0).
    static void PackPixels(LONG value, BYTE& last, LONG& count, std::vector<BYTE>& out);
    // Run-length encodes one buffer.
    static void PackPlanes(const BYTE* buffer, DWORD size, std::vector<BYTE>& out);
    // Bit p of each index into one bit plane, most significant bit first.
    static void PixelsToPlanes(const BYTE* indices, DWORD width, BYTE* buffer, DWORD plane);
};

// Dispatch entry points (format id 8).
bool DecodePcx(CRasterImage& image, CRasterFile* stream);
bool EncodePcx(CRasterImage& image, CRasterFile* stream);

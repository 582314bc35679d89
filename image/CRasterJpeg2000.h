#pragma once
// The JPEG 2000 family: JP2 files and JPEG 2000 code streams (over OpenJPEG), and the plain formats
// that travel with them: PGX, PNM (PBM, PGM, PPM) and Sun raster. Decoding takes the format from the
// content; every format is decoded into components and turned into a 24-bit image (three equal
// components) or into one grey frame per component.
#include "image/CRasterImage.h"

class CRasterFile;

class CRasterImageJAS : public CRasterImage {
public:
    CRasterImageJAS();

    // The decoded image gets format id `id`; with id 0 (detection) the id of the member found.
    bool Decode(CRasterFile* stream, DWORD id);
    // id 11 to 15: JP2, code stream, PGX, PNM, Sun raster.
    bool Encode(CRasterFile* stream, DWORD id);
};

// Dispatch entry points (format ids 11 to 15).
bool DecodeJp2(CRasterImage& image, CRasterFile* stream);
bool EncodeJp2(CRasterImage& image, CRasterFile* stream);
bool DecodeJpc(CRasterImage& image, CRasterFile* stream);
bool EncodeJpc(CRasterImage& image, CRasterFile* stream);
bool DecodePgx(CRasterImage& image, CRasterFile* stream);
bool EncodePgx(CRasterImage& image, CRasterFile* stream);
bool DecodePnm(CRasterImage& image, CRasterFile* stream);
bool EncodePnm(CRasterImage& image, CRasterFile* stream);
bool DecodeRas(CRasterImage& image, CRasterFile* stream);
bool EncodeRas(CRasterImage& image, CRasterFile* stream);
// Format detection runs the family once, last; the picture gets the id of the member found.
bool DecodeJpeg2000Family(CRasterImage& image, CRasterFile* stream);

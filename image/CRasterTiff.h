#pragma once
// TIFF files over libtiff: reads any page of a multi-page file (RGBA path for colour and YCbCr/LogLuv
// data, row path for bilevel, grey, palette and CIELab data, strips or tiles) and writes one page or
// appends pages, with the compression kept from the file that was read.
#include "image/CRasterImage.h"

#include <cstdint>

class CRasterFile;
struct tiff;
typedef struct tiff TIFF;

class CRasterImageTIF : public CRasterImage {
public:
    CRasterImageTIF();
    ~CRasterImageTIF() override;

    // Decodes the page named by the info block's frame field; sets the frame count.
    bool Decode(CRasterFile* stream);
    // Writes this image as a page. With append the file stays open for further pages; the next
    // call without append writes its page and closes the file.
    bool Encode(CRasterFile* stream, bool append = false);
    bool EncodePage(TIFF* tif, bool multiPage, LONG page, LONG pageCount);

    // Copies rows of columns bytes, advancing each side by columns plus its skew.
    static void CopyTileToStrip(BYTE* dest, const BYTE* src, LONG rows, LONG columns, LONG destSkew, LONG srcSkew);

private:
    bool DecodeFrame(TIFF* tif);
    bool Fail(const char* message);

    TIFF* m_tif = nullptr; // open while pages are being appended
    bool m_multiPage = false;
    LONG m_pages = 0;
};

// libtiff over an image-library stream: the stream stays open when the TIFF handle closes.
TIFF* _TIFFFdOpenStream(CRasterFile* stream, const char* name, const char* mode);
TIFF* _TIFFOpenEx(CRasterFile* stream, const char* mode);

// Dispatch entry points (format id 6).
bool DecodeTiff(CRasterImage& image, CRasterFile* stream);
bool EncodeTiff(CRasterImage& image, CRasterFile* stream);

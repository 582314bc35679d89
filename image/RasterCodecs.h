#pragma once
// How a codec plugs into the format dispatch of CRasterImage (Decode/Encode/Load).
//
// Each codec is one format class derived from CRasterImage, in its own files, with
//     bool Decode(CRasterFile* stream);   // stream in, this image out; false + lastError on failure
//     bool Encode(CRasterFile* stream);   // this image out; starts with EncodeSafeCheck(stream)
// and a pair of free functions that the dispatch table in CRasterImageDispatch.cpp lists:
//     bool Decode<Fmt>(CRasterImage& image, CRasterFile* stream)
//         { return image.DecodeAs<CRasterImage<FMT>>(stream, keepFrameCount); }
//     bool Encode<Fmt>(CRasterImage& image, CRasterFile* stream)
//         { return image.EncodeAs<CRasterImage<FMT>>(stream); }
// keepFrameCount is true for the multi-frame formats (GIF, ICO, TIF): a failed typed decode then
// tells the caller how many frames there are.
//
// GIF slot: the GIF codec provides the header "image/CRasterGif.h" declaring exactly
//     bool DecodeGif(CRasterImage& image, CRasterFile* stream);
//     bool EncodeGif(CRasterImage& image, CRasterFile* stream);
// with its sources listed in image/CMakeLists.txt beside the other codecs'; the dispatch lists GIF
// (id 2, fourth in detection order) as soon as that header exists.
#include "image/CRasterImage.h"

class CRasterFile;

struct RasterCodec {
    DWORD format; // ImageFormat
    bool (*decode)(CRasterImage& image, CRasterFile* stream);
    bool (*encode)(CRasterImage& image, CRasterFile* stream);
    // Tried by format detection. An entry of format 0 is a detection-only decoder (it serves a
    // family whose members take their format from the content) and has no encoder.
    bool detect = true;
};

// The codec of a format id, or null when that format has no codec in this build.
const RasterCodec* FindRasterCodec(DWORD format);
// The codecs in detection order; count receives their number.
const RasterCodec* RasterCodecsInDetectionOrder(unsigned& count);

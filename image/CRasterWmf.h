#pragma once
// Windows metafiles, read only: placeable WMF files and enhanced metafiles are played by our own
// display-free renderer (image/CRasterWmfPlayer.h) into a 24-bit image on the window colour.
#include "image/CRasterImage.h"

#include <memory>
#include <vector>

class CRasterFile;

// The 22-byte header in front of a placeable WMF.
struct PlaceableMetafileHeader {
    DWORD key = 0;
    WORD handle = 0;
    SHORT left = 0;
    SHORT top = 0;
    SHORT right = 0;
    SHORT bottom = 0;
    WORD unitsPerInch = 0;
    DWORD reserved = 0;
    WORD checksum = 0;
};

// The parts of an enhanced metafile's header the reader uses.
struct EnhancedMetafileHeader {
    LONG bounds[4] = {}; // left, top, right, bottom in reference device pixels (inclusive)
    LONG frame[4] = {};  // the picture frame in hundredths of a millimetre
    LONG device[2] = {}; // reference device size in pixels
    LONG millimetres[2] = {}; // the same in millimetres
    DWORD bytes = 0;
};

// A metafile ready to play: its records and how logical units reach the picture.
struct MetafileData {
    bool enhanced = false;
    std::vector<BYTE> bytes;         // WMF: metafile header and records; EMF: the whole file
    PlaceableMetafileHeader placeable; // WMF only
    EnhancedMetafileHeader header;     // EMF only
};

class CRasterImageWMF : public CRasterImage {
public:
    static constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
    static constexpr LONG kMaxSide = 4000;
    // The resolution a metafile is rendered at: the screen's logical pixels per inch.
    static constexpr LONG kScreenDpi = 96;

    CRasterImageWMF();

    // Renders the metafile at the stream's position; a forced width or height that is not 0
    // replaces the metafile's own. Fails with "corrupted WMF", "empty WMF" or "Cancelled".
    bool Decode(CRasterFile* stream, LONG forcedWidth = 0, LONG forcedHeight = 0);
    // Metafiles cannot be written: always false, with "Save WMF not supported" given a stream.
    bool Encode(CRasterFile* stream);

    // Key, checksum (XOR of the first ten words) and 1 to 2540 units per inch.
    static bool CheckMetafileHeader(const PlaceableMetafileHeader& header);
    // A placeable WMF at the stream's position, or null.
    static std::unique_ptr<MetafileData> ConvertWmfFiletoEmf(CRasterFile* stream, PlaceableMetafileHeader* header);
    // An enhanced metafile from the stream's position to its end, or null.
    static std::unique_ptr<MetafileData> ConvertEmfFiletoEmf(CRasterFile* stream, EnhancedMetafileHeader* header);
    // Keeps both sides at most 4000 pixels, preserving the aspect ratio.
    static void ShrinkMetafile(LONG& width, LONG& height);
};

// Dispatch entry points (format id 10).
bool DecodeWmf(CRasterImage& image, CRasterFile* stream);
bool EncodeWmf(CRasterImage& image, CRasterFile* stream);

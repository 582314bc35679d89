#pragma once
// A tile set: a tile sheet cut into cells and, for each of the 20 tile codes (0-15 passage patterns
// with 1 north, 2 east, 4 south, 8 west open; 16 solution overlay, 17 blackened, 18 START, 19 STOP),
// the tiles that may draw it. Loaded from a definition text (a file whose sheet lies in `dir`, or the
// built-in resources) and drawn cell by cell with a weighted random choice that repeats after Reseed.
#include "image/CRasterImage.h"
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "tiles/CTileGroupInfo.h"

class CDC;
struct RECT;

class CBMPTiler : public CObject {
public:
    static constexpr int TILE_CODE_COUNT = 20;
    static constexpr int TILE_SOLUTION = 16;
    static constexpr int TILE_BLACKEN = 17;
    static constexpr int TILE_START = 18;
    static constexpr int TILE_STOP = 19;
    // A definition file is read into a buffer of this size; at most one byte less is used.
    static constexpr UINT DEFINITION_BUFFER_SIZE = 40000;
    // Bitmap resource drawn for a code whose group has no tile.
    static constexpr UINT MISSING_TILE_BITMAP = 176;
    // Tiles cut by one definition hold at most this many image bytes in all; later tiles stay empty.
    static constexpr unsigned long long MAX_TILE_BYTES = CRasterImage::CRASTERIMAGE_MAX_MEMORY;

    CBMPTiler();
    CBMPTiler(const CBMPTiler&) = delete;
    CBMPTiler& operator=(const CBMPTiler&) = delete;
    ~CBMPTiler() override;

    // Reads at most DEFINITION_BUFFER_SIZE - 1 bytes of the file at path (up to its first zero byte)
    // and parses them with `dir` = dir, a folder prefix ending in a separator. A file that cannot be
    // opened or read leaves the set as it was. Always 0.
    int LoadFromFile(const char* path, const char* dir);
    // Rebuilds images and groups from a definition: the text (tile resource id 0), or the built-in
    // resources TILE tileResourceId and IMG sheetResourceId (the text is then ignored, and so are
    // "BMPFILE:" lines). Strings and cell sizes keep earlier values until a key sets them. TRUE.
    BOOL ParseDefinition(const CString& text, UINT tileResourceId, UINT sheetResourceId);
    // `seed` = the low 32 bits of the calendar time in seconds.
    void SetSeed();
    // Restarts the random generator at `seed`, so the same DrawTile calls choose the same tiles.
    void Reseed();
    // Chooses the tile for code (always, so repaints stay stable) and, when draw is set, draws it
    // stretched to rect (logical units of pDC); a code without tiles draws the missing-tile bitmap
    // and makes no choice. Codes outside 0..19 are ignored.
    void DrawTile(CDC* pDC, int code, const RECT& rect, BOOL draw);
    // A w x h picture of a fixed 3 x 3 sample maze drawn with this set's tiles on white, cells of
    // (w / 3) x (h / 3) pixels; reseeds first, so repeated previews are identical.
    void MakePreview(CRasterImage& destination, int w, int h);

    CRasterImage sheet;
    CRasterImage maskSheet;
    CArray<CTileGroupInfo> groups;
    CString bmpFile;
    CString maskFile;
    CString name;
    CString creditLine;
    CString uniqueId;
    CString dir;
    CString rightsNotice;
    CString rightsDate;
    CString moreInfo;
    CString url;
    CString use;
    CString comments;
    LONG pixelsWide = 0;
    LONG pixelsHigh = 0;
    DWORD seed = 0;

private:
    void ParseLine(const CString& line, bool fileMode);
    void AddTileLine(const CString& value);
    void LoadImage(CRasterImage& image, const CString& file);

    unsigned long long m_tileBytes = 0; // image bytes of the tiles cut by the current definition
};

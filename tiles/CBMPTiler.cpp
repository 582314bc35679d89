#include "tiles/CBMPTiler.h"

#include "platform/core/CFile.h"
#include "platform/core/Random.h"
#include "platform/core/Resource.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/WinGdi.h"
#include "resources/tiles/TileResources.h"
#include "tiles/TileText.h"

#include <ctime>
#include <vector>

namespace {

// The string keys of a definition and the fields they set, tested in this order on every line.
struct StringKey {
    const char* key;
    CString CBMPTiler::*field;
};
constexpr StringKey kStringKeys[] = {
    {"NAME:", &CBMPTiler::name},
    {"UNIQUEID:", &CBMPTiler::uniqueId},
    {"CREDITLINE:", &CBMPTiler::creditLine},
    {"COPYRIGHT:", &CBMPTiler::rightsNotice},
    {"COPYRIGHTDATE:", &CBMPTiler::rightsDate},
    {"MOREINFO:", &CBMPTiler::moreInfo},
    {"URL:", &CBMPTiler::url},
    {"USE:", &CBMPTiler::use},
    {"COMMENTS:", &CBMPTiler::comments},
};

// The preview's sample maze, by row from the top.
constexpr int kPreviewLayout[3][3] = {
    {2, 14, 8},
    {6, 11, 12},
    {3, 8, 1},
};

bool Has(const CString& line, const char* key) { return line.Find(key) >= 0; }

// The text after the line's first colon (every key ends in one, so a line with a key has one).
CString AfterColon(const CString& line) { return line.Mid(line.Find(':') + 1); }

CString TrimmedValue(const CString& line)
{
    CString value = AfterColon(line);
    value.TrimLeft();
    return value;
}

// The bytes of a built-in resource, empty when it does not exist.
CString ResourceText(UINT id, const char* type)
{
    HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(id), type);
    if (!resource)
        return CString();
    HGLOBAL data = LoadResource(nullptr, resource);
    const DWORD size = SizeofResource(nullptr, resource);
    const void* bytes = data ? LockResource(data) : nullptr;
    if (!bytes || size == 0)
        return CString();
    return CString(static_cast<const char*>(bytes), int(size));
}

} // namespace

CBMPTiler::CBMPTiler() { groups.SetSize(TILE_CODE_COUNT); }

CBMPTiler::~CBMPTiler() = default;

int CBMPTiler::LoadFromFile(const char* path, const char* folder)
{
    std::vector<char> buffer(DEFINITION_BUFFER_SIZE, 0);
    // A definition that cannot be read leaves the set as it was instead of raising the file error.
    try {
        CFile file;
        if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
            return 0;
        file.Read(buffer.data(), DEFINITION_BUFFER_SIZE - 1);
        file.Close();
    } catch (const CFileException&) {
        return 0;
    }
    dir = folder ? folder : "";
    ParseDefinition(CString(buffer.data()), 0, 0);
    return 0;
}

BOOL CBMPTiler::ParseDefinition(const CString& definition, UINT tileResourceId, UINT sheetResourceId)
{
    CString text = definition + "\r\n";
    sheet.Destroy();
    maskSheet.Destroy();
    groups.RemoveAll();
    groups.SetSize(TILE_CODE_COUNT);
    m_tileBytes = 0;
    SetSeed();

    const bool fileMode = tileResourceId == 0;
    if (!fileMode) {
        VantrelInitTileResources();
        if (HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(sheetResourceId), "IMG"))
            sheet.LoadResource(resource, IMAGE_FORMAT_GIF);
        text = ResourceText(tileResourceId, "TILE");
    }

    if (text.GetLength() > 1) {
        const std::string& all = text.str();
        std::size_t start = 0;
        for (std::size_t lf; (lf = all.find('\n', start)) != std::string::npos; start = lf + 1) {
            // Lines end in CR LF: the character before the LF is dropped, whatever it is.
            const std::size_t length = lf > start ? lf - start - 1 : 0;
            ParseLine(CString(all.substr(start, length)), fileMode);
        }
    }
    return TRUE;
}

void CBMPTiler::ParseLine(const CString& line, bool fileMode)
{
    for (const StringKey& k : kStringKeys)
        if (Has(line, k.key))
            this->*k.field = TrimmedValue(line);
    if (fileMode && Has(line, "BMPFILE:")) {
        bmpFile = TrimmedValue(line);
        LoadImage(sheet, bmpFile);
    }
    if (Has(line, "MASKFILE:")) {
        maskFile = TrimmedValue(line);
        LoadImage(maskSheet, maskFile);
    }
    if (Has(line, "PIXELSWIDE:"))
        pixelsWide = TileDecimalValue(AfterColon(line));
    if (Has(line, "PIXELSHIGH:"))
        pixelsHigh = TileDecimalValue(AfterColon(line));
    // "TRANSRGBCOLOR:" is accepted and has no effect.
    if (Has(line, "TILE:"))
        AddTileLine(TrimmedValue(line));
}

void CBMPTiler::AddTileLine(const CString& value)
{
    const int comma = value.Find(',');
    CString tileName = comma >= 0 ? value.Left(comma) : CString();
    int code = TileDecimalValue(tileName);
    tileName.MakeUpper();
    if (tileName == "SOLUTION")
        code = TILE_SOLUTION;
    else if (tileName == "BLACKEN")
        code = TILE_BLACKEN;
    else if (tileName == "START")
        code = TILE_START;
    else if (tileName == "STOP")
        code = TILE_STOP;
    if (code < 0 || code >= TILE_CODE_COUNT)
        return; // no such cell kind: the line is ignored

    // Past the byte budget, tiles are still added (the choice sees them) but cut from nothing.
    static CRasterImage s_noSheet;
    CRasterImage& source = m_tileBytes < MAX_TILE_BYTES ? sheet : s_noSheet;
    CTileGroupInfo& group = groups[code];
    group.AddTile(value, source, pixelsWide, pixelsHigh);
    const CRasterImage& cut = group.tiles[group.tiles.GetUpperBound()].image;
    if (cut.IsValid())
        m_tileBytes += cut.GetSize();
}

void CBMPTiler::LoadImage(CRasterImage& image, const CString& file)
{
    image.Destroy();
    image.Load(dir + file, IMAGE_FORMAT_UNKNOWN);
}

void CBMPTiler::SetSeed() { seed = DWORD(std::time(nullptr)); }

void CBMPTiler::Reseed() { VantrelSrand(seed); }

void CBMPTiler::DrawTile(CDC* pDC, int code, const RECT& rect, BOOL draw)
{
    if (code < 0 || code >= groups.GetSize())
        return;
    CTileGroupInfo& group = groups[code];
    if (group.tiles.GetSize() == 0) {
        VantrelInitTileResources();
        HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(MISSING_TILE_BITMAP), RT_BITMAP);
        if (resource && draw && pDC) {
            CRasterImage missing;
            if (missing.LoadResource(resource, IMAGE_FORMAT_BMP))
                missing.DrawDeviceUnits(*pDC, rect);
        }
        return;
    }
    CTileInfo& tile = group.ChooseTile();
    if (draw && pDC && tile.image.IsValid())
        tile.image.DrawDeviceUnits(*pDC, rect);
}

void CBMPTiler::MakePreview(CRasterImage& destination, int w, int h)
{
    HDC screen = GetDC(nullptr);
    CDC memDC;
    memDC.Attach(CreateCompatibleDC(screen));
    HBITMAP bitmap = w > 0 && h > 0 ? CreateCompatibleBitmap(screen, w, h) : nullptr;
    ReleaseDC(nullptr, screen);
    if (!memDC.GetSafeHdc() || !bitmap) {
        if (bitmap)
            DeleteObject(bitmap);
        destination.Destroy();
        return;
    }
    HGDIOBJ old = memDC.SelectObject(HGDIOBJ(bitmap));
    memDC.SetMapMode(MM_TEXT);
    memDC.BitBlt(0, 0, w, h, nullptr, 0, 0, WHITENESS);

    Reseed();
    const int cw = w / 3, ch = h / 3;
    // Column by column, top to bottom: this order fixes which random number each cell receives.
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const RECT cell{i * cw, j * ch, (i + 1) * cw, (j + 1) * ch};
            DrawTile(&memDC, kPreviewLayout[j][i], cell, TRUE);
        }

    memDC.SelectObject(old);
    destination.CreateFromHBITMAP(bitmap);
    memDC.DeleteDC();
    DeleteObject(bitmap);
}

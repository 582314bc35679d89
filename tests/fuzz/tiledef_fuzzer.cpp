// Tile definitions under arbitrary text: parse in file mode against a small sheet in a scratch folder,
// then make every group choose and draw its tiles. Inputs are capped at the size a definition file
// is read with, and inputs naming paths (a slash) are skipped so loads stay inside the folder.
#include "tiles/CBMPTiler.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/WinGdi.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Writes sheet.bmp (4 x 3 cells of 8 x 6 pixels, 8 bits) and mask.bmp into a scratch folder.
std::string MakeFolder()
{
    char pattern[] = "/tmp/tiledef_fuzz_XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (!folder)
        std::abort();
    std::string prefix = std::string(folder) + "/";
    CRasterImage sheet(32, 18, 8);
    sheet.SetGrayPalette();
    for (LONG y = 0; y < 18; ++y)
        for (LONG x = 0; x < 32; ++x)
            sheet.SetPixelIndex(x, y, BYTE(x * 7 + y * 3));
    sheet.SetTransIndex(0);
    for (const char* name : {"sheet.bmp", "mask.bmp"}) {
        BYTE* buffer = nullptr;
        LONG size = 0;
        if (!sheet.Encode(buffer, size, IMAGE_FORMAT_BMP))
            std::abort();
        std::FILE* f = std::fopen((prefix + name).c_str(), "wb");
        std::fwrite(buffer, 1, std::size_t(size), f);
        std::fclose(f);
        std::free(buffer);
    }
    return prefix;
}

const std::string& Folder()
{
    static const std::string folder = MakeFolder();
    return folder;
}

void EnsureGuiApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tiledef_fuzzer";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= CBMPTiler::DEFINITION_BUFFER_SIZE || std::memchr(data, '/', size))
        return 0;
    EnsureGuiApplication();
    CBMPTiler set;
    set.dir = Folder().c_str();
    set.ParseDefinition(CString(reinterpret_cast<const char*>(data), int(size)), 0, 0);
    if (set.groups.GetSize() != CBMPTiler::TILE_CODE_COUNT)
        std::abort();

    HDC screen = GetDC(nullptr);
    CDC dc;
    dc.Attach(CreateCompatibleDC(screen));
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 24, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = dc.SelectObject(HGDIOBJ(bitmap));
    set.Reseed();
    for (int code = -1; code <= CBMPTiler::TILE_CODE_COUNT; ++code) {
        const RECT cell{0, 0, 24, 24};
        set.DrawTile(&dc, code, cell, code % 2 == 0);
        if (code >= 0 && code < CBMPTiler::TILE_CODE_COUNT && set.groups[code].tiles.GetSize() > 0) {
            CTileGroupInfo& group = set.groups[code];
            CTileInfo& chosen = group.ChooseTile();
            if (&chosen < &group.tiles[0] || &chosen > &group.tiles[group.tiles.GetUpperBound()])
                std::abort();
        }
    }
    dc.SelectObject(old);
    dc.DeleteDC();
    DeleteObject(bitmap);
    return 0;
}

#include "tiles/CTileGroupInfo.h"

#include "platform/core/Random.h"
#include "tiles/TileText.h"

#include <algorithm>
#include <cstdint>

namespace {

// The text before the first comma of rest (empty without a comma) and, through rest, the text after
// it (all of rest without a comma).
CString TakeField(CString& rest)
{
    const int comma = rest.Find(',');
    if (comma < 0)
        return CString();
    CString field = rest.Left(comma);
    rest = rest.Mid(comma + 1);
    return field;
}

LONG ClampToLong(std::int64_t v, std::int64_t lo, std::int64_t hi)
{
    return LONG(std::clamp(v, lo, hi));
}

} // namespace

CTileGroupInfo::CTileGroupInfo(const CTileGroupInfo& other) : CObject(other), tiles()
{
    *this = other;
}

CTileGroupInfo& CTileGroupInfo::operator=(const CTileGroupInfo& other)
{
    if (this != &other) {
        tiles.RemoveAll();
        for (int i = 0; i < other.tiles.GetSize(); ++i)
            tiles.Add(other.tiles[i]);
    }
    return *this;
}

CTileGroupInfo::~CTileGroupInfo() = default;

BOOL CTileGroupInfo::AddTile(const CString& tileLine, CRasterImage& sheet, LONG w, LONG h)
{
    CTileInfo tile;
    CString rest = tileLine;
    tile.name = TakeField(rest);
    tile.row = TileDecimalValue(TakeField(rest));
    if (rest.Find(',') >= 0) {
        tile.column = TileDecimalValue(TakeField(rest));
    } else {
        tile.column = TileDecimalValue(rest);
        rest.Empty();
    }
    tile.weight = rest.IsEmpty() ? 1 : TileDecimalValue(rest);

    // 64-bit geometry: rows, columns and cell sizes come from untrusted text. Clamped to the sheet
    // as the crop itself does, so the values passed on always fit.
    const std::int64_t sw = sheet.IsValid() ? std::int64_t(sheet.GetWidth()) : 0;
    const std::int64_t sh = sheet.IsValid() ? std::int64_t(sheet.GetHeight()) : 0;
    const std::int64_t left = (std::int64_t(tile.column) - 1) * w, right = std::int64_t(tile.column) * w;
    const std::int64_t top = (std::int64_t(tile.row) - 1) * h, bottom = std::int64_t(tile.row) * h;
    if (sheet.IsValid())
        sheet.Crop(ClampToLong(left, 0, sw), ClampToLong(top, 0, sh), ClampToLong(right, 0, sw),
                   ClampToLong(bottom, 0, sh), &tile.image);
    tiles.Add(tile);
    return TRUE;
}

CTileInfo& CTileGroupInfo::ChooseTile()
{
    const int n = tiles.GetSize();
    if (n <= 1)
        return tiles[0];
    std::int64_t total = 0;
    for (int i = 0; i < n; ++i)
        total += tiles[i].weight;
    const int draw = VantrelRand();
    if (total <= 0)
        return tiles[draw % n]; // no usable weights: every tile counts as 1
    const std::int64_t r = draw % total;
    std::int64_t sum = 0;
    for (int i = 0; i < n; ++i) {
        sum += tiles[i].weight;
        if (sum > r)
            return tiles[i];
    }
    return tiles[n - 1]; // not reached: the running sum ends at total, which exceeds r
}

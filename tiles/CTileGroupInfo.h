#pragma once
// The alternatives for one tile code, in the order of their definition lines.
#include "platform/core/CArray.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "tiles/CTileInfo.h"

class CTileGroupInfo : public CObject {
public:
    CTileGroupInfo() = default;
    CTileGroupInfo(const CTileGroupInfo& other);
    CTileGroupInfo& operator=(const CTileGroupInfo& other);
    ~CTileGroupInfo() override;

    // Parses "name,row,col[,weight]" and appends the tile cut from sheet's cell (row, col) of
    // w x h pixels; a cell that lies off the sheet leaves the tile's image empty. Returns TRUE.
    BOOL AddTile(const CString& tileLine, CRasterImage& sheet, LONG w, LONG h);

    // The tile for one cell, chosen by weight with one draw of the program's random generator when
    // the group holds two or more tiles (none otherwise). The group must not be empty. Weights whose
    // total is 0 or less count as 1 each.
    CTileInfo& ChooseTile();

    CArray<CTileInfo> tiles;
};

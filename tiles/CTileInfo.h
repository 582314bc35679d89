#pragma once
// One tile of a tile set: its name, its share in the weighted choice, the 1-based sheet cell it was
// cut from and its picture. Copies are deep.
#include "image/CRasterImage.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CTileInfo : public CObject {
public:
    CTileInfo() = default;
    CTileInfo(const CTileInfo& other);
    CTileInfo& operator=(const CTileInfo& other);
    ~CTileInfo() override;

    CString name = "UNKNOWN";
    LONG weight = 0;
    LONG column = 0;
    LONG row = 0;
    CRasterImage image;
};

#include "tiles/CTileInfo.h"

CTileInfo::CTileInfo(const CTileInfo& other)
    : CObject(other), name(other.name), weight(other.weight), column(other.column), row(other.row),
      image(other.image)
{
}

CTileInfo& CTileInfo::operator=(const CTileInfo& other)
{
    if (this != &other) {
        name = other.name;
        weight = other.weight;
        column = other.column;
        row = other.row;
        image = other.image;
    }
    return *this;
}

CTileInfo::~CTileInfo() = default;

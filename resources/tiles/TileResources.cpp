#include "resources/tiles/TileResources.h"

#include <QtCore/qglobal.h>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterTileResources()
{
    Q_INIT_RESOURCE(tiles);
}

void VantrelInitTileResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterTileResources);
}

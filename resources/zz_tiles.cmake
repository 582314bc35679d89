# The built-in tile set and the missing-tile bitmap. The resource data is registered explicitly
# (VantrelInitTileResources), so it survives linking from a static library.
qt_add_resources(_vantrel_tiles_qrc_sources ${CMAKE_CURRENT_LIST_DIR}/tiles/tiles.qrc)
add_library(vantrel_resources_tiles STATIC
  ${CMAKE_CURRENT_LIST_DIR}/tiles/TileResources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tiles/TileResources.h
  ${_vantrel_tiles_qrc_sources})
target_link_libraries(vantrel_resources_tiles PUBLIC Qt6::Core)

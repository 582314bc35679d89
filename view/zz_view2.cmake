# Tiled cell drawing and the tile-set reference loader, the bitmap mask, and ring grids.
if(VANTREL_GUI)
  target_sources(vantrel_view PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewTiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewMask.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewCircular.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DrawerDC.h
    ${CMAKE_CURRENT_LIST_DIR}/TilerLoader.h)
  target_link_libraries(vantrel_view PRIVATE vantrel_tiles)
endif()

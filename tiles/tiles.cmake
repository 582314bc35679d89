# Tile sets: definition parsing and loading, the weighted tile choice, tile drawing and the preview.
# Qt Gui only (through the device-context layer), never Widgets.
add_library(vantrel_tiles STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CBMPTiler.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CBMPTiler.h
  ${CMAKE_CURRENT_LIST_DIR}/CTileGroupInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTileGroupInfo.h
  ${CMAKE_CURRENT_LIST_DIR}/CTileInfo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTileInfo.h
  ${CMAKE_CURRENT_LIST_DIR}/TileText.h)
target_link_libraries(vantrel_tiles PUBLIC
  vantrel_image vantrel_image_draw vantrel_platform_gdi vantrel_platform_io vantrel_resources_tiles)

function(_vantrel_tiles_check_deps)
  get_target_property(_libs vantrel_tiles LINK_LIBRARIES)
  foreach(_l IN LISTS _libs)
    if(_l MATCHES "Widgets|PrintSupport")
      message(FATAL_ERROR "vantrel_tiles must not link ${_l}")
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL _vantrel_tiles_check_deps)

# Layer objects and the document's files and settings.
add_library(vantrel_maze_layers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CLogicalRectTracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CLogicalRectTracker.h
  ${CMAKE_CURRENT_LIST_DIR}/MzeArchive.h
  ${CMAKE_CURRENT_LIST_DIR}/StoredPicture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StoredPicture.h)
target_link_libraries(vantrel_maze_layers PUBLIC vantrel_platform_tracker vantrel_image_draw vantrel_platform_io)

target_sources(vantrel_maze PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDocCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDocFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDocSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MazeSetupValues.h
  ${CMAKE_CURRENT_LIST_DIR}/ObjectSerialize.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemplateRules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemplateRules.h)
target_link_libraries(vantrel_maze PUBLIC vantrel_maze_layers vantrel_platform_io vantrel_platform_profile)

# The document library stays free of Qt Widgets, whatever it links.
function(_vantrel_maze_check_deps)
  foreach(_t vantrel_maze vantrel_maze_layers vantrel_platform_tracker)
    get_target_property(_libs ${_t} LINK_LIBRARIES)
    foreach(_l IN LISTS _libs)
      if(_l MATCHES "Widgets|PrintSupport|vantrel_platform_ui|vantrel_platform_dialog")
        message(FATAL_ERROR "${_t} must not link ${_l}")
      endif()
    endforeach()
  endforeach()
endfunction()
cmake_language(DEFER CALL _vantrel_maze_check_deps)

# The Maze Setup sheet: its five pages (a window library apart from vantrel_maze, which links no Qt
# Widgets), the Style page's example bitmaps, and the handler the document shows the sheet through.
if(VANTREL_GUI)
  qt_add_resources(_vantrel_setup_qrc_sources ${CMAKE_CURRENT_LIST_DIR}/setup/style_examples.qrc)
  add_library(vantrel_maze_setup STATIC
    ${CMAKE_CURRENT_LIST_DIR}/setup/MazeSetupIds.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/MazeSetupSheet.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/MazeSetupSheet.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP1.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP1.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP2.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP3.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP3.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP4.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP4.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP5.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/PP5.h
    ${CMAKE_CURRENT_LIST_DIR}/setup/StyleExamples.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup/StyleExamples.h
    ${_vantrel_setup_qrc_sources})
  target_link_libraries(vantrel_maze_setup PUBLIC
    vantrel_maze vantrel_platform_sheet vantrel_tiles vantrel_image vantrel_image_draw Qt6::Core)

  # The view has the Style page load the document's tile set, and the application installs the sheet;
  # both targets are made in later folders, so they are linked once every folder has been read.
  function(_vantrel_maze_setup_link_users)
    foreach(_user vantrel_view vantrel_app)
      if(TARGET ${_user})
        target_link_libraries(${_user} PUBLIC vantrel_maze_setup)
      endif()
    endforeach()
  endfunction()
  cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL _vantrel_maze_setup_link_users)
endif()

# Layer objects and the document's files and settings.
add_library(vantrel_maze_layers STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CLogicalRectTracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CLogicalRectTracker.h
  ${CMAKE_CURRENT_LIST_DIR}/MzeArchive.h)
target_link_libraries(vantrel_maze_layers PUBLIC vantrel_platform_tracker vantrel_image vantrel_platform_io)

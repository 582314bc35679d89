# The maze document and generation: display-free, links only the framework core.
add_library(vantrel_maze STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CompactFrontier.h
  ${CMAKE_CURRENT_LIST_DIR}/CompactGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompactGrid.h
  ${CMAKE_CURRENT_LIST_DIR}/CompactGrowth.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompactGrowth.h
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDoc.h
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDocGrowth.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CVantrelDocSolve.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrontierArray.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FrontierArray.h
  ${CMAKE_CURRENT_LIST_DIR}/IMazeCellDrawer.h
  ${CMAKE_CURRENT_LIST_DIR}/MazeCell.h
  ${CMAKE_CURRENT_LIST_DIR}/MazeTopology.h
  ${CMAKE_CURRENT_LIST_DIR}/MoveRecord.h
  ${CMAKE_CURRENT_LIST_DIR}/Object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Object.h
  ${CMAKE_CURRENT_LIST_DIR}/ShapeVertex.h
  ${CMAKE_CURRENT_LIST_DIR}/SideSets.h
  ${CMAKE_CURRENT_LIST_DIR}/frontier_location.h)
target_link_libraries(vantrel_maze PUBLIC vantrel_platform_core)

# Ring grids: the shape and move tables of template type 40.
target_sources(vantrel_maze PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RingGrid.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RingGrid.h)

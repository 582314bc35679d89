vantrel_test(NAME maze_tests LABEL maze
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/compact_frontier_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/compact_grid_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/maze_grid_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/maze_frontier_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/maze_growth_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/maze_solve_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/maze_property_test.cpp
  LIBS vantrel_maze)

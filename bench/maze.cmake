add_executable(maze_bench ${CMAKE_CURRENT_LIST_DIR}/maze_bench.cpp)
target_link_libraries(maze_bench PRIVATE vantrel_maze benchmark::benchmark)

# Start-up time of the program to its first painted maze: the benchmark starts itself as the program
# (run by hand; see the file's head).
if(VANTREL_GUI)
  add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
  target_link_libraries(startup_bench PRIVATE vantrel_app)
endif()

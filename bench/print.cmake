# Printing a large maze at printer resolution (run by hand; see the file's head).
if(VANTREL_GUI)
  add_executable(print_bench ${CMAKE_CURRENT_LIST_DIR}/print_bench.cpp)
  target_link_libraries(print_bench PRIVATE vantrel_view vantrel_resources benchmark::benchmark)
endif()

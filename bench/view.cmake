if(VANTREL_GUI)
  add_executable(view_bench ${CMAKE_CURRENT_LIST_DIR}/view_bench.cpp)
  target_link_libraries(view_bench PRIVATE vantrel_view benchmark::benchmark)
endif()

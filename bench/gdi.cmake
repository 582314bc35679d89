add_executable(gdi_bench ${CMAKE_CURRENT_LIST_DIR}/gdi_bench.cpp)
target_link_libraries(gdi_bench PRIVATE vantrel_platform_gdi benchmark::benchmark)

add_executable(doc_bench ${CMAKE_CURRENT_LIST_DIR}/doc_bench.cpp)
target_link_libraries(doc_bench PRIVATE vantrel_maze benchmark::benchmark)

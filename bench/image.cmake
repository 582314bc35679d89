# BMP codec and transform throughput on a 4000 x 3000 picture (run by hand; see the file's head).
add_executable(image_bench ${CMAKE_CURRENT_LIST_DIR}/image_bench.cpp)
target_link_libraries(image_bench PRIVATE vantrel_image benchmark::benchmark)

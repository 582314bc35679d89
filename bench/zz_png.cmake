# PNG decode and encode throughput on a 4000 x 3000 picture, beside ImageMagick (run by hand).
add_executable(png_bench ${CMAKE_CURRENT_LIST_DIR}/png_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/png_jpeg_bench_util.h)
target_link_libraries(png_bench PRIVATE vantrel_image benchmark::benchmark)

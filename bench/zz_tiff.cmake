# TIFF decode and encode throughput on a 4000 x 3000 picture, beside ImageMagick (run by hand).
add_executable(tiff_bench ${CMAKE_CURRENT_LIST_DIR}/tiff_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/tiff_jpeg2000_bench_util.h)
target_link_libraries(tiff_bench PRIVATE vantrel_image benchmark::benchmark)

# JPEG 2000 family decode and encode throughput on a 4000 x 3000 picture, beside ImageMagick (run by hand).
add_executable(jpeg2000_bench ${CMAKE_CURRENT_LIST_DIR}/jpeg2000_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/tiff_jpeg2000_bench_util.h)
target_link_libraries(jpeg2000_bench PRIVATE vantrel_image benchmark::benchmark)
target_compile_definitions(jpeg2000_bench PRIVATE VANTREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

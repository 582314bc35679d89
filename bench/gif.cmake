# GIF decode and encode throughput on a 4000 x 3000 picture, beside ImageMagick (run by hand).
add_executable(gif_bench ${CMAKE_CURRENT_LIST_DIR}/gif_bench.cpp)
target_link_libraries(gif_bench PRIVATE vantrel_image benchmark::benchmark)

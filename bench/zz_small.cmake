# Throughput of the small codecs (TGA, PCX, WBMP, ICO, WMF) beside ImageMagick (run by hand).
add_executable(smallcodecs_bench ${CMAKE_CURRENT_LIST_DIR}/smallcodecs_bench.cpp)
target_link_libraries(smallcodecs_bench PRIVATE vantrel_image benchmark::benchmark)

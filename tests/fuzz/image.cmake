# Fuzz targets of the image library: the BMP decoder and format detection through the dispatch.
vantrel_fuzzer(NAME bmp_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/bmp_fuzzer.cpp LIBS vantrel_image)
vantrel_fuzzer(NAME detect_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/detect_fuzzer.cpp LIBS vantrel_image)

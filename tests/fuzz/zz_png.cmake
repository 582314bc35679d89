# The PNG decoder and encoder under arbitrary bytes (seed corpus: corpus/png, made by png_corpus.sh).
find_package(ZLIB REQUIRED)
vantrel_fuzzer(NAME png_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/png_fuzzer.cpp LIBS vantrel_image ZLIB::ZLIB)

# The TIFF reader and writer under arbitrary bytes (seed corpus: corpus/tiff, made by tiff_corpus.sh).
vantrel_fuzzer(NAME tiff_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/tiff_fuzzer.cpp LIBS vantrel_image)

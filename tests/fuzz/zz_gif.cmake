# The GIF reader and writer under arbitrary bytes (seed corpus: corpus/gif, made by gif_corpus.sh).
vantrel_fuzzer(NAME gif_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/gif_fuzzer.cpp LIBS vantrel_image)

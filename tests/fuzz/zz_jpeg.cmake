# The JPEG codec and the EXIF reader under arbitrary bytes (seed corpora: corpus/jpeg and corpus/exif,
# made by jpeg_corpus.sh).
vantrel_fuzzer(NAME jpeg_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/jpeg_fuzzer.cpp LIBS vantrel_image)
vantrel_fuzzer(NAME exif_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/exif_fuzzer.cpp LIBS vantrel_image)

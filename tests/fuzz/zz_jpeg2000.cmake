# The JPEG 2000 family under arbitrary bytes: JP2 and code streams (corpus/jpeg2000), and the plain
# PNM, PGX and Sun raster readers (corpus/rawfamily); seeds made by jpeg2000_corpus.sh.
vantrel_fuzzer(NAME jpeg2000_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/jpeg2000_fuzzer.cpp LIBS vantrel_image)
vantrel_fuzzer(NAME rawfamily_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/rawfamily_fuzzer.cpp LIBS vantrel_image)

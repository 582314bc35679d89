# The tile-definition parser, the tile choice and tile drawing over arbitrary text
# (seed corpus: corpus/tiledef).
vantrel_fuzzer(NAME tiledef_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/tiledef_fuzzer.cpp
  LIBS vantrel_tiles Qt6::Gui)

# The local page list parser, the page-title parameters and gallery links (seed corpus: corpus/pagelist).
vantrel_fuzzer(NAME pagelist_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/pagelist_fuzzer.cpp
  LIBS vantrel_online_core)

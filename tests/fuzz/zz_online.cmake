# The local page list parser and the page-title parameters (seed corpus: corpus/pagelist).
vantrel_fuzzer(NAME pagelist_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/pagelist_fuzzer.cpp
  LIBS vantrel_online_core)

# The maze document loader over arbitrary bytes.
vantrel_fuzzer(NAME mze_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/mze_fuzzer.cpp LIBS vantrel_maze)

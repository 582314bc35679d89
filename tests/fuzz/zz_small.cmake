# The small codecs' readers under arbitrary bytes (seed corpora: corpus/<format>, made by
# tools/make_small_corpus.sh).
foreach(_small wbmp tga pcx ico wmf)
  vantrel_fuzzer(NAME ${_small}_fuzzer SOURCES ${PROJECT_SOURCE_DIR}/tests/fuzz/${_small}_fuzzer.cpp
    LIBS vantrel_image)
endforeach()

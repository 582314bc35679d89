# GIF codec tests: the data coders alone, the codec through its entry points, and interoperability
# with the GIF tools installed on the machine (those cases are skipped when a tool is missing).
vantrel_test(NAME gif_lzw_test LABEL image
  SOURCES gif_lzw_test.cpp
  LIBS vantrel_image)
vantrel_test(NAME gif_codec_test LABEL image
  SOURCES gif_codec_test.cpp gif_test_util.h
  LIBS vantrel_image)
vantrel_test(NAME gif_interop_test LABEL image
  SOURCES gif_interop_test.cpp gif_test_util.h
  LIBS vantrel_image)

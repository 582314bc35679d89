# GIF codec tests: the data coders alone, the codec through the image record and dispatch, and
# interoperability with the GIF tools installed on the machine (skipped when a tool is missing).
vantrel_test(NAME gif_lzw_test LABEL image
  SOURCES gif_lzw_test.cpp ${PROJECT_SOURCE_DIR}/image/CRasterGifLzw.cpp)

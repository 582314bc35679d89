# PNG codec tests: the codec through its entry points, and interoperability with ImageMagick and
# netpbm (those cases are skipped when a tool is missing).
find_package(ZLIB REQUIRED)
vantrel_test(NAME png_codec_test LABEL image
  SOURCES png_codec_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)
vantrel_test(NAME png_interop_test LABEL image
  SOURCES png_interop_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)

# JPEG codec and EXIF reader tests, and interoperability with libjpeg-turbo's tools and ImageMagick
# (those cases are skipped when a tool is missing).
find_package(ZLIB REQUIRED)
vantrel_test(NAME jpeg_codec_test LABEL image
  SOURCES jpeg_codec_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)
vantrel_test(NAME exif_reader_test LABEL image
  SOURCES exif_reader_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)
vantrel_test(NAME jpeg_interop_test LABEL image
  SOURCES jpeg_interop_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)

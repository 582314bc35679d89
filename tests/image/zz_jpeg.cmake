# JPEG codec and EXIF reader tests, and interoperability with libjpeg-turbo's tools and ImageMagick
# (those cases are skipped when a tool is missing).
vantrel_test(NAME jpeg_codec_test LABEL image
  SOURCES jpeg_codec_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)
vantrel_test(NAME exif_reader_test LABEL image
  SOURCES exif_reader_test.cpp png_jpeg_test_util.h
  LIBS vantrel_image ZLIB::ZLIB)

# TIFF codec tests: the codec through its entry points and hand-built files, and interoperability
# with libtiff's tools and ImageMagick (cases skip when a tool is missing).
vantrel_test(NAME tiff_codec_test LABEL image
  SOURCES tiff_codec_test.cpp tiff_interop_tools.h
  LIBS vantrel_image)
vantrel_test(NAME tiff_interop_test LABEL image
  SOURCES tiff_interop_test.cpp tiff_interop_tools.h
  LIBS vantrel_image)

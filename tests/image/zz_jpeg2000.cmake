# JPEG 2000 family tests: JP2 and code streams, PNM, PGX and Sun raster through the codec's entry
# points, and interoperability with OpenJPEG's tools, netpbm and ImageMagick (skipped when missing).
vantrel_test(NAME jpeg2000_codec_test LABEL image
  SOURCES jpeg2000_codec_test.cpp jpeg2000_work_test.cpp tiff_interop_tools.h
  LIBS vantrel_image)
vantrel_test(NAME jpeg2000_interop_test LABEL image
  SOURCES jpeg2000_interop_test.cpp tiff_interop_tools.h
  LIBS vantrel_image)

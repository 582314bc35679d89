# Tests of the image library core: record, streams, dispatch, transforms, sampling, BMP codec,
# interoperability with ImageMagick and netpbm, and module resources.
vantrel_test(NAME image_core_test LABEL image
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/CRasterImageTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/RasterStreamTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/RasterTransformTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/RasterSamplingTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/RasterDispatchTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/CRasterImageBMPTest.cpp
  LIBS vantrel_image)

# Needs ImageMagick and netpbm at run time; each case skips cleanly when its tool is missing.
vantrel_test(NAME image_bmp_interop_test LABEL image
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/BmpInteropTest.cpp
  LIBS vantrel_image)

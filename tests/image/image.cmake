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

# Module resources from a test resource file (tests/data/image, made by tools/make_image_test_data.py).
qt6_add_resources(_vantrel_image_res_sources ${CMAKE_CURRENT_SOURCE_DIR}/image_res.qrc)
vantrel_test(NAME image_resource_test LABEL image
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ResourceTest.cpp ${_vantrel_image_res_sources}
  LIBS vantrel_image)

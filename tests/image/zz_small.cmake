# Tests of the small codecs (WBMP, TGA, PCX, ICO, WMF): each codec through its entry points, and
# interoperability with ImageMagick and netpbm (skipped when a tool is missing).
foreach(_small wbmp tga pcx ico wmf)
  vantrel_test(NAME ${_small}_codec_test LABEL image
    SOURCES ${_small}_codec_test.cpp tga_pcx_wbmp_ico_util.h
    LIBS vantrel_image)
  vantrel_test(NAME ${_small}_interop_test LABEL image
    SOURCES ${_small}_interop_test.cpp tga_pcx_wbmp_ico_util.h
    LIBS vantrel_image)
endforeach()

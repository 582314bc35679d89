# The JPEG 2000 family: JP2 and code streams over OpenJPEG 2, PGX, PNM and Sun raster of our own.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VANTREL_OPENJP2 REQUIRED IMPORTED_TARGET libopenjp2)
target_sources(vantrel_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg2000.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg2000.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg2000Formats.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg2000Codestream.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg2000Work.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg2000Plain.cpp)
target_link_libraries(vantrel_image PRIVATE PkgConfig::VANTREL_OPENJP2)

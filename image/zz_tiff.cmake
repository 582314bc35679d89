# TIFF codec over libtiff 4.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VANTREL_LIBTIFF REQUIRED IMPORTED_TARGET libtiff-4)
target_sources(vantrel_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CRasterTiff.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterTiff.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterTiffStream.cpp)
target_link_libraries(vantrel_image PRIVATE PkgConfig::VANTREL_LIBTIFF)

# PNG codec over libpng (and zlib through it).
find_package(PNG REQUIRED)
target_sources(vantrel_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CRasterPng.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterPng.h)
target_link_libraries(vantrel_image PRIVATE PNG::PNG)

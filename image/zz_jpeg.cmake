# JPEG codec over libjpeg, with the EXIF reader it runs before every decode.
find_package(JPEG REQUIRED)
target_sources(vantrel_image PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterJpeg.h
  ${CMAKE_CURRENT_LIST_DIR}/CRasterExif.cpp ${CMAKE_CURRENT_LIST_DIR}/CRasterExif.h)
target_link_libraries(vantrel_image PRIVATE JPEG::JPEG)

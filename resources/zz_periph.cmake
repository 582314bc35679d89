# The splash, watermark and backdrop bitmaps (drawn by tools/make_splash_images.py). Registered
# explicitly (VantrelInitPeriphResources), so they survive linking from a static library.
qt_add_resources(_vantrel_periph_qrc_sources ${CMAKE_CURRENT_LIST_DIR}/periph/periph.qrc)
add_library(vantrel_resources_periph STATIC
  ${CMAKE_CURRENT_LIST_DIR}/periph/PeriphResources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/periph/PeriphResources.h
  ${_vantrel_periph_qrc_sources})
target_link_libraries(vantrel_resources_periph PUBLIC Qt6::Core)

# The raster image library: image record, streams, format dispatch, transforms, sampling and codecs.
# Display-free: Qt Core at most (through the resource functions), never Widgets.
set(_vantrel_image_sources
  CheckedMath.h
  CRasterFile.h
  CRasterIOFile.cpp CRasterIOFile.h
  CRasterMemFile.cpp CRasterMemFile.h
  CRasterImage.cpp CRasterImage.h
  CRasterImageTransform.cpp
  CRasterImageSampling.cpp
  CRasterImageDispatch.cpp RasterCodecs.h
  CRasterImageBMP.cpp CRasterImageBMP.h
)
# Codec files that arrive on their own (GIF) are picked up by name; see RasterCodecs.h.
file(GLOB _vantrel_image_extra CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/CRasterGif*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/CRasterImageGIF*.cpp)
add_library(vantrel_image STATIC ${_vantrel_image_sources} ${_vantrel_image_extra})
target_link_libraries(vantrel_image PUBLIC vantrel_platform_res)

# The library must stay free of Qt Widgets, whatever later fragments add.
function(_vantrel_image_check_deps)
  get_target_property(_libs vantrel_image LINK_LIBRARIES)
  foreach(_l IN LISTS _libs)
    if(_l MATCHES "Widgets|PrintSupport")
      message(FATAL_ERROR "vantrel_image must not link ${_l}")
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL _vantrel_image_check_deps)

# Drawing images into device contexts and converting to and from GDI bitmaps: apart from
# vantrel_image so that the image library itself stays display-free.
add_library(vantrel_image_draw STATIC ${CMAKE_CURRENT_LIST_DIR}/CRasterImageDraw.cpp)
target_link_libraries(vantrel_image_draw PUBLIC vantrel_image vantrel_platform_gdi)

# The view's decorations: watermark, footer and the backdrop of a window without a grid.
if(VANTREL_GUI)
  target_sources(vantrel_view PRIVATE ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewDecor.cpp)
  target_link_libraries(vantrel_view PUBLIC vantrel_resources_periph vantrel_image_draw)
endif()

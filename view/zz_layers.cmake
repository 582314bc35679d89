# Editing of layer objects (tracker, in-place text editor, font change, object commands) and the image
# settings dialog.
if(VANTREL_GUI)
  target_sources(vantrel_view PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CImageSettingsDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CImageSettingsDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/CVantrelViewObjects.cpp)
  target_link_libraries(vantrel_view PUBLIC vantrel_platform_sheet vantrel_platform_dialog vantrel_image_draw)
endif()

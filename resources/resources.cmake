# Menus, accelerators, toolbars, string table and the images they use (drawn by
# tools/make_toolbar_images.py). Images live in the Qt resource system as ":/res/<TYPE>/<id>".
add_library(vantrel_resources STATIC
  ${CMAKE_CURRENT_LIST_DIR}/VantrelResources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/VantrelResources.h
  ${CMAKE_CURRENT_LIST_DIR}/resource.h)
target_link_libraries(vantrel_resources PUBLIC Qt6::Core)
set(_vantrel_ui_images
  TOOLBAR/128 toolbar128.png
  TOOLBAR/159 toolbar159.png
  ICON/128_16 icon128_16.png
  ICON/128_32 icon128_32.png
  ICON/128_48 icon128_48.png)
set(_vantrel_ui_image_files)
while(_vantrel_ui_images)
  list(POP_FRONT _vantrel_ui_images _alias _file)
  set(_path ${CMAKE_CURRENT_LIST_DIR}/images/${_file})
  set_source_files_properties(${_path} PROPERTIES QT_RESOURCE_ALIAS ${_alias})
  list(APPEND _vantrel_ui_image_files ${_path})
endwhile()
qt_add_resources(vantrel_resources vantrel_ui_images PREFIX /res FILES ${_vantrel_ui_image_files})
